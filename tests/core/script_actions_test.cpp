#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "base/fatal.h"
#include "script/install_script.h"
#include "script/script_actions.h"
#include "test_support.h"

namespace setup {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Records every service call as one line of text and keeps a small model of the working
// directory: only the directories in `enterable` can be entered, and `listings` holds the
// search results per (working directory, pattern).
class RecordingServices : public ScriptServices {
public:
    std::vector<std::string> calls;
    std::string currentDirectory = "C:\\Start";
    bool reportsCurrentDirectory = true;
    std::set<std::string> enterable;
    std::map<std::pair<std::string, std::string>, std::vector<FoundEntry>> listings;

    bool MakeDirectory(const std::string& path) override {
        calls.push_back("mkdir " + path);
        return true;
    }
    bool CopyFileReplacing(const std::string& source, const std::string& destination) override {
        calls.push_back("copy " + source + " -> " + destination);
        return true;
    }
    void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) override {
        calls.push_back("find " + pattern + " in " + currentDirectory);
        auto found = listings.find({currentDirectory, pattern});
        if (found != listings.end())
            for (const FoundEntry& entry : found->second) onEntry(entry);
        calls.push_back("end find");
    }
    std::optional<std::string> CurrentDirectory() override {
        calls.push_back("getcwd");
        if (!reportsCurrentDirectory) return std::nullopt;
        return currentDirectory;
    }
    bool ChangeDirectory(const std::string& path) override {
        calls.push_back("cd " + path);
        if (!enterable.count(path)) return false;
        currentDirectory = path;
        return true;
    }
    bool WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                         const std::string& file) override {
        calls.push_back("profile [" + section + "] <" + key + "> = <" + value + "> in " + file);
        return true;
    }
    void ShowDestination(const std::string& path) override { calls.push_back("show " + path); }
};

// A medium directory whose install.inf holds the script, and a target of the test's choice.
class ScriptActionsTest : public ::testing::Test {
protected:
    ScriptActionsTest() {
        settings.sourceDirectory = (dir.Path() / "media").string();
        settings.targetDirectory = "C:\\Words";
        sourcePrefix = settings.sourceDirectory + "\\";
        services.enterable = {"C:\\Start", sourcePrefix};
    }

    void Run(const std::string& script) {
        test::WriteFileBytes(InstallScriptPath(settings.sourceDirectory), script);
        RunScriptActions(settings, services);
    }

    test::TempDir dir;
    InstallSettings settings;
    RecordingServices services;
    std::string sourcePrefix;
};

TEST_F(ScriptActionsTest, ValueKeysRecordTheLaterStepsSettings) {
    Run("iconname My Program\n"
        "icongroup My Group\n"
        "iconexe bin\\app.exe\n"
        "display readme.txt\n"
        "mkwlist\n");
    EXPECT_TRUE(settings.shortcutFlag);
    EXPECT_EQ(settings.shortcutName, "My Program");
    EXPECT_EQ(settings.groupName, "My Group");
    EXPECT_EQ(settings.shortcutProgram, "bin\\app.exe");
    EXPECT_EQ(settings.displayFile, "readme.txt");
    EXPECT_TRUE(settings.buildWordListsFlag);
    EXPECT_THAT(services.calls, IsEmpty());
}

TEST_F(ScriptActionsTest, KeysMatchByPrefixIgnoringCase) {
    Run("copyall a.txt b.txt\n"
        "mkdirs data\n"
        "MKDIR Upper\n"
        "xcopy *.hlp help\n"
        "iconexe app.exe\n"
        "MkWListing whatever\n");
    EXPECT_THAT(
        services.calls,
        ElementsAre("show C:\\Words\\b.txt", "copy " + sourcePrefix + "a.txt -> C:\\Words\\b.txt",
                    "mkdir C:\\Words\\data", "mkdir C:\\Words\\Upper",
                    // An xcopy line, not a copy of "*.hlp" to "help".
                    "getcwd", "cd " + sourcePrefix, "find *.hlp in " + sourcePrefix, "end find", "cd C:\\Start"));
    EXPECT_EQ(settings.shortcutProgram, "app.exe");
    EXPECT_FALSE(settings.shortcutFlag);
    EXPECT_TRUE(settings.buildWordListsFlag);
}

