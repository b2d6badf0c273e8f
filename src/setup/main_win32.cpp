// Program entry: the run's state, the first pass over install.inf, the window, the message loop.
#include <windows.h>

#include "script/install_script.h"
#include "setup/install_sequence.h"
#include "setup/install_services_win32.h"
#include "setup/report_fatal_win32.h"
#include "ui/main_window_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace setup;
    RunState run;
    run.instance = instance;
    run.titleFont.reset(CreateTitleFont(40, FW_BOLD, "Times New Roman"));
    run.startCommand = &OnStartCommand;

    char directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, directory);
    if (length == 0 || length > kMaxDirectoryLength) ReportFatal(nullptr, "Can't open INSTALL.INF");
    run.settings.sourceDirectory.assign(directory, length);

    try {
        ReadFirstPass(run.settings);
    } catch (...) {
        ReportFatal(nullptr, DescribeCurrentException());
    }

    if (!CreateMainWindow(run, showCommand)) return 1;

    MSG message{};
    BOOL received;
    while ((received = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A failing message loop is an error, not a completed run.
    return received == 0 ? static_cast<int>(message.wParam) : 1;
}
