// Program entry: the switches; then either the unattended run, or the run's state, the first
// pass over install.inf, the window and the message loop.
#include <windows.h>

#include "setup/command_line.h"
#include "setup/install_sequence.h"
#include "setup/install_services_win32.h"
#include "setup/report_fatal_win32.h"
#include "setup/unattended_win32.h"
#include "setup/uninstall_win32.h"
#include "ui/main_window_win32.h"
#include "ui/message_box_win32.h"
#include "uninstall/uninstall_services_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    using namespace setup;
    // A switch not understood installs nothing and shows nothing: a deployment script must
    // never wait for a box.
    const std::optional<CommandLine> options = ParseCommandLine(commandLine ? commandLine : "");
    if (!options) return kExitSwitchNotUnderstood;
    if (options->showHelp) {
        ShowMessageBox(nullptr, kCommandLineHelp, "Install", MessageIcon::None);
        return kExitDone;
    }
    if (options->finish) return FinishUninstall(*options->finish);
    if (options->uninstall) return RunUninstall(*options);
    if (options->unattended) return RunUnattended(*options);

    RunState run;
    run.instance = instance;
    run.titleFont.reset(CreateTitleFont(40, FW_BOLD, "Times New Roman"));
    run.startCommand = &OnStartCommand;

    try {
        ReadStartSettings(run.settings);
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
