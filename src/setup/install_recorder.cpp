#include "setup/install_recorder.h"

#include <algorithm>

#include "base/fatal.h"
#include "setup/install_log.h"
#include "uninstall/record_store.h"

namespace setup {

namespace {

constexpr const char* kEntryKeyPrefix = "Dictionary_";
constexpr size_t kEntryKeyDigits = 16;

std::string Count(size_t n, const char* one, const char* more) {
    return std::to_string(n) + " " + (n == 1 ? one : more);
}

}  // namespace

InstallRecorder::InstallRecorder(const InstallSettings& settings, ScriptServices& script, UninstallServices* system,
                                 std::function<void(const std::string&)> logStep)
    : settings_(settings),
      script_(script),
      system_(settings.uninstallName.empty() ? nullptr : system),
      logStep_(std::move(logStep)) {}

void InstallRecorder::NoteTargetText(const std::string& text) {
    if (system_) targetExisted_ = system_->Exists(text);
}

void InstallRecorder::Begin(const std::string& target) {
    if (!system_) return;
    const std::string full = system_->FullPath(target).value_or(target);
    // Another program's uninstaller is never overwritten, nor removed later with the dictionary.
    if (const std::optional<std::string> foreign = ForeignUninstallFile(full, *system_))
        ThrowFatal("Can't install here: " + *foreign + " is not this program's own");
    StoredRecord stored = LoadRecord(full, *system_);
    const std::string recordPath = PathInDirectory(full, kUninstallRecordName);
    if (stored.record) {
        record_ = std::move(*stored.record);
        logStep_("uninstall record " + recordPath + ": the earlier installs are kept in it");
    } else {
        // A record that cannot be trusted is not built on: its files are forgotten.
        if (!stored.missing) logStep_("uninstall record " + recordPath + ": " + stored.problem + "; a new one is made");
        record_.target = full;
        record_.key = kEntryKeyPrefix + system_->Sha256(Key(full)).substr(0, kEntryKeyDigits);
    }
    record_.name = settings_.uninstallName;
    if (!targetExisted_) AddDirectory(full);
}

const std::string& InstallRecorder::Key(const std::string& path) {
    auto known = keys_.find(path);
    if (known == keys_.end()) known = keys_.emplace(path, system_->PathKey(path)).first;
    return known->second;
}

std::vector<RecordedFile>::iterator InstallRecorder::FindFile(const std::string& key) {
    return std::find_if(record_.files.begin(), record_.files.end(),
                        [&](const RecordedFile& file) { return Key(file.path) == key; });
}

void InstallRecorder::AddDirectory(const std::string& path) {
    const std::optional<std::string> full = system_->FullPath(path);
    if (!full) return;
    const bool known = std::any_of(record_.directories.begin(), record_.directories.end(),
                                   [&](const std::string& directory) { return Key(directory) == Key(*full); });
    if (known) return;
    // A directory made where a recorded file was: the file is gone, and a path is named once.
    if (const auto file = FindFile(Key(*full)); file != record_.files.end()) record_.files.erase(file);
    record_.directories.push_back(*full);
}

void InstallRecorder::BeforeWrite(const std::string& path) {
    if (!system_) return;
    const std::optional<std::string> full = system_->FullPath(path);
    if (!full || !checked_.insert(Key(*full)).second) return;
    const auto recorded = FindFile(Key(*full));
    if (recorded == record_.files.end()) {
        existedBefore_[Key(*full)] = system_->Exists(*full);
        return;
    }
    // A file of an earlier install that was changed since belongs to the user now.
    const auto examined = system_->ExamineFile(*full, [](const FileFacts&) { return false; });
    if (examined && (examined->facts.size != recorded->size || examined->facts.sha256 != recorded->sha256))
        recorded->existedBefore = true;
}

void InstallRecorder::AfterWrite(const std::string& path, bool recordNew) {
    if (!system_) return;
    const std::optional<std::string> full = system_->FullPath(path);
    if (!full) return;
    const bool recorded = FindFile(Key(*full)) != record_.files.end();
    // A medium may copy files of the uninstaller's names; they are replaced at the end.
    const bool own = IsUninstallerFile(Key(*full), record_.target, [this](std::string_view p) {
        return Key(std::string(p));
    });
    if (own || (!recorded && !recordNew)) return;
    if (!recorded) {
        std::erase_if(record_.directories, [&](const std::string& directory) { return Key(directory) == Key(*full); });
        record_.files.push_back({*full, existedBefore_[Key(*full)], 0, {}});
    }
    written_.insert(Key(*full));
}

void InstallRecorder::NoteShortcut(const ProgramShortcut& shortcut) {
    if (!system_) return;
    if (shortcut.createdGroup) AddDirectory(*shortcut.createdGroup);
    const std::optional<std::string> link = shortcut.linkPath ? system_->FullPath(*shortcut.linkPath) : std::nullopt;
    if (!link) return;
    existedBefore_[Key(*link)] = shortcut.linkExisted;
    AfterWrite(*link, true);
}

bool InstallRecorder::MakeDirectory(const std::string& path) {
    const bool made = script_.MakeDirectory(path);
    if (made) AddDirectory(path);
    return made;
}

bool InstallRecorder::CopyFileReplacing(const std::string& source, const std::string& destination) {
    BeforeWrite(destination);
    const bool copied = script_.CopyFileReplacing(source, destination);
    if (copied) AfterWrite(destination, true);
    return copied;
}

bool InstallRecorder::WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                                      const std::string& file) {
    const std::optional<std::string> before = system_->ReadProfileKey(section, key, file);
    const bool written = script_.WriteProfileKey(section, key, value, file);
    if (!written) return false;
    const std::string name = Key(ProfileKeyPath(file, section, key));
    auto recorded = std::find_if(record_.iniKeys.begin(), record_.iniKeys.end(), [&](const RecordedIniKey& k) {
        return Key(ProfileKeyPath(k.file, k.section, k.key)) == name;
    });
    if (recorded == record_.iniKeys.end()) {
        record_.iniKeys.push_back({file, section, key, value, before});
    } else {
        // A value the user set since an earlier install is the one to give back.
        if (before != recorded->written) recorded->before = before;
        recorded->written = value;
    }
    return true;
}

