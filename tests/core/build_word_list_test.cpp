#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/fatal.h"
#include "progress_recorder.h"
#include "test_support.h"
#include "word_list_files.h"
#include "wordlist/build_word_list.h"
#include "wordlist/relative_path.h"

namespace setup {
namespace {

namespace fs = std::filesystem;
using test::Entry;
using test::ListBytes;
using test::RecordBytes;
using Entries = std::vector<Entry>;

// A target directory with its "language" folder as the working directory, and the state of
// a run: the detail flag, the display file, the current entry, collation, display and message boxes.
struct BuildFixture {
    test::TempDir dir;
    test::ScopedWorkingDirectory cwd{dir.Path()};
    bool detailFlag;
    std::string displayFile;
    LanguageEntry entry;
    CollationState collation;
    test::FakeCollation collationService;
    test::RecordingSurface surface;
    ProgressDisplay display{surface, detailFlag};
    test::RecordingMessages messages;

    explicit BuildFixture(bool detail = true) : detailFlag(detail) {
        entry.displayName = "Deutsch";
        entry.fromListName = "from.wb";
        entry.toListName = "to.wb";
        fs::create_directory("language");
    }

    void WriteFrom(const Entries& entries) {
        test::WriteFileBytes(WordListPath(entry.fromListName), ListBytes(entries));
    }
    Entries To() const { return test::ReadEntries(WordListPath(entry.toListName)); }
    void Build() {
        BuildWordList({.entry = entry,
                       .displayFile = displayFile,
                       .detailFlag = detailFlag,
                       .collation = collation,
                       .collationService = collationService,
                       .progress = display,
                       .messages = messages});
    }
    // The fatal message of a build that must fail.
    std::string FailingBuild() {
        try {
            Build();
        } catch (const FatalError& error) {
            return error.what();
        }
        return "no fatal error";
    }
};

std::string Path(const std::string& name) { return WordListPath(name); }

TEST(BuildWordList, DrawsEveryStepOfTheDisplayInOrderAndEndsWithTheClosingMessage) {
    BuildFixture f;
    f.WriteFrom({{"Haus", "house, home"}, {"Heim", "home"}});
    f.Build();
    const std::vector<std::string> expected = {
        "open",
        "brush 680000",
        "font title",
        "colour 000000",
        "text \"Deutsch\" (30,100)-(480,140)",
        "colour E6E6E6",
        "text \"Deutsch\" (28,98)-(480,140)",
        "wait cursor",
        "bar \"0%\" (30,155)-(380,175) inside (31,156)-(379,174) fill none",
        "font system",
        "colour FFFFFF",
        "text \"Reading FROM wordlist\" (30,170)-(480,200)",
        "bar \"10%\" (30,155)-(380,175) inside (31,156)-(379,174) fill (31,156)-(64,174)",
        "counter box (210,170)-(290,186)",
        "text \"0\" (210,170)-(290,186)",
        "font system",
        "colour FFFFFF",
        "text \"Done.\" (300,170)-(480,200)",
        "bar \"25%\" (30,155)-(380,175) inside (31,156)-(379,174) fill (31,156)-(117,174)",
        "font system",
        "colour FFFFFF",
        "text \"Writing TEMP wordlist\" (30,195)-(480,225)",
        "counter box (210,195)-(290,211)",
        "text \"0\" (210,195)-(290,211)",
        "font system",
        "colour FFFFFF",
        "text \"Done.\" (300,195)-(480,225)",
        "bar \"50%\" (30,155)-(380,175) inside (31,156)-(379,174) fill (31,156)-(205,174)",
        "font system",
        "colour FFFFFF",
        "text \"Reading TO wordlist\" (30,220)-(480,250)",
        "counter box (210,220)-(290,236)",
        "text \"0\" (210,220)-(290,236)",
        "font system",
        "colour FFFFFF",
        "text \"Done.\" (300,220)-(480,250)",
        "font system",
        "colour FFFFFF",
        "text \"Sorting TO wordlist\" (30,245)-(480,275)",
        "counter box (210,245)-(290,261)",
        "text \"0\" (210,245)-(290,261)",
        "font system",
        "colour FFFFFF",
        "text \"Done.\" (300,245)-(480,275)",
        "bar \"75%\" (30,155)-(380,175) inside (31,156)-(379,174) fill (31,156)-(292,174)",
        // The first run ("home", records 0 and 1) ends at index 1: the merge shows no 0.
        "font system",
        "colour FFFFFF",
        "text \"Writing TO wordlist\" (30,270)-(480,300)",
        "font system",
        "colour FFFFFF",
        "text \"Done.\" (300,270)-(480,300)",
        "bar \"100%\" (30,155)-(380,175) inside (31,156)-(379,174) fill (31,156)-(379,174)",
        "restore cursor",
        "close",
    };
    EXPECT_THAT(f.surface.calls, testing::ElementsAreArray(expected));
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "Install Finished ");
    EXPECT_EQ(f.messages.shown[0].caption, "Install");
    EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::None);
    EXPECT_TRUE(f.messages.shown[0].owned);
    EXPECT_EQ(f.collation.comparisonCounter, 1);  // two distinct head words of three records: house, home
    EXPECT_EQ(f.To(), (Entries{{"home", "Haus, Heim"}, {"house", "Haus"}}));
    EXPECT_FALSE(fs::exists(Path("temp.wb")));
}

