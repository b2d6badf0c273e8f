// Program entry: title font, first pass over install.inf, the window, the message loop.
#include <windows.h>

#include "base/fatal.h"
#include "setup/install_script.h"
#include "setup/report_fatal_win32.h"
#include "ui/main_window_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace setup;
    MainWindow& ui = TheMainWindow();
    InstallSettings& settings = TheInstallSettings();
    ui.instance = instance;
    ui.titleFont = CreateTitleFont(40, FW_BOLD, "Times New Roman");

    char directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, directory);
    if (length == 0 || length > kMaxDirectoryLength) ReportFatal("Can't open INSTALL.INF");
    settings.sourceDirectory.assign(directory, length);

    try {
        ReadFirstPass(settings);
    } catch (const FatalError& error) {
        ReportFatal(error.what());
    }

    if (!CreateMainWindow(instance, showCommand)) return 1;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
