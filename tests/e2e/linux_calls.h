#pragma once
// Linux system calls from a Windows test program: Wine runs it as a Linux process, so it can
// plant faults that Windows offers no way to make (a file-size limit, a link to /dev/full, the
// sudden end of a process).
// The 32-bit build goes through the i386 gate, which only a host that runs 32-bit code has;
// the 64-bit build uses the x86-64 instruction and numbers, which work on every host.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace setup::e2e {

#if defined(__x86_64__)
inline std::intptr_t LinuxCall(std::intptr_t number, std::intptr_t a, std::intptr_t b, std::intptr_t c = 0,
                               std::intptr_t d = 0) {
    std::intptr_t result;
    register std::intptr_t r10 __asm__("r10") = d;
    __asm__ volatile("syscall" : "=a"(result) : "a"(number), "D"(a), "S"(b), "d"(c), "r"(r10) : "rcx", "r11", "memory");
    return result;
}
constexpr std::intptr_t kLinuxPrlimit64 = 302, kLinuxSymlink = 88, kLinuxUnlink = 87, kLinuxKill = 62;
#else
inline std::intptr_t LinuxCall(std::intptr_t number, std::intptr_t a, std::intptr_t b, std::intptr_t c = 0,
                               std::intptr_t d = 0) {
    std::intptr_t result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
    return result;
}
constexpr std::intptr_t kLinuxPrlimit64 = 340, kLinuxSymlink = 83, kLinuxUnlink = 10, kLinuxKill = 37;
#endif

template <typename T>
std::intptr_t Arg(const T* pointer) {
    return reinterpret_cast<std::intptr_t>(pointer);
}

// The programs this process starts from now on can write no file beyond `bytes`: a write past
// that fails as on a full disk (reported, since SIGXFSZ is ignored). The hard limit stays open.
inline void LimitFileSize(std::uint64_t bytes) {
    constexpr std::intptr_t kRlimitFsize = 1, kSigxfsz = 25;
    const std::uint64_t limit[2] = {bytes, ~std::uint64_t{0}};
    LinuxCall(kLinuxPrlimit64, 0, kRlimitFsize, Arg(limit));
#if defined(__x86_64__)
    // x86-64 has no signal(): rt_sigaction with the kernel's record (handler, flags, restorer, mask).
    const std::uint64_t ignore[4] = {1 /* SIG_IGN */, 0, 0, 0};
    LinuxCall(13, kSigxfsz, Arg(ignore), 0, sizeof(std::uint64_t));
#else
    LinuxCall(48, kSigxfsz, 1 /* SIG_IGN */);
#endif
}

inline bool LinuxSymlink(const char* target, const char* link) {
    return LinuxCall(kLinuxSymlink, Arg(target), Arg(link)) == 0;
}
inline void LinuxUnlink(const char* path) { LinuxCall(kLinuxUnlink, Arg(path), 0); }
// SIGKILL: the process ends on the spot, none of its code runs any more.
inline void LinuxKill(std::intptr_t pid) { LinuxCall(kLinuxKill, pid, 9); }

// The Linux path of a file on drive C:, which Wine keeps in the prefix's drive_c.
inline std::string UnixPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return std::getenv("WINEPREFIX") + ("/drive_c" + path.substr(2));
}

}  // namespace setup::e2e
