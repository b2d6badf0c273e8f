#include "setup/install_sequence.h"

#include <new>

#include "base/fatal.h"
#include "dictini/dict_ini.h"
#include "script/script_actions.h"
#include "setup/install_log.h"
#include "wordlist/build_word_list.h"
#include "wordlist/language_list.h"

namespace setup {

namespace {

// The word-list steps of one language entry, on the run's shared state.
class InstallJobSteps final : public LanguageJobSteps {
public:
    InstallJobSteps(const InstallSettings& settings, CollationState& collation, InstallServices& services)
        : settings_(settings), collation_(collation), services_(services) {}

    void SetCollationLocale() override {
        setup::SetCollationLocale(collation_, services_.Collation(), services_.Messages());
    }
    void CreateDictIni(const LanguageEntry& entry) override {
        const bool created = setup::CreateDictIni(entry, [this] { services_.Progress().SkipDetailRow(); });
        services_.LogStep(created ? "dict.ini created" : "dict.ini kept as it is");
    }
    void BuildWordList(const LanguageEntry& entry) override {
        services_.LogStep("word list " + entry.displayName + ": " + WordListPath(entry.fromListName) + " -> " +
                          WordListPath(entry.toListName));
        setup::BuildWordList({.entry = entry,
                              .displayFile = settings_.displayFile,
                              .detailFlag = settings_.detailFlag,
                              .collation = collation_,
                              .collationService = services_.Collation(),
                              .progress = services_.Progress(),
                              .messages = services_.Messages()});
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
};

void RunInstallSteps(InstallSettings& settings, InstallServices& services) {
    services.ShowCopyingLayout();
    RunScriptActions(settings, services.Script());

    services.HideRemainingControls();
    // Every later relative name is relative to the target. A failure leaves the working
    // directory as it was; the later steps then work there.
    services.Script().ChangeDirectory(settings.targetDirectory);

    CollationState collation;
    if (settings.buildWordListsFlag) {
        LanguageEntry entry;
        InstallJobSteps steps(settings, collation, services);
        BuildWordLists(entry, steps);
    }
    if (CountLanguageLines() > 1) {
        const bool sorted = SortLanguageList([&](const std::string& a, const std::string& b) {
                                return CompareCollated(collation, services.Collation(), a, b);
                            }) == 0;
        services.LogStep("dict.ini [language] sorted" + std::string(StepResult(sorted)));
    }

    if (settings.shortcutFlag) services.CreateProgramShortcut(settings);
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
        const std::optional<std::string> target = services.AcceptTargetDirectory(targetText);
        services.LogStep("target directory " + target.value_or(targetText) + (target ? ": ok" : ": refused"));
        if (!target) {
            services.Messages().Show("Invalid Directory", "Error", MessageIcon::Error, true);
            return StartOutcome::TargetRefused;
        }
        settings.targetDirectory = *target;
        RunInstallSteps(settings, services);
        return StartOutcome::Installed;
    } catch (...) {
        failure = DescribeCurrentException();
    }
    services.ReportFatal(failure);
    return StartOutcome::Failed;
}

}  // namespace setup