TEST_F(ScriptActionsTest, FirstPassKeysAndUnknownLinesAreIgnored) {
    Run("title Other\n"
        "dir d:\\x\n"
        "wbarg -x\n"
        "debug 0\n"
        " mkdir indented\n"
        "#mkdir comment\n"
        "icon only\n");
    EXPECT_THAT(services.calls, IsEmpty());
    EXPECT_EQ(settings.titleText, "");
    EXPECT_EQ(settings.defaultTarget, "c:\\");
    EXPECT_EQ(settings.shortcutArguments, "");
    EXPECT_TRUE(settings.detailFlag);
    EXPECT_FALSE(settings.shortcutFlag);
}

TEST_F(ScriptActionsTest, TargetPrefixGetsExactlyOneBackslash) {
    settings.targetDirectory = "c:\\";
    Run("mkdir data\n");
    EXPECT_EQ(settings.targetPrefix, "c:\\");
    EXPECT_THAT(services.calls, ElementsAre("mkdir c:\\data"));

    settings.targetDirectory = "D:\\Dict";
    services.calls.clear();
    Run("mkdir a b\n");
    EXPECT_EQ(settings.targetPrefix, "D:\\Dict\\");
    EXPECT_THAT(services.calls, ElementsAre("mkdir D:\\Dict\\a b"));
}

TEST_F(ScriptActionsTest, NamesAreSplitAtRunsOfBlanksAndTabsBelongToNames) {
    Run("copy    a.txt     sub\\b.txt   ignored more\n"
        "copy a\tb.txt c.txt\n"
        "copy  x.dat\ty.dat  z.dat\n");
    EXPECT_THAT(services.calls,
                ElementsAre("show C:\\Words\\sub\\b.txt", "copy " + sourcePrefix + "a.txt -> C:\\Words\\sub\\b.txt",
                            "show C:\\Words\\c.txt", "copy " + sourcePrefix + "a\tb.txt -> C:\\Words\\c.txt",
                            "show C:\\Words\\z.dat", "copy " + sourcePrefix + "x.dat\ty.dat -> C:\\Words\\z.dat"));
}

TEST_F(ScriptActionsTest, WinIniKeysAreSplitExactly) {
    Run("avidelay 500\n"
        "setini A=B=C\n"
        "setini Key = 5\n"
        "avidelay  two words \n"
        "setini Speed=\n");
    EXPECT_THAT(services.calls, ElementsAre("profile [Dictionary] <EnglishAviDelay> = <500> in win.ini",
                                            "profile [Dictionary] <A> = <B=C> in win.ini",
                                            "profile [Dictionary] <Key > = < 5> in win.ini",
                                            "profile [Dictionary] <EnglishAviDelay> = < two words > in win.ini",
                                            "profile [Dictionary] <Speed> = <> in win.ini"));
}

TEST_F(ScriptActionsTest, RepeatedValueKeysKeepTheLastValue) {
    Run("iconname First\n"
        "iconname Second\n"
        "icongroup G1\n"
        "icongroup G2\n");
    EXPECT_TRUE(settings.shortcutFlag);
    EXPECT_EQ(settings.shortcutName, "Second");
    EXPECT_EQ(settings.groupName, "G2");
}

TEST_F(ScriptActionsTest, LinesLackingWhatTheyNeedAreIgnored) {
    Run("iconname\n"
        "icongroup\n"
        "iconexe\n"
        "display\n"
        "mkdir\n"
        "avidelay\n"
        "setini\n"
        "setini NoEquals\n"
        "setini =5\n"
        "copy a.txt\n"
        "copy   a.txt   \n"
        "xcopy *.hlp\n"
        "sndcopy sounds\n"
        "copy\n");
    EXPECT_THAT(services.calls, IsEmpty());
    EXPECT_FALSE(settings.shortcutFlag);
    EXPECT_EQ(settings.groupName, "");
    EXPECT_EQ(settings.shortcutProgram, "");
    EXPECT_EQ(settings.displayFile, "");
}

