// The Start command's order of steps, on services that record every call as one line.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>

#include "base/ascii.h"
#include "core_fakes.h"
#include "golden_cases.h"
#include "script/install_script.h"
#include "setup/install_sequence.h"
#include "test_files.h"

namespace setup {
namespace {

// One log for the window, the script's services, the display, the boxes and the collation.
// Directory changes are real, so that the steps after the copying find the target's files.
class RecordingInstall final : public InstallServices, WordListProgress, MessageService, CollationService {
public:
    std::string calls;
    test::RecordingScriptServices script{calls};
    bool acceptsTarget = true;

    bool Log(const std::string& call) { return calls += call + "\n", true; }
    std::optional<std::string> AcceptTargetDirectory(const std::string& text) override {
        Log("accept " + text);
        return acceptsTarget ? std::optional(text) : std::nullopt;
    }
    void ShowCopyingLayout() override { Log("copying layout"); }
    void HideRemainingControls() override { Log("hide controls"); }
    ScriptServices& Script() override { return script; }
    WordListProgress& Progress() override { return *this; }
    MessageService& Messages() override { return *this; }
    CollationService& Collation() override { return *this; }
    ProgramShortcut CreateProgramShortcut(const InstallSettings& settings) override {
        Log("shortcut " + settings.shortcutName);
        if (settings.shortcutName == "throws") throw std::runtime_error("shell link failed");
        if (settings.shortcutName == "throws int") throw 1;
        if (settings.shortcutName == "throws memory") throw std::bad_alloc();
        return {};
    }
    void CloseWindow() override { Log("close window"); }
    void ReportFatal(const std::string& message) override { Log("fatal " + message); }
    void LogStep(const std::string& line) override { Log("log " + line); }

    void BeginBuildDisplay(std::string_view name) override { Log("begin build " + std::string(name)); }
    void DrawProgressBar(BuildStage) override {}
    void DrawDetailText(std::string_view) override {}
    void DrawDone() override {}
    void DrawCounter(std::int32_t) override {}
    void EndBuildDisplay() override { Log("end build"); }
    void SkipDetailRow() override { Log("skip row"); }

    void Show(const std::string& text, const std::string& caption, MessageIcon, bool) override {
        Log("box " + caption + ": " + text);
    }

    bool SetLocale(std::string_view language) override { return Log("locale " + std::string(language)); }
    // Orders backwards, so that the cases show which comparison sorted the language list.
    int Compare(std::string_view a, std::string_view b) override { return CompareAsciiFold(b, a); }
    bool AppendSortKey(std::string_view text, std::string& key) override {
        for (char c : text) key += static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
        return true;
    }
};

TEST(RunStartCommand, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("install_sequence.txt")) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        test::ScopedWorkingDirectory cwd(dir.Path());
        InstallSettings settings;
        settings.sourceDirectory = dir.File("medium");
        const std::string target = dir.File("target");
        std::filesystem::create_directories(dir.Path() / "target" / "language");
        test::WriteFileBytes(InstallScriptPath(settings.sourceDirectory), c.Text("install.inf"));
        for (const test::GoldenSection& file : c.sections)
            if (file.name == "file") test::WriteFileBytes(dir.File("target/" + file.arguments), file.text);
        RecordingInstall services;
        services.acceptsTarget = !c.Has("refuse");
        const StartOutcome outcome = RunStartCommand(settings, target, services);
        EXPECT_EQ(outcome == StartOutcome::Installed ? "installed"
                  : outcome == StartOutcome::Failed  ? "failed"
                                                     : "refused",
                  c.Section("outcome").arguments);
        std::string calls = services.calls;
        for (const auto& [path, name] :
             {std::pair{target, "<target>"}, std::pair{settings.sourceDirectory, "<medium>"}})
            for (size_t at; (at = calls.find(path)) != std::string::npos;) calls.replace(at, path.size(), name);
        EXPECT_EQ(calls, c.Text("calls"));
        EXPECT_EQ(settings.targetDirectory, services.acceptsTarget ? target : "");
        for (const test::GoldenSection& file : c.sections) {
            if (file.name == "after") {
                EXPECT_EQ(test::ReadFileBytes(dir.File("target/" + file.arguments)), test::Crlf(file.text));
            }
        }
    }
}

}  // namespace
}  // namespace setup
