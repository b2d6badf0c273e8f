#pragma once
// The operating-system services that the script actions use, as one narrow interface:
// the Win32 layer performs them, native tests record them.
#include <functional>
#include <optional>
#include <string>

namespace setup {

// One entry of a file search: its long name and the attribute bits the callers look at.
struct FoundEntry {
    std::string name;
    bool isDirectory = false;
    bool isHidden = false;
};

class ScriptServices {
public:
    virtual ~ScriptServices() = default;

    // One directory level, default security. The results of the actions are for the log of an
    // unattended run; the actions themselves never look at them.
    virtual bool MakeDirectory(const std::string& path) = 0;
    // Replaces an existing destination.
    virtual bool CopyFileReplacing(const std::string& source, const std::string& destination) = 0;
    // Calls onEntry for every entry that matches the pattern, in the order of the search,
    // while the search is open; a pattern that matches nothing calls it never.
    virtual void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) = 0;
    // The whole working directory; nothing when the platform cannot report it.
    virtual std::optional<std::string> CurrentDirectory() = 0;
    virtual bool ChangeDirectory(const std::string& path) = 0;
    // Profile write into the named file (the platform resolves "win.ini" to its own).
    virtual bool WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                                 const std::string& file) = 0;
    // Puts the path into DirectoryEdit and updates the main window at once.
    virtual void ShowDestination(const std::string& path) = 0;
};

}  // namespace setup
