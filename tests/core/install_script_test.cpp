#include <gtest/gtest.h>

#include <vector>

#include "base/fatal.h"
#include "script/install_script.h"
#include "test_support.h"

namespace setup {
namespace {

InstallSettings FirstPassOver(const std::string& script) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("install.inf"), script);
    InstallSettings settings;
    EXPECT_TRUE(ForEachScriptLine(dir.File("install.inf"),
                                  [&settings](std::string_view line) { ApplyFirstPassLine(line, settings); }));
    return settings;
}

TEST(InstallScript, DefaultsWhenTheScriptIsEmpty) {
    InstallSettings settings = FirstPassOver("");
    EXPECT_EQ(settings.titleText, "");
    EXPECT_EQ(settings.defaultTarget, "c:\\");
    EXPECT_EQ(settings.shortcutArguments, "");
    EXPECT_TRUE(settings.detailFlag);
}

TEST(InstallScript, DebugValueZeroAloneTurnsDetailsOff) {
    EXPECT_FALSE(FirstPassOver("debug 0\n").detailFlag);
    EXPECT_TRUE(FirstPassOver("debug 1\n").detailFlag);
    EXPECT_TRUE(FirstPassOver("debug off\n").detailFlag);
    EXPECT_TRUE(FirstPassOver("debug x\n").detailFlag);
    EXPECT_TRUE(FirstPassOver("debug 00\n").detailFlag);
    EXPECT_FALSE(FirstPassOver("DEBUG 0\r\n").detailFlag);
}

TEST(InstallScript, KeysMatchByPrefixIgnoringCaseAndTheLastOccurrenceWins) {
    InstallSettings settings = FirstPassOver(
        "directory d:\\words\n"
        "TitleBar First\n"
        "title Second, with = signs\n"
        "WBARG -x 1\n"
        "mkdir data\n");
    EXPECT_EQ(settings.defaultTarget, "d:\\words");
    EXPECT_EQ(settings.titleText, "Second, with = signs");
    EXPECT_EQ(settings.shortcutArguments, "-x 1");
}

TEST(InstallScript, ValueIsEverythingAfterTheFirstBlank) {
    EXPECT_EQ(FirstPassOver("title  Two blanks \n").titleText, " Two blanks ");
    // A key line without a blank has no value and changes nothing.
    EXPECT_EQ(FirstPassOver("title Kept\ntitle\n").titleText, "Kept");
}

TEST(InstallScript, OnlyAHashInColumnOneMakesAComment) {
    EXPECT_EQ(FirstPassOver("title A\n#title B\n").titleText, "A");
    EXPECT_EQ(FirstPassOver("title A\n title B\n").titleText, "A");
}

TEST(InstallScript, LongLinesAreReadAsPiecesOf99) {
    std::string first = "title " + std::string(93, 'a');  // 99 characters
    std::string second = "dir " + std::string(47, 'b');   // 51 characters
    test::TempDir dir;
    test::WriteFileBytes(dir.File("install.inf"), first + second + "\r\n");
    std::vector<std::string> lines;
    ASSERT_TRUE(ForEachScriptLine(dir.File("install.inf"), [&lines](std::string_view l) { lines.emplace_back(l); }));
    EXPECT_EQ(lines, (std::vector<std::string>{first, second}));

    InstallSettings settings = FirstPassOver(first + second + "\n");
    EXPECT_EQ(settings.titleText, std::string(93, 'a'));
    EXPECT_EQ(settings.defaultTarget, std::string(47, 'b'));
}

TEST(InstallScript, BinaryBytesAndMissingFinalLineEnd) {
    InstallSettings settings = FirstPassOver(std::string("title A\0B\n\xff\xfe\x01\ndir x:\\y", 22));
    EXPECT_EQ(settings.titleText, "A");
    EXPECT_EQ(settings.defaultTarget, "x:\\y");
}

TEST(InstallScript, ScriptPathHasOneBackslashBeforeTheName) {
    EXPECT_EQ(InstallScriptPath("D:\\"), "D:\\install.inf");
    EXPECT_EQ(InstallScriptPath("C:\\media\\disk1"), "C:\\media\\disk1\\install.inf");
}

TEST(InstallScript, MissingScriptIsFatal) {
    test::TempDir dir;
    InstallSettings settings;
    settings.sourceDirectory = dir.Path().string();
    try {
        ReadFirstPass(settings);
        FAIL() << "no error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Can't open INSTALL.INF");
    }
}

}  // namespace
}  // namespace setup
