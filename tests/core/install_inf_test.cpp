// install.inf: the golden cases of tests/cases/install_inf.txt through both passes, on file
// services that record their calls and model the working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "base/fatal.h"
#include "golden_cases.h"
#include "script/install_script.h"
#include "script/script_actions.h"
#include "test_files.h"

namespace setup {
namespace {

// Only the directories in `enterable` can be entered; `listings` holds the search results
// per working directory and pattern.
class RecordingServices final : public ScriptServices {
public:
    std::string calls;
    std::optional<std::string> currentDirectory = "C:\\Start";
    std::set<std::string> enterable{"C:\\Start"};
    std::map<std::pair<std::string, std::string>, std::vector<FoundEntry>> listings;

    bool MakeDirectory(const std::string& path) override { return Call("mkdir " + path); }
    bool CopyFileReplacing(const std::string& source, const std::string& destination) override {
        return Call("copy " + source + " -> " + destination);
    }
    void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) override {
        Call("find " + pattern + " in " + currentDirectory.value_or(""));
        for (const FoundEntry& entry : listings[{currentDirectory.value_or(""), pattern}]) onEntry(entry);
        Call("end find");
    }
    std::optional<std::string> CurrentDirectory() override {
        Call("getcwd");
        return currentDirectory;
    }
    bool ChangeDirectory(const std::string& path) override {
        Call("cd " + path);
        if (!enterable.count(path)) return false;
        currentDirectory = path;
        return true;
    }
    bool WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                         const std::string& file) override {
        return Call("profile [" + section + "] <" + key + "> = <" + value + "> in " + file);
    }
    void ShowDestination(const std::string& path) override { Call("show " + path); }

private:
    bool Call(const std::string& call) {
        calls += call + "\n";
        return true;
    }
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string SettingsText(const InstallSettings& s) {
    return "title=" + s.titleText + " dir=" + s.defaultTarget + " wbarg=" + s.shortcutArguments +
           " detail=" + std::to_string(s.detailFlag) + "\nshortcut=" + std::to_string(s.shortcutFlag) +
           " name=" + s.shortcutName + " group=" + s.groupName + " program=" + s.shortcutProgram +
           " display=" + s.displayFile + " wordlists=" + std::to_string(s.buildWordListsFlag) + "\n";
}

TEST(InstallInf, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("install_inf.txt")) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        InstallSettings settings;
        settings.sourceDirectory = dir.File(c.Has("medium") ? c.Section("medium").arguments : "medium");
        settings.targetDirectory = c.Has("target") ? c.Section("target").arguments : "C:\\Words";
        const std::string medium = settings.sourceDirectory + "\\";
        RecordingServices services;
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
        test::WriteFileBytes(InstallScriptPath(settings.sourceDirectory), c.Text("install.inf"));
        ReadFirstPass(settings);
        RunScriptActions(settings, services);
        if (c.Has("calls")) {
            EXPECT_EQ(Replace(services.calls, medium, "<medium>\\"), c.Text("calls"));
        }
        if (c.Has("settings")) {
            EXPECT_EQ(SettingsText(settings), c.Text("settings"));
        }
    }
}

TEST(InstallInf, AScriptThatCannotBeOpenedIsFatalInBothPasses) {
    InstallSettings settings;
    settings.sourceDirectory = "/nonexistent/medium";
    RecordingServices services;
    for (int pass = 1; pass <= 2; ++pass) {
        try {
            pass == 1 ? ReadFirstPass(settings) : RunScriptActions(settings, services);
            ADD_FAILURE() << "no fatal error in pass " << pass;
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.what(), "Can't open INSTALL.INF");
        }
    }
    EXPECT_EQ(services.calls, "");
    EXPECT_EQ(InstallScriptPath("D:\\"), "D:\\install.inf");
}

}  // namespace
}  // namespace setup