TEST_F(ScriptActionsTest, ActionsRunInTheOrderOfTheLines) {
    Run("copy x.dat data\\x.dat\n"
        "mkdir data\n"
        "copy x.dat data\\x.dat\n");
    EXPECT_THAT(services.calls,
                ElementsAre("show C:\\Words\\data\\x.dat", "copy " + sourcePrefix + "x.dat -> C:\\Words\\data\\x.dat",
                            "mkdir C:\\Words\\data", "show C:\\Words\\data\\x.dat",
                            "copy " + sourcePrefix + "x.dat -> C:\\Words\\data\\x.dat"));
}

TEST_F(ScriptActionsTest, PathsLongerThan259CharactersSkipTheirAction) {
    // Target prefix of 250 characters: "C:\" + 246 letters + "\".
    settings.targetDirectory = "C:\\" + std::string(246, 'd');
    const std::string prefix = settings.targetDirectory + "\\";
    const std::string fits(259 - prefix.size(), 'n');  // exactly 259 characters in all
    Run("mkdir " + fits + "\n" + "mkdir " + fits + "x\n" + "copy a.txt " + fits + "\n" + "copy a.txt " + fits + "x\n" +
        "copy " + std::string(260 - sourcePrefix.size(), 's') + " b.txt\n");
    EXPECT_THAT(services.calls, ElementsAre("mkdir " + prefix + fits, "show " + prefix + fits,
                                            "copy " + sourcePrefix + "a.txt -> " + prefix + fits));
}

TEST_F(ScriptActionsTest, XcopyCopiesTheFilesFoundAndRestoresTheWorkingDirectory) {
    services.listings[{sourcePrefix, "*.hlp"}] = {{".", true, false},
                                                  {"..", true, false},
                                                  {"a.hlp", false, false},
                                                  {"dir.hlp", true, false},
                                                  {"hidden.hlp", false, true}};
    Run("xcopy *.hlp help\n");
    EXPECT_THAT(
        services.calls,
        ElementsAre("getcwd", "cd " + sourcePrefix, "find *.hlp in " + sourcePrefix, "show C:\\Words\\help\\a.hlp",
                    "copy a.hlp -> C:\\Words\\help\\a.hlp", "show C:\\Words\\help\\hidden.hlp",
                    "copy hidden.hlp -> C:\\Words\\help\\hidden.hlp", "end find", "cd C:\\Start"));
    EXPECT_EQ(services.currentDirectory, "C:\\Start");
}

TEST_F(ScriptActionsTest, XcopyIntoTheTargetItselfAndFromAPatternDirectory) {
    services.listings[{sourcePrefix, "*.*"}] = {{"install.inf", false, false}, {"a.dat", false, false}};
    services.listings[{sourcePrefix, "help\\*.hlp"}] = {{"b.hlp", false, false}};
    Run("xcopy *.* .\n"
        "xcopy help\\*.hlp h\n");
    EXPECT_THAT(
        services.calls,
        ElementsAre("getcwd", "cd " + sourcePrefix, "find *.* in " + sourcePrefix, "show C:\\Words\\.\\install.inf",
                    "copy install.inf -> C:\\Words\\.\\install.inf", "show C:\\Words\\.\\a.dat",
                    "copy a.dat -> C:\\Words\\.\\a.dat", "end find", "cd C:\\Start",
                    // The files found in help are copied from help.
                    "getcwd", "cd " + sourcePrefix, "find help\\*.hlp in " + sourcePrefix, "show C:\\Words\\h\\b.hlp",
                    "copy help\\b.hlp -> C:\\Words\\h\\b.hlp", "end find", "cd C:\\Start"));
}

