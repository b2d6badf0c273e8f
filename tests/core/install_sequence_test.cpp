// The Start command's order of steps, on services that record every call as one line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <new>

#include "base/ascii.h"
#include "dict_ini_test_support.h"
#include "script/install_script.h"
#include "setup/install_sequence.h"
#include "word_list_files.h"

namespace setup {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// One log for the window, the script's services, the display, the boxes and the collation.
// Directory changes are real, so that the steps after the copying find the target's files.
class RecordingInstall final : public InstallServices,
                               ScriptServices,
                               WordListProgress,
                               MessageService,
                               CollationService {
public:
    std::vector<std::string> calls;
    bool acceptsTarget = true;

    std::optional<std::string> AcceptTargetDirectory(const std::string& text) override {
        calls.push_back("accept " + text);
        if (!acceptsTarget) return std::nullopt;
        return text;
    }
    void ShowCopyingLayout() override { calls.push_back("copying layout"); }
    void HideRemainingControls() override { calls.push_back("hide controls"); }
    ScriptServices& Script() override { return *this; }
    WordListProgress& Progress() override { return *this; }
    MessageService& Messages() override { return *this; }
    CollationService& Collation() override { return *this; }
    void CreateProgramShortcut(const InstallSettings& settings) override {
        calls.push_back("shortcut " + settings.shortcutName);
        if (settings.shortcutName == "throws") throw std::runtime_error("shell link failed");
        if (settings.shortcutName == "throws int") throw 1;
        if (settings.shortcutName == "throws memory") throw std::bad_alloc();
    }
    void CloseWindow() override { calls.push_back("close window"); }
    void ReportFatal(const std::string& message) override { calls.push_back("fatal " + message); }
    // The log's lines are checked where the log is written: the unattended runs under Wine.
    void LogStep(const std::string&) override {}

    bool MakeDirectory(const std::string& path) override {
        calls.push_back("mkdir " + path);
        return true;
    }
    bool CopyFileReplacing(const std::string& source, const std::string& destination) override {
        calls.push_back("copy " + source + " -> " + destination);
        return true;
    }
    void ForEachEntry(const std::string&, const std::function<void(const FoundEntry&)>&) override {}
    std::optional<std::string> CurrentDirectory() override { return std::filesystem::current_path().string(); }
    bool ChangeDirectory(const std::string& path) override {
        calls.push_back("cd " + path);
        std::error_code error;
        std::filesystem::current_path(path, error);
        return !error;
    }
    bool WriteProfileKey(const std::string&, const std::string& key, const std::string&, const std::string&) override {
        calls.push_back("profile " + key);
        return true;
    }
    void ShowDestination(const std::string&) override {}

    void BeginBuildDisplay(std::string_view name) override { calls.push_back("begin build " + std::string(name)); }
    void DrawProgressBar(BuildStage) override {}
    void DrawDetailText(std::string_view) override {}
    void DrawDone() override {}
    void DrawCounter(std::int32_t) override {}
    void EndBuildDisplay() override { calls.push_back("end build"); }
    void SkipDetailRow() override { calls.push_back("skip row"); }

    void Show(const std::string& text, const std::string& caption, MessageIcon, bool) override {
        calls.push_back("box " + caption + ": " + text);
    }

    bool SetLocale(std::string_view language) override {
        calls.push_back("locale " + std::string(language));
        return true;
    }
    int Compare(std::string_view a, std::string_view b) override { return CompareAsciiFold(a, b); }
    bool AppendSortKey(std::string_view text, std::string& key) override {
        for (char c : text) key.push_back(static_cast<char>(FoldAscii(static_cast<unsigned char>(c))));
        return true;
    }
};

// A medium with its install.inf and a target directory; the working directory is restored.
struct SequenceFixture {
    test::TempDir dir;
    test::ScopedWorkingDirectory cwd{dir.Path()};
    InstallSettings settings;
    RecordingInstall services;
    std::string target = (dir.Path() / "target").string();

