#include "script/shortcut_win32.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <memory>
#include <optional>

#include "script/install_script.h"
#include "script/script_actions.h"
#include "script/script_services_win32.h"

namespace setup {
namespace {

// The group folder's path is fetched with a buffer of 259 characters.
constexpr size_t kMaxGroupFolderLength = 258;

struct PidlDeleter {
    void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlDeleter>;

// The file-system path of the Start menu's Programs folder; nothing when the shell cannot
// name it, and then no shortcut is made.
std::optional<std::string> ProgramsFolder(HWND owner) {
    LPITEMIDLIST rawPidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_PROGRAMS, &rawPidl))) return std::nullopt;
    UniquePidl pidl(rawPidl);
    char path[MAX_PATH];
    if (!SHGetPathFromIDListA(pidl.get(), path)) return std::nullopt;
    return std::string(path);
}

}  // namespace

ProgramShortcut CreateProgramShortcut(const InstallSettings& settings, HWND owner) {
    ProgramShortcut made;
    std::string targetPath = settings.targetPrefix + settings.shortcutProgram;
    if (targetPath.size() > kMaxPathLength) return made;
    std::optional<std::string> programs = ProgramsFolder(owner);
    if (!programs || !SetCurrentDirectoryA(programs->c_str())) return made;
    // A group that exists is reused; one that cannot be made or entered leaves the shortcut
    // in the Programs folder.
    const bool groupCreated = CreateDirectoryA(settings.groupName.c_str(), nullptr);
    const bool inGroup = SetCurrentDirectoryA(settings.groupName.c_str());
    std::optional<std::string> folder = QueryCurrentDirectory();
    if (folder && groupCreated && inGroup) made.createdGroup = folder;
    if (!folder || folder->size() > kMaxGroupFolderLength) return made;
    std::string linkPath = DirectoryPrefix(*folder) + settings.shortcutName + ".lnk";
    if (linkPath.size() > kMaxPathLength) return made;
    made.linkExisted = GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (SUCCEEDED(WriteShellLink(targetPath, linkPath, settings.targetPrefix, settings.shortcutArguments)))
        made.linkPath = linkPath;
    return made;
}

HRESULT WriteShellLink(const std::string& targetPath, const std::string& linkPath, const std::string& workingDirectory,
                       const std::string& arguments) {
    // Declared first, released last: the IPersistFile interface goes before the link.
    Microsoft::WRL::ComPtr<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(link.GetAddressOf()));
    if (FAILED(result)) return result;
    link->SetPath(targetPath.c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(workingDirectory.c_str());
    Microsoft::WRL::ComPtr<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.GetAddressOf()));
    if (FAILED(result)) return result;
    // A path that does not convert whole into the 260-character buffer is not saved at all.
    wchar_t widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0)
        return HRESULT_FROM_WIN32(GetLastError());
    return file->Save(widePath, TRUE);
}

}  // namespace setup
