// install.inf: the golden cases of tests/cases/install_inf.txt through both passes, on file
// services that record their calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core_fakes.h"
#include "golden_cases.h"
#include "script/install_script.h"
#include "script/script_actions.h"
#include "test_files.h"

namespace setup {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string SettingsText(const InstallSettings& s) {
    return "title=" + s.titleText + " dir=" + s.defaultTarget + " wbarg=" + s.shortcutArguments +
           " detail=" + std::to_string(s.detailFlag) + " uninstall=" + s.uninstallName +
           "\nshortcut=" + std::to_string(s.shortcutFlag) + " name=" + s.shortcutName + " group=" + s.groupName +
           " program=" + s.shortcutProgram + " display=" + s.displayFile +
           " wordlists=" + std::to_string(s.buildWordListsFlag) + "\n";
}

TEST(InstallInf, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("install_inf.txt")) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        InstallSettings settings;
        settings.sourceDirectory = dir.File(c.Has("medium") ? c.Section("medium").arguments : "medium");
        settings.targetDirectory = c.Has("target") ? c.Section("target").arguments : "C:\\Words";
        const std::string medium = settings.sourceDirectory + "\\";
        std::string calls;
        test::RecordingScriptServices services(calls);
        services.enterable.insert(medium);
        for (const test::GoldenSection& section : c.sections) {
            const std::string arguments = Replace(section.arguments, "<medium>\\", medium);
            if (section.name == "cwd") {
                services.currentDirectory = arguments == "-" ? std::nullopt : std::optional(arguments);
                if (arguments != "-") services.enterable.insert(arguments);
            } else if (section.name == "enterable") {
                if (arguments[0] == '-')
                    services.enterable.erase(arguments.substr(1));
                else
                    services.enterable.insert(arguments);
            } else if (section.name == "listing") {
                const size_t blank = arguments.rfind(' ');
                auto& entries = services.listings[{arguments.substr(0, blank), arguments.substr(blank + 1)}];
                for (const std::string& line : test::Lines(section.text)) {
                    std::istringstream words(line);
                    FoundEntry entry;
                    words >> entry.name;
                    for (std::string flag; words >> flag;) (flag == "dir" ? entry.isDirectory : entry.isHidden) = true;
                    entries.push_back(entry);
                }
            }
        }
        std::filesystem::create_directories(std::filesystem::path(settings.sourceDirectory).parent_path());
        if (c.Has("install.inf"))
            test::WriteFileBytes(InstallScriptPath(settings.sourceDirectory), c.Text("install.inf"));
        // Both passes report a script that cannot be opened.
        const std::string fatal = test::FatalOf([&] { ReadFirstPass(settings); }) + " / " +
                                  test::FatalOf([&] { RunScriptActions(settings, services); });
        EXPECT_EQ(fatal, c.Has("fatal") ? c.Section("fatal").arguments : " / ");
        if (c.Has("calls")) {
            EXPECT_EQ(Replace(calls, medium, "<medium>\\"), c.Text("calls"));
        }
        if (c.Has("settings")) {
            EXPECT_EQ(SettingsText(settings), c.Text("settings"));
        }
    }
}

}  // namespace
}  // namespace setup
