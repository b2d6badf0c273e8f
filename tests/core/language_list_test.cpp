// The language list driver: the golden cases of tests/cases/language_cf.txt, and which list
// names it takes.
#include <gtest/gtest.h>

#include <filesystem>

#include "core_fakes.h"
#include "dictini/dict_ini.h"
#include "golden_cases.h"
#include "test_files.h"
#include "wordlist/language_list.h"

namespace setup {
namespace {

// Records the calls of the driver and does the dict.ini steps for real.
class RecordingSteps final : public LanguageJobSteps {
public:
    test::TempDir dir;
    DictIniPaths paths{dir.File("dict.ini"), dir.File("tmp.ini")};
    std::string calls;

    void SetCollationLocale() override { calls += "locale\n"; }
    void CreateDictIni(const LanguageEntry& entry) override {
        calls += "create " + entry.fromListName + "\n";
        setup::CreateDictIni(
            entry, [this] { calls += "skip\n"; }, paths);
    }
    void BuildWordList(const LanguageEntry& entry) override {
        calls += "build " + entry.displayName + ": " + entry.fromListName + " -> " + entry.toListName + "\n";
    }
    void RemoveLanguageLines(const LanguageEntry& entry) override {
        calls += "remove\n", setup::RemoveLanguageLines(entry, paths);
    }
    void AppendLanguageLine(const LanguageEntry& entry) override {
        calls += "append\n", setup::AppendLanguageLine(entry.firstFieldText, entry, paths);
    }
};

TEST(BuildWordLists, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("language_cf.txt")) {
        SCOPED_TRACE(c.name);
        RecordingSteps steps;
        const std::string languageCf = steps.dir.File("language.cf");
        if (c.Has("language.cf")) test::WriteFileBytes(languageCf, c.Text("language.cf"));
        LanguageEntry entry;
        const std::string fatal = test::FatalOf([&] { BuildWordLists(entry, steps, languageCf); });
        EXPECT_EQ(steps.calls, c.Text("calls"));
        EXPECT_EQ(fatal, c.Has("fatal") ? c.Section("fatal").arguments : "");
        EXPECT_EQ(std::filesystem::exists(languageCf), c.Has("kept"));
        if (c.Has("after")) {
            EXPECT_EQ(test::ReadFileBytes(steps.paths.dictIni), test::Crlf(c.Text("after")));
        }
    }
}

TEST(BuildWordLists, TakesPlainFileNamesOtherThanTheScratchListsOnly) {
    for (const char* usable :
         {"from.wb", "a b.wb", "from.wb ", ".hidden", " con", "temp.wb2", "xtemp.wb", "con2.wb", "com0", "comA.wb"})
        EXPECT_TRUE(IsUsableListName(usable)) << usable;
    for (const char* refused : {"..\\..\\esc.wb", "a/b.wb", "c:x.wb", "..", ".", "", "  ", "temp.wb  ", "TempOut.wb",
                                "CON", "nul.txt", "com1", "LPT9.wb", "conin$", "aux", "prn.x", "conout$", "com9"})
        EXPECT_FALSE(IsUsableListName(refused)) << refused;
}

}  // namespace
}  // namespace setup