void InstallRecorder::Finish() {
    if (!system_) return;
    // Every file this run wrote, as it is now; one it removed again (language.cf) is no longer
    // the install's.
    std::erase_if(record_.files, [&](RecordedFile& file) {
        if (!written_.count(Key(file.path))) return false;
        const auto examined = system_->ExamineFile(file.path, [](const FileFacts&) { return false; });
        if (!examined) return true;
        file.size = examined->facts.size;
        file.sha256 = examined->facts.sha256;
        return false;
    });
    // The record before the program: a run that ends between them never leaves an uninstall.exe
    // without a record, which the next install would take for another program's.
    const std::optional<std::string> checksum = StoreRecord(record_, *system_);
    logStep_("uninstall record " + PathInDirectory(record_.target, kUninstallRecordName) + " of " +
             Count(record_.files.size(), "file", "files") + ", " +
             Count(record_.directories.size(), "directory", "directories") + ", " +
             Count(record_.iniKeys.size(), "profile key", "profile keys") +
             std::string(StepResult(checksum.has_value())));
    if (!checksum) ThrowFatal("Can't write UNINSTALL.DAT");

    const std::string program = PathInDirectory(record_.target, kUninstallProgramName);
    const bool copied = system_->CopyRunningProgram(program);
    logStep_("uninstall program " + program + std::string(StepResult(copied)));
    if (!copied) ThrowFatal("Can't write UNINSTALL.EXE");

    std::uint64_t bytes = 0;
    for (const RecordedFile& file : record_.files) bytes += file.existedBefore ? 0 : file.size;
    if (const auto examined = system_->ExamineFile(program, [](const FileFacts&) { return false; }))
        bytes += examined->facts.size;
    const std::string quoted = "\"" + program + "\" /U";
    const UninstallEntry entry{record_.name,   quoted,         quoted + " /S",
                               record_.target, program + ",0", static_cast<std::uint32_t>((bytes + 1023) / 1024),
                               *checksum, {}};
    const bool registered = system_->WriteEntry(record_.key, entry);
    logStep_("uninstall entry " + system_->EntryName(record_.key) + std::string(StepResult(registered)));
    if (!registered) ThrowFatal("Can't write the uninstall entry");
}

}  // namespace setup
