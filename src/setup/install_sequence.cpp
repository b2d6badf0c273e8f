#include "setup/install_sequence.h"

#include <new>

#include "base/fatal.h"
#include "dictini/dict_ini.h"
#include "script/script_actions.h"
#include "setup/install_log.h"
#include "setup/install_recorder.h"
#include "wordlist/build_word_list.h"
#include "wordlist/language_list.h"

namespace setup {

namespace {

// Where the steps find dict.ini: relative to the working directory, the target by then.
const DictIniPaths kDictIni;

// The word-list steps of one language entry, on the run's shared state.
class InstallJobSteps final : public LanguageJobSteps {
public:
    InstallJobSteps(const InstallSettings& settings, CollationState& collation, InstallServices& services,
                    InstallRecorder& recorder)
        : settings_(settings), collation_(collation), services_(services), recorder_(recorder) {}

    void SetCollationLocale() override {
        setup::SetCollationLocale(collation_, services_.Collation(), services_.Messages());
    }
    void CreateDictIni(const LanguageEntry& entry) override {
        recorder_.BeforeWrite(kDictIni.dictIni);
        const bool created = setup::CreateDictIni(entry, [this] { services_.Progress().SkipDetailRow(); });
        services_.LogStep(created ? "dict.ini created" : "dict.ini kept as it is");
        recorder_.AfterWrite(kDictIni.dictIni, created);
    }
    void BuildWordList(const LanguageEntry& entry) override {
        const std::string toList = WordListPath(entry.toListName);
        services_.LogStep("word list " + entry.displayName + ": " + WordListPath(entry.fromListName) + " -> " + toList);
        recorder_.BeforeWrite(toList);
        setup::BuildWordList({.entry = entry,
                              .displayFile = settings_.displayFile,
                              .detailFlag = settings_.detailFlag,
                              .collation = collation_,
                              .collationService = services_.Collation(),
                              .progress = services_.Progress(),
                              .messages = services_.Messages()});
        recorder_.AfterWrite(toList, true);
    }
    // A rewrite that does not take effect ends the run; the log then holds the fatal error.
    void RemoveLanguageLines(const LanguageEntry& entry) override {
        setup::RemoveLanguageLines(entry);
        services_.LogStep("dict.ini lines of " + entry.displayName + " removed: ok");
    }
    void AppendLanguageLine(const LanguageEntry& entry) override {
        setup::AppendLanguageLine(entry.firstFieldText, entry);
        services_.LogStep("dict.ini line of " + entry.displayName + " added: ok");
    }

private:
    const InstallSettings& settings_;
    CollationState& collation_;
    InstallServices& services_;
    InstallRecorder& recorder_;
};

void RunInstallSteps(InstallSettings& settings, InstallServices& services, InstallRecorder& recorder) {
    services.ShowCopyingLayout();
    RunScriptActions(settings, recorder.Script());

    services.HideRemainingControls();
    // Every later relative name is relative to the target. A failure leaves the working
    // directory as it was; the later steps then work there.
    services.Script().ChangeDirectory(settings.targetDirectory);

    CollationState collation;
    if (settings.buildWordListsFlag) {
        LanguageEntry entry;
        InstallJobSteps steps(settings, collation, services, recorder);
        BuildWordLists(entry, steps);
    }
    if (CountLanguageLines() > 1) {
        recorder.BeforeWrite(kDictIni.dictIni);
        const bool sorted = SortLanguageList([&](const std::string& a, const std::string& b) {
                                return CompareCollated(collation, services.Collation(), a, b);
                            }) == 0;
        services.LogStep("dict.ini [language] sorted" + std::string(StepResult(sorted)));
        recorder.AfterWrite(kDictIni.dictIni, false);
    }

    if (settings.shortcutFlag) recorder.NoteShortcut(services.CreateProgramShortcut(settings));
    recorder.Finish();
    services.CloseWindow();
}

}  // namespace

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const FatalError& error) {
        return error.what();
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& error) {
        return std::string("Unexpected error: ") + error.what();
    } catch (...) {
        return "Unexpected error";
    }
}

StartOutcome RunStartCommand(InstallSettings& settings, const std::string& targetText, InstallServices& services) {
    std::string failure;
    try {
        InstallRecorder recorder(settings, services.Script(), services.Uninstall(),
                                 [&services](const std::string& line) { services.LogStep(line); });
        recorder.NoteTargetText(targetText);
        const std::optional<std::string> target = services.AcceptTargetDirectory(targetText);
        services.LogStep("target directory " + target.value_or(targetText) + (target ? ": ok" : ": refused"));
        if (!target) {
            services.Messages().Show("Invalid Directory", "Error", MessageIcon::Error, true);
            return StartOutcome::TargetRefused;
        }
        settings.targetDirectory = *target;
        recorder.Begin(*target);
        RunInstallSteps(settings, services, recorder);
        return StartOutcome::Installed;
    } catch (...) {
        failure = DescribeCurrentException();
    }
    services.ReportFatal(failure);
    return StartOutcome::Failed;
}

}  // namespace setup
