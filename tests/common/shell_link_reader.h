#pragma once
// Reads a saved shortcut back through IShellLinkA: the three properties that
// CreateProgramShortcut sets. Shared by the Windows tests and the end-to-end tests.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <optional>
#include <string>

namespace setup::test {

struct LinkProperties {
    std::string path;
    std::string arguments;
    std::string workingDirectory;
};

// Needs COM initialised on the calling thread; nothing when the file cannot be loaded.
inline std::optional<LinkProperties> ReadLink(const std::string& linkPath) {
    Microsoft::WRL::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.GetAddressOf()))))
        return std::nullopt;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) return std::nullopt;
    wchar_t widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
    if (FAILED(file->Load(widePath, STGM_READ))) return std::nullopt;
    char text[MAX_PATH];
    LinkProperties properties;
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    properties.path = text;
    link->GetArguments(text, MAX_PATH);
    properties.arguments = text;
    link->GetWorkingDirectory(text, MAX_PATH);
    properties.workingDirectory = text;
    return properties;
}

}  // namespace setup::test
