#include "setup/install_sequence_win32.h"

#include <windows.h>

#include <new>
#include <vector>

#include "base/fatal.h"
#include "script/script_actions.h"
#include "script/script_services_win32.h"
#include "script/shortcut_win32.h"
#include "setup/report_fatal_win32.h"
#include "ui/main_window_win32.h"
#include "ui/message_box_win32.h"

namespace setup {

namespace {

std::string WindowText(HWND window) {
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1);
    int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<size_t>(length));
}

void Hide(std::initializer_list<HWND> windows) {
    for (HWND w : windows) ShowWindow(w, SW_HIDE);
}

void ShowCopyingLayout(MainWindow& ui) {
    MoveWindow(ui.panelStatic, 110, 138, 440, 110, TRUE);
    Hide({ui.driveList, ui.directoryList, ui.startButton, ui.changeDirectoryButton, ui.driveLabel, ui.directoryLabel});
    SetWindowTextA(ui.promptLabel, "Copying files...");
    UpdateWindow(ui.window);
}

void RunInstallSteps(InstallSettings& settings, MainWindow& ui) {
    ShowCopyingLayout(ui);
    Win32ScriptServices scriptServices(ui.directoryEdit, ui.window);
    RunScriptActions(settings, scriptServices);

    Hide({ui.stopButton, ui.promptLabel, ui.panelStatic, ui.directoryEdit});
    // A failure leaves the working directory as it was; later steps then work there.
    SetCurrentDirectoryA(settings.targetDirectory.c_str());
    UpdateWindow(ui.window);

    // Word lists and the language list sort come next.

    if (settings.shortcutFlag) CreateProgramShortcut(settings, ui.window);

    DestroyWindow(ui.window);
}

}  // namespace

std::string ValidateTargetDirectory(const std::string& text) {
    // Longer text would not fit the program's path buffers: refused, never cut.
    if (text.empty() || text.size() > kMaxDirectoryLength) return {};
    if (GetFileAttributesA(text.c_str()) == INVALID_FILE_ATTRIBUTES && !CreateDirectoryA(text.c_str(), nullptr)) return {};
    // Made absolute once, so that every step (the wildcard copies too) sees the same directory.
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(text.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length > kMaxDirectoryLength) return {};
    return std::string(full, length);
}

void RunStartCommand() {
    MainWindow& ui = TheMainWindow();
    InstallSettings& settings = TheInstallSettings();
    std::string target = ValidateTargetDirectory(WindowText(ui.directoryEdit));
    if (target.empty()) {
        Win32MessageService().Show("Invalid Directory", "Error", MessageIcon::Error, true);
        return;
    }
    settings.targetDirectory = target;
    // Nothing may unwind through the window procedure: every failure ends here.
    try {
        RunInstallSteps(settings, ui);
    } catch (const FatalError& error) {
        ReportFatal(error.what());
    } catch (const std::bad_alloc&) {
        ReportFatal("Out of memory");
    }
}

void ReleaseInstallResources() {}

}  // namespace setup
