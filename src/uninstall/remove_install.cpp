#include "uninstall/remove_install.h"

#include <map>
#include <vector>

#include "uninstall/record_store.h"

namespace setup {

namespace {

constexpr const char* kCaption = "Uninstall";

// One removal along the record: files, profile keys, directories, the entry, the record.
class Removal {
public:
    Removal(const UninstallRecord& record, UninstallServices& services, UninstallUi& ui)
        : record_(record), services_(services), ui_(ui), targetKey_(Key(record.target)) {}

    void Run() {
        for (auto file = record_.files.rbegin(); file != record_.files.rend(); ++file) RemoveFile(*file);
        RestoreProfileKeys();
        for (auto directory = record_.directories.rbegin(); directory != record_.directories.rend(); ++directory)
            if (Key(*directory) != targetKey_) RemoveDirectory(*directory);
        // The record goes before the entry, and both stay while anything failed: the removal can
        // then be run again.
        const std::string recordPath = PathInDirectory(record_.target, kUninstallRecordName);
        if (Complete()) {
            const std::optional<UninstallServices::Examined> recordFile =
                services_.ExamineFile(recordPath, [&](const FileFacts& facts) { return Reached(recordPath, facts); });
            Step("remove " + recordPath, recordFile && recordFile->removed);
        }
        if (!Complete()) {
            recordKept_ = true;
            return ui_.Log("keep the uninstall record, entry and program: the removal can be run again");
        }
        Step("uninstall entry " + services_.EntryName(record_.key) + " removed", services_.DeleteEntry(record_.key));
        // The target goes last, when the install made it and nothing is left in it.
        bool madeTarget = false;
        for (const std::string& directory : record_.directories) madeTarget |= Key(directory) == targetKey_;
        const std::string program = PathInDirectory(record_.target, kUninstallProgramName);
        Step("remove " + program + (madeTarget ? " and " + record_.target + " when empty" : ""),
             services_.RemoveProgram(program, madeTarget ? std::optional(record_.target) : std::nullopt));
    }

    const std::vector<std::string>& Kept() const { return kept_; }
    const std::vector<std::string>& NotRemoved() const { return notRemoved_; }
    const std::vector<std::string>& Failed() const { return failed_; }
    bool Complete() const { return notRemoved_.empty() && failed_.empty(); }
    bool RecordKept() const { return recordKept_; }

private:
    std::string Key(std::string_view path) { return services_.PathKey(path); }

    void Step(const std::string& what, bool succeeded) {
        ui_.Log(what + (succeeded ? ": ok" : ": failed"));
        if (!succeeded) failed_.push_back(what);
    }

    // The path a file below the target has when no link stands in its way: the target's own
    // final path (the target itself may be reached through one) and the names below it. A file
    // elsewhere is only checked not to be a link itself.
    std::optional<std::string> UnlinkedPath(const std::string& path) {
        const std::string anchor = IsBelow(Key(path), targetKey_) ? record_.target : ParentDirectory(path);
        auto [found, fresh] = anchorPaths_.try_emplace(Key(anchor));
        if (fresh) found->second = services_.FinalDirectoryPath(anchor);
        if (!found->second) return std::nullopt;
        return *found->second + path.substr(anchor.size());
    }

    bool Reached(const std::string& path, const FileFacts& facts) {
        const std::optional<std::string> unlinked = UnlinkedPath(path);
        return unlinked && Key(*unlinked) == Key(facts.finalPath);
    }

    // Files there before the install or changed since stay as they should; a file that could not
    // be removed is a failure.
    void Keep(std::vector<std::string>& list, const std::string& path, const std::string& why) {
        list.push_back(path);
        ui_.Log("keep " + path + ": " + why);
    }

    void RemoveFile(const RecordedFile& file) {
        if (file.existedBefore) {
            if (services_.Exists(file.path)) Keep(kept_, file.path, "it was there before the install");
            return;
        }
        bool reached = false, unchanged = false;
        const std::optional<UninstallServices::Examined> examined =
            services_.ExamineFile(file.path, [&](const FileFacts& facts) {
                reached = Reached(file.path, facts);
                unchanged = facts.size == file.size && facts.sha256 == file.sha256;
                return reached && unchanged;
            });
        if (!examined) {
            if (services_.Exists(file.path)) return Keep(notRemoved_, file.path, "it cannot be opened");
            return ui_.Log("remove " + file.path + ": gone already");
        }
        if (!reached) return Keep(notRemoved_, file.path, "a link leads to it");
        if (!unchanged) return Keep(kept_, file.path, "it has changed since the install");
        if (!examined->removed) return Keep(notRemoved_, file.path, "it cannot be deleted");
        Step("remove " + file.path, true);
    }

