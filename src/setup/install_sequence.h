#pragma once
// The Start command: the order of the installation's steps, on services that the platform
// layer carries out (the window and its controls, files, the shell) and that tests record.
#include <optional>
#include <string>

#include "base/message_service.h"
#include "script/install_settings.h"
#include "script/program_shortcut.h"
#include "script/script_services.h"
#include "uninstall/uninstall_services.h"
#include "wordlist/collation.h"
#include "wordlist/word_list_progress.h"

namespace setup {

class InstallServices {
public:
    virtual ~InstallServices() = default;

    // The target directory for the edit box's text when the text names an existing entry or a
    // directory that could be created now; nothing when the text is refused.
    virtual std::optional<std::string> AcceptTargetDirectory(const std::string& text) = 0;
    // Hides the chooser's lists, labels and buttons, brings the panel back to its compact
    // size and shows "Copying files..." above the edit box.
    virtual void ShowCopyingLayout() = 0;
    // Hides the controls that stayed for the copying, before the word lists are built.
    virtual void HideRemainingControls() = 0;
    virtual ScriptServices& Script() = 0;
    virtual WordListProgress& Progress() = 0;
    virtual MessageService& Messages() = 0;
    virtual CollationService& Collation() = 0;
    virtual ProgramShortcut CreateProgramShortcut(const InstallSettings& settings) = 0;
    // What records the install for its uninstaller (a medium with "uninstall"); nothing where
    // the platform offers none.
    virtual UninstallServices* Uninstall() { return nullptr; }
    // Destroys the main window: the message loop then ends with exit code 0.
    virtual void CloseWindow() = 0;
    // Shows the error and ends the process with exit code 1 (where the platform allows it,
    // it does not return).
    virtual void ReportFatal(const std::string& message) = 0;
    // One line for the log of an unattended run (the target, each word-list job, each dict.ini
    // change); a run with the window keeps no log.
    virtual void LogStep(const std::string& line) = 0;
};

// The text of the "Error" box for the exception being handled (call it inside a catch block):
// a fatal error's own text, "Out of memory", or what any other exception says failed.
std::string DescribeCurrentException();

enum class StartOutcome { TargetRefused, Installed, Failed };

// Validates targetText as the target directory ("Invalid Directory" when it is refused, and
// the chooser stays), then runs every step of the installation and closes the window. Any
// exception that escapes a step ends the run through ReportFatal.
StartOutcome RunStartCommand(InstallSettings& settings, const std::string& targetText, InstallServices& services);

}  // namespace setup
