#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/fatal.h"
#include "progress_recorder.h"
#include "test_support.h"
#include "word_list_files.h"
#include "wordlist/word_record.h"

namespace setup {
namespace {

using test::Entry;
using test::RecordBytes;

std::int64_t CountIn(const std::string& path) {
    const UniqueFile file = OpenFile(path, "rb");
    const std::int64_t count = CountWordRecords(file.get());
    EXPECT_EQ(std::ftell(file.get()), 0);
    return count;
}

TEST(WordRecord, FieldsSitBackToBackIn84Bytes) {
    EXPECT_EQ(offsetof(WordRecord, headWord), 0u);
    EXPECT_EQ(offsetof(WordRecord, translations), 31u);
    EXPECT_EQ(offsetof(WordRecord, trailing), 82u);
}

TEST(WordRecord, FieldsWithoutTerminatingZeroAreCutAtTheirWidth) {
    WordRecord record;
    std::memset(&record, 'x', sizeof record);
    EXPECT_EQ(HeadWordText(record), std::string(31, 'x'));
    EXPECT_EQ(TranslationsText(record), std::string(51, 'x'));
    record.headWord[5] = '\0';
    record.translations[0] = '\0';
    EXPECT_EQ(HeadWordText(record), "xxxxx");
    EXPECT_EQ(TranslationsText(record), "");
}

TEST(WordRecordFile, CountIsTheSizeDividedBy84AndTheFileStaysAtItsStart) {
    test::TempDir dir;
    const std::pair<size_t, std::int64_t> cases[] = {{0, 0}, {83, 0}, {84, 1}, {100, 1}, {167, 1}, {168, 2}};
    for (const auto& [size, count] : cases) {
        test::WriteFileBytes(dir.File("list.wb"), std::string(size, 'a'));
        EXPECT_EQ(CountIn(dir.File("list.wb")), count) << size << " bytes";
    }
}

TEST(WordRecordFile, LoadReadsWholeRecordsAndShowsEveryHundredthIndexBeforeReadingIt) {
    test::TempDir dir;
    test::RecordingSurface surface;
    ProgressDisplay display(surface, false);  // record counters do not depend on the detail lines

    // 100 bytes: one record, the last 16 bytes ignored.
    test::WriteFileBytes(dir.File("one.wb"), RecordBytes("Haus", "house, home") + std::string(16, 'z'));
    UniqueFile file = OpenFile(dir.File("one.wb"), "rb");
    std::optional<LoadedWordList> list = LoadWordList(file.get(), CountWordRecords(file.get()), display);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(list->data()), 84), RecordBytes("Haus", "house, home"));
    EXPECT_EQ(surface.Counters(), std::vector<std::string>{"0"});

    const std::pair<int, std::vector<std::string>> cases[] = {{0, {}}, {101, {"0", "100"}}, {250, {"0", "100", "200"}}};
    for (const auto& [records, counters] : cases) {
        std::string bytes;
        for (int i = 0; i < records; ++i) bytes += RecordBytes("w" + std::to_string(i), "t");
        test::WriteFileBytes(dir.File("list.wb"), bytes);
        surface.calls.clear();
        file = OpenFile(dir.File("list.wb"), "rb");
        list = LoadWordList(file.get(), CountWordRecords(file.get()), display);
        ASSERT_TRUE(list.has_value());
        ASSERT_EQ(list->size(), static_cast<size_t>(records));
        if (records > 0) {
            EXPECT_EQ(HeadWordText(list->back()), "w" + std::to_string(records - 1));
        }
        EXPECT_EQ(surface.Counters(), counters) << records << " records";
    }
}

// The counters a load shows: every hundredth index below shownUpTo (and shownUpTo itself when
// it is a multiple of 100).
std::vector<std::string> HundredthsUpTo(int shownUpTo) {
    std::vector<std::string> values;
    for (int i = 0; i <= shownUpTo; i += 100) values.push_back(std::to_string(i));
    return values;
}

TEST(WordRecordFile, LoadShowsEveryHundredthIndexOfALongListAndUpToTheFirstMissingRecord) {
    test::TempDir dir;
    test::RecordingSurface surface;
    ProgressDisplay display(surface, true);
    std::string bytes;
    for (int i = 0; i < 10300; ++i) bytes += RecordBytes("w" + std::to_string(i), "t");
    test::WriteFileBytes(dir.File("long.wb"), bytes + std::string(50, 'z'));
    const UniqueFile file = OpenFile(dir.File("long.wb"), "rb");

    std::optional<LoadedWordList> list = LoadWordList(file.get(), CountWordRecords(file.get()), display);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 10300u);
    EXPECT_EQ(HeadWordText((*list)[9999]), "w9999");
    EXPECT_EQ(HeadWordText((*list)[10000]), "w10000");
    EXPECT_EQ(HeadWordText(list->back()), "w10299");
    EXPECT_EQ(surface.Counters(), HundredthsUpTo(10200));

    // Records missing: the counters go up to the step of 100 that holds the first missing
    // record, whether it is the first record of that step (10300 of 10300) or a later one
    // (10301 of 10301), and whether the list ends in the first read or a later one.
    surface.calls.clear();
    EXPECT_FALSE(LoadWordList(file.get(), 10500, display).has_value());
    EXPECT_EQ(surface.Counters(), HundredthsUpTo(10300));
    test::WriteFileBytes(dir.File("short.wb"), bytes + RecordBytes("last", "t"));
    const UniqueFile shortFile = OpenFile(dir.File("short.wb"), "rb");
    surface.calls.clear();
    EXPECT_FALSE(LoadWordList(shortFile.get(), 10500, display).has_value());
    EXPECT_EQ(surface.Counters(), HundredthsUpTo(10300));
    surface.calls.clear();
    test::WriteFileBytes(dir.File("few.wb"), bytes.substr(0, 250 * kWordRecordSize));
    const UniqueFile fewFile = OpenFile(dir.File("few.wb"), "rb");
    EXPECT_FALSE(LoadWordList(fewFile.get(), 20150, display).has_value());
    EXPECT_EQ(surface.Counters(), HundredthsUpTo(200));
}

