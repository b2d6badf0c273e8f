#pragma once
// The full-screen main window, its ten child controls and the process-wide UI state.
#include <windows.h>

#include "setup/install_settings.h"

namespace setup {

enum ControlId : int {
    kStartButton = 200,
    kStopButton = 201,
    kChangeDirectoryButton = 202,
    kPanelStatic = 249,
    kPromptLabel = 250,
    kDriveLabel = 251,
    kDirectoryLabel = 252,
    kDriveList = 300,
    kDirectoryList = 301,
    kDirectoryEdit = 350,
};

struct MainWindow {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HFONT titleFont = nullptr;
    HCURSOR waitCursor = nullptr;

    HWND panelStatic = nullptr;
    HWND directoryEdit = nullptr;
    HWND driveList = nullptr;
    HWND directoryList = nullptr;
    HWND startButton = nullptr;
    HWND stopButton = nullptr;
    HWND changeDirectoryButton = nullptr;
    HWND promptLabel = nullptr;
    HWND driveLabel = nullptr;
    HWND directoryLabel = nullptr;

    WNDPROC previousEditProc = nullptr;
};

// The one main window of the process (one owner: the window procedure and the Start command).
MainWindow& TheMainWindow();
InstallSettings& TheInstallSettings();

}  // namespace setup

namespace setup {

// The title font: every attribute but height, weight and face fixed.
HFONT CreateTitleFont(int height, int weight, const char* faceName);

// Registers the class "Install", creates the full-screen popup with its controls,
// shows and paints it. Returns the window, or nullptr when it cannot be created.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

}  // namespace setup
