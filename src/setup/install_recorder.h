#pragma once
// The uninstall record of a run, kept only when the medium names an uninstall entry ("uninstall"):
// the script's file services pass through it and it notes what they create, overwrite and write;
// the install sequence tells it about its own files. At the end it puts uninstall.exe, the record
// and the Apps & features entry in place. Without the key it passes every call straight on and
// records nothing.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "script/install_settings.h"
#include "script/program_shortcut.h"
#include "script/script_services.h"
#include "uninstall/uninstall_record.h"
#include "uninstall/uninstall_services.h"

namespace setup {

class InstallRecorder final : public ScriptServices {
public:
    // system: nothing where the platform cannot record (nothing is recorded then).
    InstallRecorder(const InstallSettings& settings, ScriptServices& script, UninstallServices* system,
                    std::function<void(const std::string&)> logStep);

    // The script's services for the run: these, or the inner ones when nothing is recorded.
    ScriptServices& Script() { return system_ ? *this : script_; }

    // Before the target is accepted (which may create it): whether it is there already.
    void NoteTargetText(const std::string& text);
    // After: takes up the record of the earlier installs into the target, when there is one.
    void Begin(const std::string& target);
    // Around a write of the program's own (a word list, dict.ini): a file that is not in the
    // record yet is recorded only when recordNew says so.
    void BeforeWrite(const std::string& path);
    void AfterWrite(const std::string& path, bool recordNew);
    void NoteShortcut(const ProgramShortcut& shortcut);
    // Copies the program as uninstall.exe, writes the record and the entry. Throws FatalError
    // when one of them cannot be written.
    void Finish();

    bool MakeDirectory(const std::string& path) override;
    bool CopyFileReplacing(const std::string& source, const std::string& destination) override;
    void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) override {
        script_.ForEachEntry(pattern, onEntry);
    }
    std::optional<std::string> CurrentDirectory() override { return script_.CurrentDirectory(); }
    bool ChangeDirectory(const std::string& path) override { return script_.ChangeDirectory(path); }
    bool WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                         const std::string& file) override;
    void ShowDestination(const std::string& path) override { script_.ShowDestination(path); }

private:
    // The path's key, folded by the system once per path: every write compares it with each
    // recorded path.
    const std::string& Key(const std::string& path);
    // The recorded file of that key, or the end of the list.
    std::vector<RecordedFile>::iterator FindFile(const std::string& key);
    void AddDirectory(const std::string& path);

    const InstallSettings& settings_;
    ScriptServices& script_;
    UninstallServices* system_;
    std::function<void(const std::string&)> logStep_;

    bool targetExisted_ = true;
    UninstallRecord record_;
    std::map<std::string, bool> existedBefore_;  // files written by this run, not yet recorded
    std::set<std::string> checked_;              // files looked at before this run's first write
    std::set<std::string> written_;              // recorded files this run wrote: hashed at the end
    std::map<std::string, std::string> keys_;    // paths and their keys
};

}  // namespace setup