TEST(WordRecordFile, LoadRefusesShortReadsAndUnsizedLists) {
    test::TempDir dir;
    test::RecordingSurface surface;
    ProgressDisplay display(surface, true);
    test::WriteFileBytes(dir.File("two.wb"), RecordBytes("a", "b") + RecordBytes("c", "d"));
    const UniqueFile file = OpenFile(dir.File("two.wb"), "rb");
    EXPECT_FALSE(LoadWordList(file.get(), 3, display).has_value());
    EXPECT_FALSE(LoadWordList(file.get(), 201, display).has_value());
    EXPECT_FALSE(LoadWordList(file.get(), -1, display).has_value());
    EXPECT_TRUE(LoadWordList(file.get(), 2, display).has_value());
    // A directory opens for reading on this platform but cannot be sized or read as a list.
    const UniqueFile directory = OpenFile(dir.Path().string(), "rb");
    if (directory) {
        EXPECT_FALSE(LoadWordList(directory.get(), CountWordRecords(directory.get()), display).has_value());
    }
}

// Writes the given reversed records to a fresh scratch list and returns its bytes.
std::string WriteReversed(const std::vector<Entry>& calls) {
    test::TempDir dir;
    {
        RecordWriter writer(OpenFile(dir.File("temp.wb"), "wb"), "Write error tempfile");
        for (const auto& [headWord, translation] : calls) WriteReversedRecord(writer, headWord, translation);
        writer.Close();
    }
    return test::ReadFileBytes(dir.File("temp.wb"));
}

TEST(WriteReversedRecord, TranslationBecomesTheHeadWordWithoutItsLeadingBlanks) {
    EXPECT_EQ(WriteReversed({{"Haus", "  house"}}), RecordBytes("house", "Haus"));
    EXPECT_EQ(WriteReversed({{"Haus", "house  "}}), RecordBytes("house  ", "Haus"));
    EXPECT_EQ(WriteReversed({{"Haus", " \thome"}}), RecordBytes("\thome", "Haus"));
    EXPECT_EQ(WriteReversed({{"Leer", "   "}}), RecordBytes("", "Leer"));
    EXPECT_EQ(WriteReversed({{"a", "b"}, {"c", "d"}}), RecordBytes("b", "a") + RecordBytes("d", "c"));
}

TEST(WriteReversedRecord, TextsTooLongForTheirNewFieldsWriteNothing) {
    const std::string thirty(30, 't');
    const std::string fifty(50, 'h');
    EXPECT_EQ(WriteReversed({{"x", "  " + thirty}}), RecordBytes(thirty, "x"));
    EXPECT_EQ(WriteReversed({{"x", thirty + "u"}}), "");
    EXPECT_EQ(WriteReversed({{fifty, "t"}}), RecordBytes("t", fifty));
    EXPECT_EQ(WriteReversed({{fifty + "i", "t"}}), "");
    // A record composed here is zero after both texts and in the trailing field.
    const std::string bytes = WriteReversed({{"ab", "c"}});
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("c\0", 2));
    EXPECT_EQ(bytes.substr(1, 30), std::string(30, '\0'));
    EXPECT_EQ(bytes.substr(31, 3), std::string("ab\0", 3));
    EXPECT_EQ(bytes.substr(34), std::string(50, '\0'));
}

TEST(RecordWriter, WritesManyRecordsInOrderAcrossItsBuffer) {
    test::TempDir dir;
    std::string expected;
    {
        RecordWriter writer(OpenFile(dir.File("big.wb"), "wb"), "Write error output file");
        for (int i = 0; i < 20000; ++i) {
            WordRecord record{};
            std::snprintf(record.headWord, sizeof record.headWord, "%d", i);
            writer.Write(record);
            expected += RecordBytes(std::to_string(i), "");
        }
        writer.Close();
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("big.wb")), expected);
}

TEST(RecordWriter, AWriteThatDoesNotCompleteIsFatalWithTheGivenText) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (int records : {1, 20000}) {
        try {
            RecordWriter writer(OpenFile("/dev/full", "wb"), "Write error tempfile");
            for (int i = 0; i < records; ++i) writer.Write(WordRecord{});
            writer.Close();
            ADD_FAILURE() << "no fatal error after " << records << " records";
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.what(), "Write error tempfile");
        }
    }
}

}  // namespace
}  // namespace setup
