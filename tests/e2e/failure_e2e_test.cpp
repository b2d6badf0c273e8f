// Runs with the window that fail or stop, one row each in tests/cases/e2e_failures.txt: a full
// disk at each of the program's own writes, list names it must refuse, a missing install.inf or
// language.cf, a word list it cannot use, a TO list it cannot create, a dict.ini it cannot
// replace, Stop. Each row is checked for its boxes, its exit code and every file it leaves.
// A row with "stop" presses Stop instead of Start. Besides its files, a row may plant a fault:
//   limit <bytes>       no file can grow beyond that size, as on a full disk
//   full-device <path>  the file is a link to the Linux device /dev/full, where writes fail
//   directory <path>    a directory stands where the program writes a file
//   huge <path>         the file grows to five gigabytes, more than a 32-bit program can hold
//   read-only <path>
// A row whose box comes before any window says "no-window"; its box then has no owner.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "ui_driver.h"

namespace setup::e2e {
namespace {

// A Linux i386 system call from this Windows program: Wine runs it as a Linux process.
long LinuxCall(long number, long a, long b, long c = 0, long d = 0) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
    return result;
}
constexpr long kPrlimit64 = 340, kSignal = 48, kSymlink = 83, kUnlink = 10, kRlimitFsize = 1, kSigxfsz = 25;

// The programs this process starts from now on can write no file beyond `bytes`: a write past
// that fails as on a full disk (reported, since SIGXFSZ is ignored). The hard limit stays open.
void LimitFileSize(std::uint64_t bytes) {
    const std::uint64_t limit[2] = {bytes, ~std::uint64_t{0}};
    LinuxCall(kPrlimit64, 0, kRlimitFsize, reinterpret_cast<long>(limit));
    LinuxCall(kSignal, kSigxfsz, 1 /* SIG_IGN */);
}

// The Linux path of a file on drive C:, which Wine keeps in the prefix's drive_c.
std::string UnixPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return std::getenv("WINEPREFIX") + ("/drive_c" + path.substr(2));
}

TEST(FailureRuns, EachRowShowsItsBoxesEndsWithItsExitCodeAndLeavesItsFiles) {
    for (const test::GoldenCase& run : test::ReadGoldenCases("e2e_failures.txt")) {
        SCOPED_TRACE(run.name);
        const Workspace workspace(run);
        std::vector<std::string> unreadable;  // planted files that go before the check
        for (const test::GoldenSection& fault : run.sections) {
            const std::string path = workspace.target + "\\" + fault.arguments;
            const bool planted =
                fault.name == "directory"     ? std::filesystem::create_directory(path)
                : fault.name == "full-device" ? LinuxCall(kSymlink, reinterpret_cast<long>("/dev/full"),
                                                          reinterpret_cast<long>(UnixPath(path).c_str())) == 0
                : fault.name == "read-only"   ? SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY) != 0
                : fault.name == "huge"        ? (std::filesystem::resize_file(path, 5ULL << 30), true)
                                              : true;
            EXPECT_TRUE(planted) << fault.name;
            if (fault.name == "full-device" || fault.name == "huge") unreadable.push_back(path);
        }
        SetupProcess setup;
        if (run.Has("limit")) LimitFileSize(std::stoull(run.Section("limit").arguments));
        const bool started = setup.Start(SETUP_EXE, workspace.medium);
        LimitFileSize(~std::uint64_t{0});
        ASSERT_TRUE(started);
        const SetupRun result = RunSetup(setup, workspace.target, {}, run.Has("stop") ? 201 : 200);
        for (const std::string& path : unreadable)
            LinuxCall(kUnlink, reinterpret_cast<long>(UnixPath(path).c_str()), 0);
        if (run.Has("read-only"))
            SetFileAttributesA((workspace.target + "\\" + run.Section("read-only").arguments).c_str(),
                               FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(result.window == nullptr, run.Has("no-window"));
        ExpectBoxesAndExit(run, "boxes", result.boxes, result.exitCode, result.window);
        ExpectFiles(run, workspace.target);
    }
}

}  // namespace
}  // namespace setup::e2e
