#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/fatal.h"
#include "base/significant_lines.h"
#include "dict_ini_test_support.h"
#include "dictini/dict_ini.h"
#include "wordlist/language_list.h"

namespace setup {
namespace {

using test::Crlf;
using test::DictIniText;
using namespace std::string_literals;

std::vector<std::string> SignificantLines(const std::string& bytes) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("language.cf"), bytes);
    TextReader reader(dir.File("language.cf"));
    std::vector<std::string> lines;
    std::string line;
    // Each line with the number of the file line it began on.
    while (ReadSignificantLine(reader, line)) lines.push_back(std::to_string(reader.PieceLineNumber()) + ":" + line);
    return lines;
}

TEST(ReadSignificantLine, SkipsEmptyAndCommentLinesAndReadsIn99CharacterPieces) {
    EXPECT_EQ(SignificantLines("# c\n\na\r\n\r\n #x\n   \n#\nb\rc\nz\x00y\n\x00z\nlast"s),
              (std::vector<std::string>{"3:a", "5: #x", "6:   ", "8:b\rc", "9:z", "11:last"}));
    std::string x99(99, 'x');
    EXPECT_EQ(SignificantLines(x99 + "\n" + x99 +
                               "yy\n#\x1a"
                               "after\n"),
              (std::vector<std::string>{"1:" + x99, "2:" + x99, "2:yy"}));
}

// Records the calls of the driver and does the dict.ini steps for real in a temporary directory.
class RecordingSteps : public LanguageJobSteps {
public:
    test::DictIniDir dir;
    std::vector<std::string> calls;

    void SetCollationLocale() override { calls.push_back("locale"); }
    void CreateDictIni(const LanguageEntry& entry) override {
        calls.push_back("create " + entry.fromListName);
        setup::CreateDictIni(
            entry, [this] { calls.push_back("skip"); }, dir.paths);
    }
    void BuildWordList(const LanguageEntry& entry) override {
        calls.push_back("build " + entry.displayName + ": " + entry.fromListName + " -> " + entry.toListName);
    }
    void RemoveLanguageLines(const LanguageEntry& entry) override {
        calls.push_back("remove");
        setup::RemoveLanguageLines(entry, dir.paths);
    }
    void AppendLanguageLine(const LanguageEntry& entry) override {
        calls.push_back("append");
        setup::AppendLanguageLine(entry.firstFieldText, entry, dir.paths);
    }

    // Runs the driver over language.cf with the given bytes.
    void Run(const std::string& languageCf) {
        test::WriteFileBytes(dir.File("language.cf"), languageCf);
        BuildWordLists(current, *this, dir.File("language.cf"));
    }
    bool LanguageCfExists() const { return std::filesystem::exists(dir.File("language.cf")); }

    LanguageEntry current;
};

TEST(BuildWordLists, RunsTheStepsPerEntryAndRecordsEachLanguage) {
    RecordingSteps steps;
    steps.Run(
        "# jobs\n,,de,, deutsch.wb ,1,German,fifth\n\n# from\nengdeu.wb \n\ndeueng.wb\n"
        "en,english.wb,2,english\nfrom2.wb\r\nto2.wb\r\n"
        "en,,english.wb,3,,English\nfrom3.wb\nto3.wb");
    EXPECT_EQ(steps.calls,
              (std::vector<std::string>{"locale", "create engdeu.wb ", "skip", "build German: engdeu.wb  -> deueng.wb",
                                        "remove", "append", "locale", "build english: from2.wb -> to2.wb", "remove",
                                        "append", "locale", "build English: from3.wb -> to3.wb", "remove", "append"}));
    // The first-field text keeps its leading commas, doubled commas collapse, the fifth field is
    // dropped, and the same name in another case leaves one line, the last entry's.
    EXPECT_EQ(steps.dir.DictIni(),
              Crlf(DictIniText("engdeu.wb ", ",,de, deutsch.wb ,1,German\nen,english.wb,3,English\n\n\n")));
    EXPECT_EQ(steps.current.descriptionLine, "en,,english.wb,3,,English");
    EXPECT_FALSE(steps.LanguageCfExists());
}

