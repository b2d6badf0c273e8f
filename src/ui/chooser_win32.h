#pragma once
// The directory chooser: Stop, Change Directory, drive and directory browsing, and the
// Enter-key procedure of DirectoryEdit. Browsing changes the process's working directory;
// the lists and the edit box then show the new one.
#include <windows.h>

#include "ui/main_window_win32.h"

namespace setup {

// StopButton (201), notification code 0: destroys the main window without installing.
void OnStopCommand(MainWindow& mainWindow);

// ChangeDirectoryButton (202), code 0: disables the button for good, grows PanelStatic to
// 440 x 320, shows the lists and their labels, fills DriveList once, makes "c:\" the working
// directory, lists it and puts it into DirectoryEdit.
void OnChangeDirectory(MainWindow& mainWindow);

// DriveList (300), code LBN_SELCHANGE (1) only: enters the selected drive and lists it.
void OnDriveSelection(MainWindow& mainWindow);

// DirectoryList (301), code LBN_SELCHANGE (1) only: enters the selected directory (".." moves
// up) and lists it without the "." entry.
void OnDirectorySelection(MainWindow& mainWindow);

// Puts the Enter-key procedure in place of the edit box's own, which it calls for everything
// else (the edit box's user data keeps it). The return key sends the Start command
// (WM_COMMAND 200, code 0) to the parent and then passes the key on, unless Start destroyed
// the window.
void SubclassDirectoryEdit(HWND edit);

}  // namespace setup