    // A key the user changed since stays. A section that the installs made (none of its keys
    // was there before them) goes when nothing else is left in it.
    void RestoreProfileKeys() {
        std::map<std::pair<std::string, std::string>, bool> sectionsMade;
        for (auto key = record_.iniKeys.rbegin(); key != record_.iniKeys.rend(); ++key) {
            const std::string line = key->file + " [" + key->section + "] " + key->key;
            bool& made = sectionsMade.try_emplace({key->file, key->section}, true).first->second;
            made = made && !key->before;
            const std::optional<std::string> value = services_.ReadProfileKey(key->section, key->key, key->file);
            if (value != key->written) {
                // A removal run again finds the keys it gave back.
                ui_.Log(value == key->before ? line + (value ? ": restored already" : ": removed already")
                                             : "keep " + line + ": it has changed since the install");
                continue;
            }
            Step(key->before ? line + "=" + *key->before + " restored" : line + " removed",
                 services_.WriteProfileKey(key->section, key->key, key->before, key->file));
        }
        for (const auto& [section, made] : sectionsMade)
            if (made && services_.ProfileSectionIsEmpty(section.second, section.first))
                Step(section.first + " [" + section.second + "] removed",
                     services_.WriteProfileKey(section.second, std::nullopt, std::nullopt, section.first));
    }

    // Only an empty directory goes, or a link standing in its place (as the link); never one
    // reached through a link.
    void RemoveDirectory(const std::string& directory) {
        if (!services_.Exists(directory)) return ui_.Log("rmdir " + directory + ": gone already");
        const std::optional<std::string> unlinked = UnlinkedPath(directory);
        const std::optional<std::string> parentPath = services_.FinalDirectoryPath(ParentDirectory(directory));
        const bool inTarget = IsBelow(Key(directory), targetKey_);
        if (inTarget && (!unlinked || !parentPath || Key(ParentDirectory(*unlinked)) != Key(*parentPath)))
            return ui_.Log("keep " + directory + ": a link leads to it");
        const std::optional<std::string> path = services_.FinalDirectoryPath(directory);
        const bool link = inTarget && (!path || Key(*path) != Key(*unlinked));
        if (link) return Step("remove the link " + directory, services_.RemoveEmptyDirectory(directory));
        if (!services_.RemoveEmptyDirectory(directory)) return ui_.Log("keep " + directory + ": it is not empty");
        Step("rmdir " + directory, true);
    }

    const UninstallRecord& record_;
    UninstallServices& services_;
    UninstallUi& ui_;
    const std::string targetKey_;
    std::map<std::string, std::optional<std::string>> anchorPaths_;
    std::vector<std::string> kept_;        // there before the install, or changed since
    std::vector<std::string> notRemoved_;  // files that could not be removed
    std::vector<std::string> failed_;      // the other steps that failed, as the log names them
    bool recordKept_ = false;
};

void AppendList(std::string& text, const char* heading, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    text.append("\n").append(heading);
    for (const std::string& line : lines) text += "\n" + line;
}

}  // namespace

UninstallOutcome RemoveInstall(const std::string& directory, UninstallServices& services, UninstallUi& ui) {
    const StoredRecord stored = LoadRecord(directory, services);
    ui.Log("uninstall record " + PathInDirectory(directory, kUninstallRecordName) +
           (stored.record ? ": ok" : ": failed"));
    if (!stored.record) {
        ui.Messages().Show(stored.problem, "Error", MessageIcon::Error, false);
        return UninstallOutcome::Refused;
    }
    if (!ui.Confirm("Remove " + stored.record->name + " and its word lists?")) return UninstallOutcome::Cancelled;
    Removal removal(*stored.record, services, ui);
    removal.Run();
    const bool complete = removal.Complete();
    std::string closing = stored.record->name + (complete ? " has been removed." : " could not be removed completely.");
    AppendList(closing, "These files were kept because they were there before the install or have changed since:",
               removal.Kept());
    AppendList(closing, "These files could not be removed:", removal.NotRemoved());
    AppendList(closing, "These steps failed:", removal.Failed());
    if (removal.RecordKept()) closing += "\nIt stays registered, so that the removal can be run again.";
    ui.Messages().Show(closing, kCaption, MessageIcon::None, false);
    if (!complete) return UninstallOutcome::Incomplete;
    return removal.Kept().empty() ? UninstallOutcome::Removed : UninstallOutcome::RemovedKeptFiles;
}

}  // namespace setup