TEST(BuildWordList, InversionSplitsAtCommasWithOrWithoutBlanksAndSkipsEmptyPieces) {
    BuildFixture f;
    f.WriteFrom({{"eins", "one,two"},
                 {"zwei", "one, two"},
                 {"drei", ",,three,,, four ,"},
                 {"leer", ""},
                 {"komma", ",,,"},
                 {"blank", "  "}});
    f.Build();
    EXPECT_EQ(
        f.To(),
        (Entries{{"", "blank"}, {"four ", "drei"}, {"one", "eins, zwei"}, {"three", "drei"}, {"two", "eins, zwei"}}));
}

TEST(BuildWordList, TextsTooLongForTheirNewFieldsAreLeftOutSilently) {
    BuildFixture f;
    const std::string fifty(50, 'h');
    f.WriteFrom({{"kurz", std::string(30, 'a')},
                 {"lang", std::string(31, 'b')},
                 // a head word of 31 characters, without a zero inside its field
                 {std::string(31, 'H'), "c"}});
    f.Build();
    EXPECT_EQ(f.To(), (Entries{{std::string(30, 'a'), "kurz"}, {"c", std::string(31, 'H')}}));
    EXPECT_TRUE(f.messages.shown.size() == 1 && f.messages.shown[0].text == "Install Finished ");
}

TEST(BuildWordList, RecordsAreRewrittenWithZerosAfterTheTextsWhateverTheSourceHeld) {
    BuildFixture f;
    std::string record = RecordBytes("Haus", "house");
    record[10] = 'X';                      // garbage after the head word's zero
    record.replace(40, 10, "YYYYYYYYYY");  // garbage after the translations' zero
    record[82] = '\x12';                   // a trailing field
    record[83] = '\x34';
    std::string unterminated(84, '\0');  // translations filling all 51 bytes
    unterminated.replace(0, 3, "Ort");
    unterminated.replace(31, 51, std::string(25, 'p') + "," + std::string(25, 'q'));
    test::WriteFileBytes(Path("from.wb"), record + unterminated);
    f.Build();
    EXPECT_EQ(test::ReadFileBytes(Path("to.wb")), RecordBytes("house", "Haus") +
                                                      RecordBytes(std::string(25, 'p'), "Ort") +
                                                      RecordBytes(std::string(25, 'q'), "Ort"));
}

TEST(BuildWordList, HeadWordsMergeOnlyWhenByteIdenticalAndCaseVariantsStaySeparate) {
    BuildFixture f;
    f.WriteFrom({{"X", "T"}, {"Y", "T"}, {"Z", "t"}, {"W", "u"}});
    f.Build();
    const Entries to = f.To();
    ASSERT_EQ(to.size(), 3u);
    // "T" and "t" order equal under the ASCII fold: adjacent, in either order, never merged.
    const Entries upperFirst{{"T", "X, Y"}, {"t", "Z"}, {"u", "W"}};
    const Entries upperFirstSwapped{{"T", "Y, X"}, {"t", "Z"}, {"u", "W"}};
    const Entries lowerFirst{{"t", "Z"}, {"T", "X, Y"}, {"u", "W"}};
    const Entries lowerFirstSwapped{{"t", "Z"}, {"T", "Y, X"}, {"u", "W"}};
    EXPECT_TRUE(to == upperFirst || to == upperFirstSwapped || to == lowerFirst || to == lowerFirstSwapped);
}

TEST(BuildWordList, FromListEqualToToListIsReplacedByItsInversionAndLongNamesWork) {
    BuildFixture f;
    f.entry.fromListName = f.entry.toListName = "a-word-list-name-longer-than-22.wb";
    f.WriteFrom({{"Haus", "house"}});
    f.Build();
    EXPECT_EQ(f.To(), (Entries{{"house", "Haus"}}));
}

