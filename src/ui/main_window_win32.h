#pragma once
// The full-screen main window, its ten child controls, and the one object that owns the state
// of a run with a window.
#include <windows.h>

#include <memory>

#include "base/win32_handles.h"
#include "script/install_settings.h"
#include "ui/progress_surface_gdi_win32.h"

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

// The main window and its controls.
struct MainWindow {
    HWND window = nullptr;
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
};

// The panel behind the chooser: compact while only the edit box and the buttons show,
// expanded while the drive and directory lists show.
struct PanelRect {
    int x, y, width, height;
};
constexpr PanelRect kCompactPanel{110, 138, 440, 110};
constexpr PanelRect kExpandedPanel{110, 138, 440, 320};

void MovePanel(const MainWindow& mainWindow, const PanelRect& rect);

struct RunState;
using StartCommand = void (*)(RunState& run);

// Everything a run with the window holds: made in WinMain, handed to the window at its
// creation and kept in its user data; the window procedure and the Start command reach it
// from there.
struct RunState {
    HINSTANCE instance = nullptr;
    InstallSettings settings;
    UniqueFont titleFont;
    HCURSOR waitCursor = nullptr;
    MainWindow ui;
    // Draws the progress of the word-list builds; made with the window, it keeps the latest
    // counter brush until the window goes.
    std::unique_ptr<GdiProgressSurface> progressSurface;
    StartCommand startCommand = nullptr;
};

// The title font: every attribute but height, weight and face fixed.
HFONT CreateTitleFont(int height, int weight, const char* faceName);

// Registers the class "Install", creates the full-screen popup with its controls for the run,
// shows and paints it. Returns the window, or nullptr when it cannot be created.
HWND CreateMainWindow(RunState& run, int showCommand);

// As the installation starts: the chooser goes, the compact panel shows "Copying files...".
void ShowCopyingLayout(const MainWindow& mainWindow);

// After the copying: the controls that stayed for it go too.
void HideRemainingControls(const MainWindow& mainWindow);

}  // namespace setup
