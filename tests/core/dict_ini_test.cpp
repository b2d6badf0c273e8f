// dict.ini: the golden cases of tests/cases/dict_ini.txt, and what the rewrites do when the
// files themselves fail them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "base/ascii.h"
#include "base/fatal.h"
#include "dictini/dict_ini.h"
#include "golden_cases.h"
#include "test_files.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

struct DictIniDir {
    test::TempDir dir;
    DictIniPaths paths{dir.File("dict.ini"), dir.File("tmp.ini")};
};

int CompareFolded(const std::string& a, const std::string& b) { return CompareAsciiFold(a, b); }

// Runs one operation; returns its result (remove and append: 1 when dict.ini was replaced).
int RunOperation(const std::string& run, const DictIniPaths& paths) {
    std::istringstream words(run);
    std::string op;
    LanguageEntry entry;
    words >> op >> entry.firstFieldText >> entry.secondField >> entry.thirdField >> entry.displayName;
    if (op == "create") {
        int skipped = 0;
        entry.fromListName = entry.firstFieldText;
        CreateDictIni(
            entry, [&skipped] { ++skipped; }, paths);
        EXPECT_EQ(skipped, 1);
        return 0;
    }
    if (op == "remove") {
        entry.displayName = run.substr(7);
        return RemoveLanguageLines(entry, paths);
    }
    if (op == "append") return AppendLanguageLine(entry.firstFieldText, entry, paths);
    if (op == "count") return CountLanguageLines(paths);
    if (entry.firstFieldText == "reversed")
        return SortLanguageList([](auto& a, auto& b) { return CompareFolded(b, a); }, paths);
    return SortLanguageList(CompareFolded, paths);
}

TEST(DictIni, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("dict_ini.txt")) {
        SCOPED_TRACE(c.name);
        DictIniDir dir;
        if (c.Has("dict.ini")) test::WriteFileBytes(dir.paths.dictIni, c.Text("dict.ini"));
        if (c.Has("tmp.ini")) test::WriteFileBytes(dir.paths.tmpIni, c.Text("tmp.ini"));
        int result = 0;
        for (const test::GoldenSection& section : c.sections)
            if (section.name == "run") result = RunOperation(section.arguments, dir.paths);
        if (c.Has("result")) {
            EXPECT_EQ(std::to_string(result), c.Section("result").arguments);
        }
        if (c.Has("after")) {
            EXPECT_EQ(test::ReadFileBytes(dir.paths.dictIni), test::Crlf(c.Text("after")));
        }
        EXPECT_FALSE(fs::exists(dir.paths.tmpIni));
    }
}

void ExpectFatal(const std::function<void()>& run, const char* message) {
    try {
        run();
        ADD_FAILURE() << "no fatal error, expected " << message;
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), message);
    }
}

TEST(DictIni, EachRewriteLeavesDictIniAsItWasWhenTmpIniFailsIt) {
    const std::string dictIni = "[language]\r\nb,x,x,Spanish\r\na,x,x,German\r\n\r\n";
    const char* rewrites[] = {"remove German", "append de d.wb 1 German", "sort"};
    // How tmp.ini is made to fail, and the fatal message (none: dict.ini stays, the run goes on).
    const std::pair<std::function<void(const DictIniPaths&)>, const char*> failures[] = {
        {[](const DictIniPaths& p) { fs::permissions(p.dictIni, fs::perms::owner_write, fs::perm_options::remove); },
         nullptr},
        {[](const DictIniPaths& p) { fs::create_symlink("/dev/full", p.tmpIni); }, "Write error TMP.INI"},
        {[](const DictIniPaths& p) { fs::create_directory(p.tmpIni); }, "Can't open TMP.INI"},
    };
    for (const char* rewrite : rewrites) {
        for (const auto& [fail, message] : failures) {
            SCOPED_TRACE(rewrite);
            DictIniDir dir;
            test::WriteFileBytes(dir.paths.dictIni, dictIni);
            fail(dir.paths);
            if (message) {
                ExpectFatal([&] { RunOperation(rewrite, dir.paths); }, message);
            } else {
                // Reported as not replaced: false from remove and append, -1 from sort.
                EXPECT_EQ(RunOperation(rewrite, dir.paths), std::string(rewrite) == "sort" ? -1 : 0);
                EXPECT_NE(test::ReadFileBytes(dir.paths.tmpIni), "");  // a read-only dict.ini keeps tmp.ini beside it
            }
            ASSERT_FALSE(fs::is_symlink(dir.paths.dictIni));
            EXPECT_EQ(test::ReadFileBytes(dir.paths.dictIni), dictIni);
        }
    }
}

TEST(DictIni, MissingOrUnreadableFilesAreFatalOrGiveUp) {
    DictIniDir dir;
    ExpectFatal([&] { RunOperation("remove German", dir.paths); }, "Can't open DICT.INI");
    ExpectFatal([&] { RunOperation("append de d.wb 1 German", dir.paths); }, "Can't open DICT.INI");
    ExpectFatal(
        [&] {
            RunOperation("create x.wb", {dir.dir.File("no/dict.ini"), dir.dir.File("no/tmp.ini")});
        },
        "Can't create DICT.INI");
    EXPECT_FALSE(fs::exists(dir.paths.dictIni) || fs::exists(dir.paths.tmpIni));
    fs::create_directory(dir.paths.dictIni);  // opens, but cannot be read
    EXPECT_EQ(RunOperation("count", dir.paths), -1);
    EXPECT_EQ(RunOperation("sort", dir.paths), -1);
}

TEST(DictIni, AnInconsistentComparisonStillGivesBackEveryLine) {
    DictIniDir dir;
    std::string section;
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i) {
        lines.push_back("l" + std::to_string(i * 7919 % 97));
        section += lines.back() + "\n";
    }
    test::WriteFileBytes(dir.paths.dictIni, "[language]\n" + section);
    unsigned state = 1;
    EXPECT_EQ(SortLanguageList(
                  [&state](const std::string&, const std::string&) {
                      state = state * 1103515245u + 12345u;
                      return (state >> 16) % 3 == 0 ? 2147483647 : -1;  // a failing platform comparison among others
                  },
                  dir.paths),
              0);
    std::vector<std::string> result = test::Lines(test::ReadFileBytes(dir.paths.dictIni));
    result = std::vector<std::string>(result.begin() + 1, result.begin() + 41);
    for (std::string& line : result) line.pop_back();  // the CR
    std::sort(lines.begin(), lines.end());
    std::sort(result.begin(), result.end());
    EXPECT_EQ(result, lines);
}

}  // namespace
}  // namespace setup