    explicit SequenceFixture(const std::string& script) {
        settings.sourceDirectory = (dir.Path() / "medium").string();
        test::WriteFileBytes(InstallScriptPath(settings.sourceDirectory), script);
        std::filesystem::create_directories(std::filesystem::path(target) / "language");
    }
    void WriteTarget(const std::string& name, const std::string& bytes) const {
        test::WriteFileBytes((std::filesystem::path(target) / name).string(), bytes);
    }
    std::string ReadTarget(const std::string& name) const {
        return test::ReadFileBytes((std::filesystem::path(target) / name).string());
    }
    StartOutcome Start() { return RunStartCommand(settings, target, services); }
};

TEST(RunStartCommand, ARefusedTargetShowsInvalidDirectoryAndChangesNothing) {
    SequenceFixture f("mkwlist\niconname Words\n");
    f.services.acceptsTarget = false;
    EXPECT_EQ(f.Start(), StartOutcome::TargetRefused);
    EXPECT_THAT(f.services.calls, ElementsAre("accept " + f.target, "box Error: Invalid Directory"));
    EXPECT_EQ(f.settings.targetDirectory, "");
}

TEST(RunStartCommand, RunsTheStepsInOrderAndClosesTheWindow) {
    SequenceFixture f("avidelay 5\nmkwlist\ncopy a.txt b.txt\niconname Words\n");
    f.WriteTarget("language.cf", "de,d,1,German\nfrom.wb\nto.wb\nen,e,2,English\nfrom.wb\nto2.wb\n");
    f.WriteTarget("language/from.wb", test::RecordBytes("Haus", "house"));
    EXPECT_EQ(f.Start(), StartOutcome::Installed);
    EXPECT_THAT(f.services.calls,
                ElementsAreArray(std::vector<std::string>{
                    "accept " + f.target, "copying layout", "profile EnglishAviDelay",
                    "copy " + f.settings.sourceDirectory + "\\a.txt -> " + f.target + "\\b.txt", "hide controls",
                    "cd " + f.target, "locale english", "skip row", "begin build German", "end build",
                    "box Install: Install Finished ", "locale english", "begin build English", "end build",
                    "box Install: Install Finished ", "shortcut Words", "close window"}));
    EXPECT_EQ(f.settings.targetDirectory, f.target);
    // Both languages recorded, and the section sorted by name at the end.
    EXPECT_EQ(f.ReadTarget("dict.ini"), test::Crlf(test::DictIniText("from.wb", "en,e,2,English\nde,d,1,German\n\n")));
}

TEST(RunStartCommand, SortsTheLanguageListAlsoWithoutWordLists) {
    SequenceFixture f("icongroup Group\n");
    f.WriteTarget("dict.ini", test::DictIniText("x.wb", "b,b,b,Zulu\na,a,a,Afrikaans\n\n"));
    EXPECT_EQ(f.Start(), StartOutcome::Installed);
    EXPECT_THAT(f.services.calls,
                ElementsAre("accept " + f.target, "copying layout", "hide controls", "cd " + f.target, "close window"));
    EXPECT_EQ(f.ReadTarget("dict.ini"), test::Crlf(test::DictIniText("x.wb", "a,a,a,Afrikaans\nb,b,b,Zulu\n\n")));
}

TEST(RunStartCommand, AnyExceptionFromAStepEndsTheRunThroughReportFatalWithoutClosing) {
    SequenceFixture f("mkwlist\niconname Words\n");  // no language.cf in the target
    EXPECT_EQ(f.Start(), StartOutcome::Failed);
    EXPECT_THAT(f.services.calls, ElementsAre("accept " + f.target, "copying layout", "hide controls", "cd " + f.target,
                                              "fatal Can't open LANGUAGE.CF"));

    const std::pair<std::string, std::string> others[] = {{"throws", "fatal Unexpected error: shell link failed"},
                                                          {"throws int", "fatal Unexpected error"},
                                                          {"throws memory", "fatal Out of memory"}};
    for (const auto& [name, fatal] : others) {
        SequenceFixture g("iconname " + name + "\n");
        EXPECT_EQ(g.Start(), StartOutcome::Failed);
        ASSERT_FALSE(g.services.calls.empty());
        EXPECT_EQ(g.services.calls.back(), fatal);
    }
}

}  // namespace
}  // namespace setup