TEST_F(ScriptActionsTest, XcopySkipsOnlyTheEntriesWhoseDestinationIsTooLong) {
    settings.targetDirectory = "C:\\" + std::string(240, 't');  // prefix of 244 characters
    const std::string prefix = settings.targetDirectory + "\\";
    // Destination "hlp\" + name: 260 characters, one too many.
    const std::string longName = std::string(260 - prefix.size() - 4 - 2, 'L') + ".x";
    services.listings[{sourcePrefix, "*.x"}] = {{longName, false, false}, {"ok.x", false, false}};
    Run("xcopy *.x hlp\n");
    EXPECT_THAT(services.calls, ElementsAre("getcwd", "cd " + sourcePrefix, "find *.x in " + sourcePrefix,
                                            "show " + prefix + "hlp\\ok.x", "copy ok.x -> " + prefix + "hlp\\ok.x",
                                            "end find", "cd C:\\Start"));
}

TEST_F(ScriptActionsTest, SndcopyCopiesOneLevelOfASubdirectory) {
    services.enterable.insert("sounds");
    services.listings[{"sounds", "*.*"}] = {
        {".", true, false}, {"..", true, false}, {"a.wav", false, false}, {"deeper", true, false}};
    Run("sndcopy sounds snd\n"
        "sndcopy missing snd\n");
    EXPECT_THAT(services.calls, ElementsAre("getcwd", "cd " + sourcePrefix, "cd sounds", "find *.* in sounds",
                                            "show C:\\Words\\snd\\a.wav", "copy a.wav -> C:\\Words\\snd\\a.wav",
                                            "end find", "cd C:\\Start",
                                            // A missing subdirectory copies nothing.
                                            "getcwd", "cd " + sourcePrefix, "cd missing", "cd C:\\Start"));
    EXPECT_EQ(services.currentDirectory, "C:\\Start");
}

TEST_F(ScriptActionsTest, WildcardLinesNeedAWorkingDirectoryThatCanBeRestored) {
    services.listings[{sourcePrefix, "*.hlp"}] = {{"a.hlp", false, false}};
    // 258 characters can be remembered, 259 cannot.
    const std::string longest = "C:\\" + std::string(255, 'w');
    services.enterable.insert(longest);
    services.currentDirectory = longest;
    Run("xcopy *.hlp help\n");
    EXPECT_THAT(services.calls, ElementsAre("getcwd", "cd " + sourcePrefix, "find *.hlp in " + sourcePrefix,
                                            "show C:\\Words\\help\\a.hlp", "copy a.hlp -> C:\\Words\\help\\a.hlp",
                                            "end find", "cd " + longest));

    services.calls.clear();
    services.currentDirectory = longest + "w";
    Run("xcopy *.hlp help\nsndcopy sounds snd\n");
    EXPECT_THAT(services.calls, ElementsAre("getcwd", "getcwd"));

    services.calls.clear();
    services.currentDirectory = "C:\\Start";
    services.reportsCurrentDirectory = false;
    Run("xcopy *.hlp help\n");
    EXPECT_THAT(services.calls, ElementsAre("getcwd"));
}

TEST_F(ScriptActionsTest, ASourceDirectoryThatCannotBeEnteredCopiesNothing) {
    services.enterable.erase(sourcePrefix);
    services.listings[{"C:\\Start", "*.hlp"}] = {{"wrong.hlp", false, false}};
    Run("xcopy *.hlp help\n");
    EXPECT_THAT(services.calls, ElementsAre("getcwd", "cd " + sourcePrefix, "cd C:\\Start"));
}

TEST(ScriptActions, AScriptThatCannotBeOpenedIsFatal) {
    test::TempDir dir;
    InstallSettings settings;
    settings.sourceDirectory = (dir.Path() / "absent").string();
    settings.targetDirectory = "C:\\Words";
    RecordingServices services;
    try {
        RunScriptActions(settings, services);
        FAIL() << "no FatalError";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Can't open INSTALL.INF");
    }
    EXPECT_THAT(services.calls, IsEmpty());
}

}  // namespace
}  // namespace setup
