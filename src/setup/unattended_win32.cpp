#include "setup/unattended_win32.h"

#include <windows.h>

#include "base/fatal.h"
#include "base/win32_handles.h"
#include "script/install_script.h"
#include "script/script_services_win32.h"
#include "script/shortcut_win32.h"
#include "setup/install_log.h"
#include "setup/install_sequence.h"
#include "setup/install_services_win32.h"
#include "uninstall/uninstall_services_win32.h"
#include "wordlist/collation_win32.h"

namespace setup {

namespace {

// The installation without the window: the real file, profile, locale and shell services, with
// the log in place of the edit box, the progress display and the message boxes.
class UnattendedInstallServices final : public InstallServices {
public:
    explicit UnattendedInstallServices(InstallLog& log) : log_(log), script_(platformScript_, log), messages_(log) {}

    std::optional<std::string> AcceptTargetDirectory(const std::string& text) override {
        return setup::AcceptTargetDirectory(text);
    }
    void ShowCopyingLayout() override {}
    void HideRemainingControls() override {}
    ScriptServices& Script() override { return script_; }
    WordListProgress& Progress() override { return progress_; }
    MessageService& Messages() override { return messages_; }
    CollationService& Collation() override { return collation_; }
    ProgramShortcut CreateProgramShortcut(const InstallSettings& settings) override {
        const ProgramShortcut shortcut = setup::CreateProgramShortcut(settings, nullptr);
        log_.Write("shortcut " + shortcut.linkPath.value_or(settings.shortcutName) + " -> " + settings.targetPrefix +
                   settings.shortcutProgram + std::string(StepResult(shortcut.linkPath.has_value())));
        return shortcut;
    }
    UninstallServices* Uninstall() override { return &uninstall_; }
    void CloseWindow() override {}
    // The error's line; the run then ends with exit code 1.
    void ReportFatal(const std::string& message) override {
        messages_.Show(message, "Error", MessageIcon::Error, true);
    }
    void LogStep(const std::string& line) override { log_.Write(line); }

private:
    InstallLog& log_;
    Win32ScriptServices platformScript_{nullptr, nullptr};
    LoggingScriptServices script_;
    MessageLog messages_;
    NoProgress progress_;
    Win32Collation collation_;
    Win32UninstallServices uninstall_;
};

int ExitCodeOf(StartOutcome outcome) {
    switch (outcome) {
        case StartOutcome::Installed: return kExitDone;
        case StartOutcome::TargetRefused: return kExitTargetRefused;
        case StartOutcome::Failed: break;
    }
    return kExitFatal;
}

}  // namespace

void ReadStartSettings(InstallSettings& settings) {
    const std::optional<std::string> directory = QueryCurrentDirectory();
    if (!directory || directory->size() > kMaxDirectoryLength) ThrowFatal("Can't open INSTALL.INF");
    settings.sourceDirectory = *directory;
    ReadFirstPass(settings);
}

int RunUnattended(const CommandLine& options) {
    // Nobody is there to answer a system box either (a drive without its disk, say).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    InstallLog log = options.logPath ? InstallLog(*options.logPath) : InstallLog();
    log.Write(LocalTime() + " unattended install");
    const ComApartment com;
    UnattendedInstallServices services(log);
    InstallSettings settings;
    int code = kExitFatal;
    try {
        ReadStartSettings(settings);
        log.Write("source directory " + settings.sourceDirectory);
        code = ExitCodeOf(RunStartCommand(settings, options.target.value_or(settings.defaultTarget), services));
    } catch (...) {
        services.ReportFatal(DescribeCurrentException());
    }
    // Appended rather than concatenated: GCC 12 warns wrongly (-Wrestrict) about "text" + string.
    log.Write(std::string("exit code ").append(std::to_string(code)));
    return code;
}

}  // namespace setup
