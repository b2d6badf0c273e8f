// wltool check: the golden media of tests/cases/medium_check.txt, and the sample medium; the
// losses it reports against a real build of the same list.
#include <gtest/gtest.h>

#include "build_losses.h"
#include "golden_cases.h"
#include "medium_check.h"
#include "test_files.h"
#include "wordlist/build_word_list.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

struct NoLocale final : CollationService {
    bool SetLocale(std::string_view) override { return false; }
    int Compare(std::string_view a, std::string_view b) override { return a.compare(b); }
    bool AppendSortKey(std::string_view, std::string&) override { return false; }
};

struct NoBoxes final : MessageService {
    void Show(const std::string&, const std::string&, MessageIcon, bool) override {}
};

// Builds the list for real: its TO list holds every translation but those the check says the
// build leaves out, and lacks each head word that finds no room in its reversed entry.
void ExpectTheBuildLeavesOut(const fs::path& medium, const std::string& list) {
    const UniqueFile file = OpenFile((medium / "language" / list).string(), "rb");
    NoProgress progress;
    const LoadedWordList from = *LoadWordList(file.get(), CountWordRecords(file.get()), progress, ListAccess::Read);
    const wltool::BuildLosses losses = wltool::FindBuildLosses(from.Records());
    size_t kept = 0;
    for (const WordRecord& record : from.Records())
        ForEachTranslation(TranslationsText(record), [&](std::string_view) { ++kept; });
    kept -= losses[wltool::LossKind::LongTranslation].size() + losses[wltool::LossKind::NoRoomInMerge].size();

    test::ScopedWorkingDirectory cwd(medium);
    CollationState collation;
    NoLocale locale;
    NoBoxes boxes;
    LanguageEntry entry;
    entry.fromListName = list;
    entry.toListName = "to.wb";
    BuildWordList({entry, "", false, collation, locale, progress, boxes});
    const std::string to = test::ReadFileBytes(WordListPath("to.wb"));
    size_t built = 0;
    for (size_t at = 0; at < to.size(); at += kWordRecordSize) {
        const WordRecord& record = *reinterpret_cast<const WordRecord*>(&to[at]);
        const std::string joined = ", " + std::string(TranslationsText(record)) + ", ";
        for (size_t comma = 0; (comma = joined.find(", ", comma + 1)) != std::string::npos;) ++built;
        for (const wltool::BuildLoss& loss : losses[wltool::LossKind::NoRoomInMerge]) {
            if (loss.translation == HeadWordText(record)) {
                EXPECT_EQ(joined.find(", " + loss.headWord + ", "), std::string::npos) << loss.headWord;
            }
        }
    }
    EXPECT_EQ(built, kept);
}

TEST(CheckMedium, GoldenCasesAndTheCleanSampleMedium) {
    EXPECT_EQ(wltool::CheckMedium(SAMPLE_MEDIUM).lines, std::vector<std::string>());
    for (const test::GoldenCase& c : test::ReadGoldenCases("medium_check.txt")) {
        SCOPED_TRACE(c.name);
        test::TempDir medium;
        for (const test::GoldenSection& file : c.sections) {
            if (file.name == "dir") fs::create_directories(medium.Path() / file.arguments);
            if (file.name != "file") continue;
            fs::create_directories((medium.Path() / file.arguments).parent_path());
            test::WriteFileBytes(medium.File(file.arguments), file.text);
        }
        const wltool::MediumReport result =
            wltool::CheckMedium(c.Has("medium") ? medium.Path() / c.Section("medium").arguments : medium.Path());
        std::string report;
        for (std::string line : result.lines) {
            line.replace(0, medium.Path().string().size(), "<medium>");
            report += line + "\n";
        }
        EXPECT_EQ(report, c.Text("report"));
        EXPECT_EQ(std::to_string(wltool::CheckExitCode(result, false)) + " " +
                      std::to_string(wltool::CheckExitCode(result, true)),
                  c.Section("exit").arguments);
        if (c.Has("build")) ExpectTheBuildLeavesOut(medium.Path(), c.Section("build").arguments);
    }
}

}  // namespace
}  // namespace setup
