#include "script/script_services_win32.h"

#include <vector>

#include "base/win32_handles.h"

namespace setup {

std::optional<std::string> QueryCurrentDirectory() {
    // The directory may change length between the two calls only if another thread changes
    // it; there is none, but a wrong size is still refused rather than trusted.
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return std::nullopt;
    std::vector<char> buffer(needed);
    DWORD length = GetCurrentDirectoryA(needed, buffer.data());
    if (length == 0 || length >= needed) return std::nullopt;
    return std::string(buffer.data(), length);
}

void ForEachFoundEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) {
    WIN32_FIND_DATAA data{};
    UniqueFindHandle search(FindFirstFileA(pattern.c_str(), &data));
    if (search.get() == INVALID_HANDLE_VALUE) return;
    do {
        onEntry(FoundEntry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0});
    } while (FindNextFileA(search.get(), &data));
}

bool Win32ScriptServices::MakeDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32ScriptServices::CopyFileReplacing(const std::string& source, const std::string& destination) {
    return CopyFileA(source.c_str(), destination.c_str(), FALSE) != FALSE;
}

void Win32ScriptServices::ForEachEntry(const std::string& pattern,
                                       const std::function<void(const FoundEntry&)>& onEntry) {
    ForEachFoundEntry(pattern, onEntry);
}

std::optional<std::string> Win32ScriptServices::CurrentDirectory() { return QueryCurrentDirectory(); }

bool Win32ScriptServices::ChangeDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

bool Win32ScriptServices::WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                                          const std::string& file) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

void Win32ScriptServices::ShowDestination(const std::string& path) {
    if (!directoryEdit_) return;
    SetWindowTextA(directoryEdit_, path.c_str());
    UpdateWindow(mainWindow_);
}

}  // namespace setup
