#pragma once
// The uninstaller's work: removes what the record of a target says the installs wrote, and
// nothing else. A file goes only when it still holds the bytes recorded and is reached without
// a link; a profile key gets its earlier value back only when it still holds the one written;
// directories go only when empty. Nothing is ever removed recursively.
#include <string>

#include "base/message_service.h"
#include "uninstall/uninstall_services.h"

namespace setup {

// The question, the boxes and the log of one removal: a window's run asks and shows boxes, an
// unattended one answers yes and writes lines.
class UninstallUi {
public:
    virtual ~UninstallUi() = default;
    virtual bool Confirm(const std::string& question) = 0;
    virtual MessageService& Messages() = 0;
    virtual void Log(const std::string& line) = 0;
};

enum class UninstallOutcome {
    Refused,    // no record, or one that is damaged or not this machine's: nothing removed
    Cancelled,  // the user said no
    Removed,
    RemovedKeptFiles,  // removed, but files there before the install or changed since were kept
    Incomplete,        // a step failed; the record and the entry stay when it came before them
};

// Removes the install recorded in the directory (a full path). Every failure is a box (an
// "Error" box when nothing could be removed) and a line of the log.
UninstallOutcome RemoveInstall(const std::string& directory, UninstallServices& services, UninstallUi& ui);

}  // namespace setup