TEST(BuildWordList, EmptyFromListGivesEmptyListsAllSixBarStepsAndTheClosingMessage) {
    for (size_t size : {0, 83}) {
        BuildFixture f;
        test::WriteFileBytes(Path("from.wb"), std::string(size, 'x'));
        f.Build();
        EXPECT_TRUE(fs::exists(Path("to.wb")));
        EXPECT_EQ(fs::file_size(Path("to.wb")), 0u);
        EXPECT_FALSE(fs::exists(Path("temp.wb")));
        EXPECT_TRUE(f.surface.Counters().empty());
        int bars = 0;
        for (const std::string& call : f.surface.calls) bars += call.rfind("bar ", 0) == 0;
        EXPECT_EQ(bars, 6);
        EXPECT_EQ(f.messages.shown.size(), 1u);
    }
}

TEST(BuildWordList, CountersShowEveryHundredthRecordOfEachPhaseAndEveryThousandthComparison) {
    for (bool detail : {true, false}) {
        BuildFixture f(detail);
        Entries entries;
        for (int i = 0; i < 250; ++i) entries.emplace_back("w" + std::to_string(i), "t" + std::to_string(i));
        f.WriteFrom(entries);
        f.Build();
        std::vector<std::string> expected = {"0", "100", "200", "0", "100", "200", "0", "100", "200"};
        ASSERT_EQ(f.collation.comparisonCounter > 1000, detail);
        for (std::int32_t v = 0; v < f.collation.comparisonCounter; v += 1000) expected.push_back(std::to_string(v));
        for (const char* v : {"0", "100", "200"}) expected.push_back(v);
        EXPECT_EQ(f.surface.Counters(), expected) << "detail " << detail;
        EXPECT_EQ(f.To().size(), 250u);
    }
}

TEST(BuildWordList, ComparisonCounterContinuesFromBuildToBuild) {
    BuildFixture f;
    Entries entries;
    for (int i = 0; i < 120; ++i) entries.emplace_back("w" + std::to_string(i), "t" + std::to_string(i % 50));
    f.WriteFrom(entries);
    f.Build();
    const std::int32_t afterFirst = f.collation.comparisonCounter;
    ASSERT_GT(afterFirst, 0);
    f.surface.calls.clear();
    f.Build();
    EXPECT_GT(f.collation.comparisonCounter, afterFirst);
    std::vector<std::string> shownInSort;
    for (std::int32_t v = (afterFirst + 999) / 1000 * 1000; v < f.collation.comparisonCounter; v += 1000)
        shownInSort.push_back(std::to_string(v));
    const std::vector<std::string> counters = f.surface.Counters();
    // Record counters of three phases (0, 100) come before the sort's, the merge's (0) after.
    ASSERT_EQ(counters.size(), 7 + shownInSort.size());
    EXPECT_EQ(std::vector<std::string>(counters.begin() + 6, counters.end() - 1), shownInSort);
    // The second caption and bar sit one step lower.
    EXPECT_EQ(f.surface.calls[4], "text \"Deutsch\" (30,150)-(480,190)");
    EXPECT_EQ(f.display.BarRow(), 255);
}

TEST(BuildWordList, SortTableDecidesTheOrderAndStaysAfterItsFileIsGone) {
    BuildFixture f;
    fs::create_directory("tables");
    std::string table(256, '\0');
    for (int b = 1; b < 256; ++b) table[b] = static_cast<char>(b);
    table['b'] = '\x02';  // b first of all
    table['-'] = '\x01';  // hyphens ignored
    test::WriteFileBytes(SortTablePath(), table);
    f.WriteFrom({{"A", "a"}, {"B", "b"}, {"C", "c-"}, {"D", "c"}});
    f.Build();
    const Entries first = f.To();
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0], (Entry{"b", "B"}));
    EXPECT_EQ(first[1], (Entry{"a", "A"}));
    EXPECT_TRUE(first[2].first == "c" || first[2].first == "c-");  // equal under the table, not merged

    fs::remove(SortTablePath());
    f.Build();
    EXPECT_EQ(f.To()[0], (Entry{"b", "B"}));
}

// The merge of sorted records, in a given order.
Entries Merge(const Entries& sorted, std::vector<std::string>* counters = nullptr) {
    test::TempDir dir;
    test::RecordingSurface surface;
    ProgressDisplay display(surface, true);
    // Stored last first, so that only the order decides what is merged with what.
    LoadedWordList records(sorted.size(), WordRecord{});
    std::vector<std::uint32_t> order;
    for (size_t i = 0; i < sorted.size(); ++i) {
        const size_t slot = sorted.size() - 1 - i;
        std::memcpy(&records[slot], RecordBytes(sorted[i].first, sorted[i].second).data(), kWordRecordSize);
        order.push_back(static_cast<std::uint32_t>(slot));
    }
    RecordWriter writer(OpenFile(dir.File("to.wb"), "wb"), "Write error output file");
    MergeAndWrite(records, order, writer, display);
    writer.Close();
    if (counters) *counters = surface.Counters();
    return test::ReadEntries(dir.File("to.wb"));
}

