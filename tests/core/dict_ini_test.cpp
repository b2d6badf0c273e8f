// dict.ini: the golden cases of tests/cases/dict_ini.txt.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

#include "base/ascii.h"
#include "core_fakes.h"
#include "dictini/dict_ini.h"
#include "golden_cases.h"
#include "test_files.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

int CompareFolded(const std::string& a, const std::string& b) { return CompareAsciiFold(a, b); }

// Runs one operation; returns its result (remove and append have none).
std::optional<int> RunOperation(const std::string& run, const DictIniPaths& paths) {
    std::istringstream words(run);
    std::string op;
    LanguageEntry entry;
    words >> op >> entry.firstFieldText >> entry.secondField >> entry.thirdField >> entry.displayName;
    if (op == "create") {  // the detail row is skipped once, whether the file is made or not
        int skipped = 0;
        entry.fromListName = entry.firstFieldText;
        CreateDictIni(
            entry, [&skipped] { ++skipped; }, paths);
        return skipped - 1;
    }
    if (op == "remove") {
        entry.displayName = run.substr(7);
        RemoveLanguageLines(entry, paths);
        return std::nullopt;
    }
    if (op == "append") {
        AppendLanguageLine(entry.firstFieldText, entry, paths);
        return std::nullopt;
    }
    if (op == "count") return CountLanguageLines(paths);
    if (entry.firstFieldText == "reversed")
        return SortLanguageList([](auto& a, auto& b) { return CompareFolded(b, a); }, paths);
    return SortLanguageList(CompareFolded, paths);
}

TEST(DictIni, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("dict_ini.txt")) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string setup = c.Has("setup") ? c.Section("setup").arguments : "";
        const DictIniPaths paths{dir.File(setup == "no folder" ? "no/dict.ini" : "dict.ini"), dir.File("tmp.ini")};
        if (c.Has("dict.ini")) test::WriteFileBytes(paths.dictIni, c.Text("dict.ini"));
        if (c.Has("tmp.ini")) test::WriteFileBytes(paths.tmpIni, c.Text("tmp.ini"));
        if (setup == "read-only") fs::permissions(paths.dictIni, fs::perms::owner_write, fs::perm_options::remove);
        if (setup == "tmp.ini on a full disk") fs::create_symlink("/dev/full", paths.tmpIni);
        if (setup == "tmp.ini a folder") fs::create_directory(paths.tmpIni);
        if (setup == "dict.ini a folder") fs::create_directory(paths.dictIni);
        std::string results;
        const std::string fatal = test::FatalOf([&] {
            for (const test::GoldenSection& section : c.sections) {
                if (section.name != "run") continue;
                if (const std::optional<int> result = RunOperation(section.arguments, paths))
                    results += std::to_string(*result) + " ";
            }
        });
        EXPECT_EQ(fatal, c.Has("fatal") ? c.Section("fatal").arguments : "");
        if (c.Has("results")) {
            EXPECT_EQ(results, c.Section("results").arguments + " ");
        }
        if (c.Has("after")) {
            EXPECT_EQ(test::ReadFileBytes(paths.dictIni), test::Crlf(c.Text("after")));
        }
        // Only a tmp.ini that could not be written stays.
        EXPECT_EQ(fs::exists(paths.tmpIni), setup.starts_with("tmp.ini"));
    }
}

}  // namespace
}  // namespace setup
