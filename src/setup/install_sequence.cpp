#include "setup/install_sequence.h"

#include <new>

#include "base/fatal.h"
#include "dictini/dict_ini.h"
#include "script/script_actions.h"
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
        setup::CreateDictIni(entry, [this] { services_.Progress().SkipDetailRow(); });
    }
    void BuildWordList(const LanguageEntry& entry) override {
        setup::BuildWordList({.entry = entry,
                              .displayFile = settings_.displayFile,
                              .detailFlag = settings_.detailFlag,
                              .collation = collation_,
                              .collationService = services_.Collation(),
                              .progress = services_.Progress(),
                              .messages = services_.Messages()});
    }
    void RemoveLanguageLines(const LanguageEntry& entry) override { setup::RemoveLanguageLines(entry); }
    void AppendLanguageLine(const LanguageEntry& entry) override {
        setup::AppendLanguageLine(entry.firstFieldText, entry);
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
    if (CountLanguageLines() > 1)
        SortLanguageList([&](const std::string& a, const std::string& b) {
            return CompareCollated(collation, services.Collation(), a, b);
        });

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