TEST(BuildWordLists, DoesNotBuildAnEntryCutShortByTheEndOfTheFile) {
    for (const std::string& languageCf : {std::string(), std::string("# only a comment\n\n"),
                                          std::string("a,b,c,Dutch\n"), std::string("a,b,c,Dutch\n# x\nfrom.wb\n")}) {
        RecordingSteps steps;
        steps.Run(languageCf);
        std::vector<std::string> expected;
        if (!languageCf.empty() && languageCf[0] == 'a') expected.push_back("locale");
        EXPECT_EQ(steps.calls, expected) << languageCf;
        EXPECT_FALSE(std::filesystem::exists(steps.dir.paths.dictIni));
        EXPECT_FALSE(steps.LanguageCfExists());
    }
}

TEST(BuildWordLists, ALongDescriptionLineShiftsTheFollowingLines) {
    RecordingSteps steps;
    std::string description = "a,b,c,Dutch," + std::string(90, 'r');  // 102 characters
    steps.Run(description + "\nfrom.wb\nx,y,z,Next\nf.wb\nt.wb\n");
    EXPECT_EQ(steps.calls,
              (std::vector<std::string>{"locale", "create rrr", "skip", "build Dutch: rrr -> from.wb", "remove",
                                        "append", "locale", "build Next: f.wb -> t.wb", "remove", "append"}));
}

TEST(BuildWordLists, StopsWithAFatalErrorOnAMissingFileOrATooShortDescriptionLine) {
    RecordingSteps missing;
    try {
        BuildWordLists(missing.current, missing, missing.dir.File("language.cf"));
        ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Can't open LANGUAGE.CF");
    }

    RecordingSteps steps;
    try {
        steps.Run("de,d,1,German\nf.wb\nt.wb\nnl,,nl.wb,Dutch\nf2.wb\nt2.wb\n");
        ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Too few fields in LANGUAGE.CF: \"nl,,nl.wb,Dutch\"");
    }
    // The entries before it are complete; language.cf stays for a new run.
    EXPECT_EQ(steps.calls.size(), 6u);
    EXPECT_EQ(steps.dir.DictIni(), Crlf(DictIniText("f.wb", "de,d,1,German\n\n\n")));
    EXPECT_TRUE(steps.LanguageCfExists());
}

TEST(BuildWordLists, RefusesAListNameOutsideTheLanguageFolderBeforeItsEntryStarts) {
    for (const char* usable : {"from.wb", "a b.wb", "from.wb ", ".hidden", "temp.wb2", "xtemp.wb", "con2.wb", "com0"})
        EXPECT_TRUE(IsUsableListName(usable)) << usable;
    for (const char* refused : {"..\\..\\esc.wb", "a/b.wb", "c:x.wb", "sub\\x.wb", "..", ".", "", "  ", "TEMP.WB",
                                "temp.wb.", "temp.wb  ", "CON", "nul.txt", "com1", "LPT9.wb", "conin$"})
        EXPECT_FALSE(IsUsableListName(refused)) << refused;

    RecordingSteps steps;
    try {
        steps.Run("de,d,1,German\nf.wb\nt.wb\nnl,n,2,Dutch\nf2.wb\n..\\..\\esc_to.wb\n");
        ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Invalid word list name in LANGUAGE.CF: \"..\\..\\esc_to.wb\"");
    }
    EXPECT_EQ(steps.calls, (std::vector<std::string>{"locale", "create f.wb", "skip", "build German: f.wb -> t.wb",
                                                     "remove", "append", "locale"}));
    EXPECT_TRUE(steps.LanguageCfExists());
}

}  // namespace
}  // namespace setup
