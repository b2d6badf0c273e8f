#include "setup/uninstall_win32.h"

#include <windows.h>

#include "setup/install_log.h"
#include "ui/message_box_win32.h"
#include "uninstall/remove_install.h"
#include "uninstall/uninstall_record.h"
#include "uninstall/uninstall_services_win32.h"

namespace setup {

namespace {

// The question and the boxes on the screen; no log.
class WindowUninstallUi final : public UninstallUi {
public:
    bool Confirm(const std::string& question) override {
        return MessageBoxA(nullptr, question.c_str(), "Uninstall", MB_YESNO) == IDYES;
    }
    MessageService& Messages() override { return messages_; }
    void Log(const std::string&) override {}

private:
    HWND noOwner_ = nullptr;
    Win32MessageService messages_{noOwner_};
};

// Yes without asking; the boxes as lines of the log.
class UnattendedUninstallUi final : public UninstallUi {
public:
    explicit UnattendedUninstallUi(InstallLog& log) : log_(log), messages_(log) {}
    bool Confirm(const std::string&) override { return true; }
    MessageService& Messages() override { return messages_; }
    void Log(const std::string& line) override { log_.Write(line); }

private:
    InstallLog& log_;
    MessageLog messages_;
};

int ExitCodeOf(UninstallOutcome outcome) {
    switch (outcome) {
        case UninstallOutcome::Refused: return kExitFatal;
        case UninstallOutcome::RemovedKeptFiles: return kExitRemovedKeptFiles;
        case UninstallOutcome::Incomplete: return kExitRemovalIncomplete;
        case UninstallOutcome::Cancelled:
        case UninstallOutcome::Removed: break;
    }
    return kExitDone;
}

}  // namespace

int RunUninstall(const CommandLine& options) {
    if (options.unattended) SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    InstallLog log = options.logPath ? InstallLog(*options.logPath) : InstallLog();
    log.Write(LocalTime() + " unattended uninstall");
    Win32UninstallServices services;
    // uninstall.exe removes the install it belongs to, in its own directory, wherever it is
    // started from (Apps & features starts it anywhere); setup.exe the one in the working directory.
    const std::string program = services.FullPath(RunningProgramPath()).value_or(RunningProgramPath());
    const std::string directory =
        NamesUninstallProgram(program) ? ParentDirectory(program) : services.FullPath(".").value_or(".");
    WindowUninstallUi window;
    UnattendedUninstallUi unattended(log);
    UninstallUi& ui = options.unattended ? static_cast<UninstallUi&>(unattended) : window;
    const int code = ExitCodeOf(RemoveInstall(directory, services, ui));
    log.Write(std::string("exit code ").append(std::to_string(code)));
    return code;
}

}  // namespace setup