TEST(MergeAndWrite, JoinsRunsUpTo50CharactersSkippingWhatNoLongerFits) {
    const std::string t20(20, 'a'), t28(28, 'b'), t29(29, 'c'), t10(10, 'd');
    EXPECT_EQ(Merge({{"T", t20}, {"T", t28}}), (Entries{{"T", t20 + ", " + t28}}));
    EXPECT_EQ(Merge({{"T", t20}, {"T", t29}, {"T", t10}}), (Entries{{"T", t20 + ", " + t10}}));
    EXPECT_EQ(Merge({{"T", t20}, {"T", t29}, {"T", t10}, {"U", "x"}, {"U", "y"}}),
              (Entries{{"T", t20 + ", " + t10}, {"U", "x, y"}}));
    // Byte-identical heads only, and only adjacent ones.
    EXPECT_EQ(Merge({{"T", "1"}, {"t", "2"}, {"T", "3"}}), (Entries{{"T", "1"}, {"t", "2"}, {"T", "3"}}));
    EXPECT_EQ(Merge({{"T ", "1"}, {"T", "2"}}), (Entries{{"T ", "1"}, {"T", "2"}}));
}

TEST(MergeAndWrite, ShowsTheIndexOfEachRunsLastRecordWhenItIsAMultipleOf100) {
    Entries sorted;
    for (int i = 0; i < 250; ++i) sorted.emplace_back(i == 100 || i == 101 ? "h99" : "h" + std::to_string(i), "x");
    std::vector<std::string> counters;
    EXPECT_EQ(Merge(sorted, &counters).size(), 248u);
    EXPECT_EQ(counters, (std::vector<std::string>{"0", "200"}));
}

TEST(BuildWordList, ClosingMessageShowsTheDisplayFileUpToItsFirstZeroByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"missing.txt", "Install Finished "},
        {"empty.txt", ""},
        {"readme.txt", "Welcome\r\nto the dictionary"},
    };
    for (const auto& [name, text] : cases) {
        BuildFixture f;
        test::WriteFileBytes("empty.txt", "");
        test::WriteFileBytes("readme.txt", std::string("Welcome\r\nto the dictionary\0hidden", 33));
        f.displayFile = name;
        f.WriteFrom({});
        f.Build();
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].text, text);
        EXPECT_EQ(f.messages.shown[0].caption, "Install");
        EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::None);
        EXPECT_TRUE(f.messages.shown[0].owned);
    }
}

TEST(BuildWordList, EveryFailureIsFatalWithItsTextAndLeavesThePartialFiles) {
    {
        BuildFixture f;
        EXPECT_EQ(f.FailingBuild(), "Input file \"" + Path("from.wb") + "\" missing");
        EXPECT_FALSE(fs::exists(Path("temp.wb")));
        EXPECT_TRUE(f.messages.shown.empty());
        EXPECT_NE(f.surface.calls.back().find("Reading FROM wordlist"), std::string::npos);
    }
    {
        BuildFixture f;  // a list that opens but cannot be sized or read: a directory here
        fs::create_directory(Path("from.wb"));
        EXPECT_EQ(f.FailingBuild(), "Can't read wordlist \"" + Path("from.wb") + "\"");
        EXPECT_FALSE(fs::exists(Path("temp.wb")));
    }
    {
        BuildFixture f;  // the scratch list cannot be created
        f.WriteFrom({{"Haus", "house"}});
        fs::create_directory(Path("temp.wb"));
        EXPECT_EQ(f.FailingBuild(), "Can't create tempfile");
        EXPECT_FALSE(fs::exists(Path("to.wb")));
    }
    {
        BuildFixture f;  // the TO list cannot be created: the scratch list stays behind
        f.WriteFrom({{"Haus", "house"}});
        fs::create_directory(Path("to.wb"));
        EXPECT_EQ(f.FailingBuild(), "Can't create output file \"" + Path("to.wb") + "\" ");
        EXPECT_EQ(test::ReadFileBytes(Path("temp.wb")), RecordBytes("house", "Haus"));
    }
    if (fs::exists("/dev/full")) {
        BuildFixture f;  // writes that do not complete
        f.WriteFrom({{"Haus", "house"}});
        fs::create_symlink("/dev/full", Path("temp.wb"));
        EXPECT_EQ(f.FailingBuild(), "Write error tempfile");
        fs::remove(Path("temp.wb"));
        fs::create_symlink("/dev/full", Path("to.wb"));
        EXPECT_EQ(f.FailingBuild(), "Write error output file");
        EXPECT_EQ(test::ReadFileBytes(Path("temp.wb")), RecordBytes("house", "Haus"));
        EXPECT_TRUE(f.messages.shown.empty());
    }
}

}  // namespace
}  // namespace setup
