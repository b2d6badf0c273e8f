#include "ui/chooser_win32.h"

#include <cstring>
#include <optional>
#include <string>

#include "script/script_services_win32.h"

namespace setup {
namespace {

constexpr DWORD kDriveStringsBufferLength = 200;
constexpr LRESULT kListEntryBufferLength = 260;

void AddListEntry(HWND list, const char* text) { SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }

// Adds the subdirectories of the working directory: directory bit set, hidden bit clear (other
// bits do not matter); "." only when it is not left out. The list box sorts them itself.
void ListWorkingDirectory(HWND directoryList, bool leaveOutDot) {
    ForEachFoundEntry("*.*", [directoryList, leaveOutDot](const FoundEntry& entry) {
        if (!entry.isDirectory || entry.isHidden) return;
        if (leaveOutDot && entry.name == ".") return;
        AddListEntry(directoryList, entry.name.c_str());
    });
}

// Replaces the edit box's whole text with the working directory. A path of 200 characters or
// more is shown whole too: the box holds it, and a cut path would name another directory.
void ShowWorkingDirectory(HWND directoryEdit) {
    if (std::optional<std::string> directory = QueryCurrentDirectory())
        SetWindowTextA(directoryEdit, directory->c_str());
}

// The text of the selected entry; nothing when no entry is selected or it would not fit the
// buffer of 260 characters.
std::optional<std::string> SelectedEntry(HWND list) {
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return std::nullopt;
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length >= kListEntryBufferLength) return std::nullopt;
    char text[kListEntryBufferLength];
    length = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    if (length == LB_ERR) return std::nullopt;
    return std::string(text, static_cast<size_t>(length));
}

// Enters the selected entry (a failure keeps the working directory), then lists the working
// directory afresh and shows it.
void BrowseToSelection(MainWindow& mainWindow, HWND list, bool leaveOutDot) {
    if (std::optional<std::string> entry = SelectedEntry(list)) SetCurrentDirectoryA(entry->c_str());
    SendMessageA(mainWindow.directoryList, LB_RESETCONTENT, 0, 0);
    ListWorkingDirectory(mainWindow.directoryList, leaveOutDot);
    ShowWorkingDirectory(mainWindow.directoryEdit);
}

LRESULT CALLBACK DirectoryEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    // Read before the Start command can destroy the edit box.
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_USERDATA));
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        // The whole Start command runs before SendMessageA returns; it may destroy the window.
        auto lowHandle = static_cast<LPARAM>(LOWORD(reinterpret_cast<UINT_PTR>(edit)));
        SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(kStartButton, 0), lowHandle);
        if (!IsWindow(edit)) return 0;
    }
    return CallWindowProcA(previous, edit, message, wParam, lParam);
}

}  // namespace

void OnStopCommand(MainWindow& mainWindow) { DestroyWindow(mainWindow.window); }

void OnChangeDirectory(MainWindow& mainWindow) {
    // Once per run: a command that reaches here after the first one does nothing.
    if (!IsWindowEnabled(mainWindow.changeDirectoryButton)) return;
    EnableWindow(mainWindow.changeDirectoryButton, FALSE);
    MovePanel(mainWindow, kExpandedPanel);
    for (HWND control :
         {mainWindow.driveList, mainWindow.directoryList, mainWindow.driveLabel, mainWindow.directoryLabel})
        ShowWindow(control, SW_SHOW);

    // One character is kept back for the terminator of the list, which some platforms do not
    // count in the length; a list that does not fit whole adds no drive.
    char drives[kDriveStringsBufferLength];
    DWORD length = GetLogicalDriveStringsA(kDriveStringsBufferLength - 1, drives);
    if (length > 0 && length < kDriveStringsBufferLength - 1)
        for (const char* drive = drives; *drive != '\0'; drive += std::strlen(drive) + 1)
            AddListEntry(mainWindow.driveList, drive);

    SetCurrentDirectoryA("c:\\");
    ListWorkingDirectory(mainWindow.directoryList, false);
    ShowWorkingDirectory(mainWindow.directoryEdit);
}

void OnDriveSelection(MainWindow& mainWindow) { BrowseToSelection(mainWindow, mainWindow.driveList, false); }

void OnDirectorySelection(MainWindow& mainWindow) { BrowseToSelection(mainWindow, mainWindow.directoryList, true); }

void SubclassDirectoryEdit(HWND edit) {
    const LONG_PTR previous = SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DirectoryEditProc));
    SetWindowLongPtrA(edit, GWLP_USERDATA, previous);
}

}  // namespace setup
