// Word-list files below the build: counting and loading records with the counters of a load,
// appending reversed records, and the record writer's buffer.
#include <gtest/gtest.h>

#include <filesystem>

#include "core_fakes.h"
#include "test_files.h"
#include "wordlist/word_list_progress.h"
#include "wordlist/word_record.h"

namespace setup {
namespace {

struct CounterLog final : NoProgress {
    std::vector<std::int32_t> shown;
    void DrawCounter(std::int32_t value) override { shown.push_back(value); }
};

std::vector<std::int32_t> Hundredths(int upTo) {
    std::vector<std::int32_t> values;
    for (int i = 0; i <= upTo; i += 100) values.push_back(i);
    return values;
}

TEST(WordRecordFile, CountsWholeRecordsAndLoadsThemShowingEveryHundredthIndexUpToTheFirstMissing) {
    test::TempDir dir;
    for (const auto& [size, count] :
         std::vector<std::pair<size_t, std::int64_t>>{{0, 0}, {83, 0}, {100, 1}, {168, 2}}) {
        test::WriteFileBytes(dir.File("n.wb"), std::string(size, 'a'));
        const UniqueFile file = OpenFile(dir.File("n.wb"), "rb");
        EXPECT_EQ(CountWordRecords(file.get()), count) << size;
        EXPECT_EQ(std::ftell(file.get()), 0);
    }
    std::string bytes;
    for (int i = 0; i < 10300; ++i) bytes += test::RecordBytes("w" + std::to_string(i), "t");
    test::WriteFileBytes(dir.File("long.wb"), bytes + std::string(50, 'z'));
    const UniqueFile file = OpenFile(dir.File("long.wb"), "rb");
    // Loads of all records, and of more than there are, ending in the first read of 10,000
    // records or a later one, on the first record of a step of 100 or inside one. A view is
    // refused for more records than the file holds: those loads read, as does ListAccess::Read.
    const std::pair<std::int64_t, int> loads[] = {{10300, 10200}, {10500, 10300}, {10301, 10300}, {20150, 10300}};
    for (const ListAccess access : {ListAccess::MapWherePossible, ListAccess::Read}) {
        for (const auto& [records, lastShown] : loads) {
            CounterLog progress;
            std::optional<LoadedWordList> list = LoadWordList(file.get(), records, progress, access);
            EXPECT_EQ(list.has_value(), records == 10300) << records;
            EXPECT_EQ(progress.shown, Hundredths(lastShown)) << records;
            if (list) {
                EXPECT_EQ(HeadWordText((*list)[9999]), "w9999");
                EXPECT_EQ(HeadWordText((*list)[10299]), "w10299");
                (*list)[0].headWord[0] = 'X';  // changes the list in memory only
            }
        }
        CounterLog progress;
        EXPECT_FALSE(LoadWordList(file.get(), -1, progress, access).has_value());
        // More records than memory can hold: the run says so, it does not blame the file.
        EXPECT_THROW(LoadWordList(file.get(), std::int64_t{1} << 36, progress, access), std::bad_alloc);
        EXPECT_TRUE(progress.shown.empty());
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("long.wb")), bytes + std::string(50, 'z'));
}

TEST(WordRecordFile, ReversedRecordsAreWrittenThroughTheBufferOrEndTheRunWhenTheDiskIsFull) {
    test::TempDir dir;
    std::string expected;
    {
        UniqueFile file = OpenFile(dir.File("big.wb"), "wb");
        std::setvbuf(file.get(), nullptr, _IONBF, 0);  // the file's size shows what the writer wrote
        RecordWriter writer(std::move(file), "Write error tempfile");
        for (int i = 0; i < 20000; ++i) {
            WriteReversedRecord(writer, "head" + std::to_string(i), "  t" + std::to_string(i));
            expected += test::RecordBytes("t" + std::to_string(i), "head" + std::to_string(i));
            // The buffer goes to the file every 8,192 records.
            if (i == 8190 || i == 8191) {
                EXPECT_EQ(std::filesystem::file_size(dir.File("big.wb")), i == 8191 ? 8192u * 84u : 0u);
            }
        }
        // A head word too long to become translations writes nothing.
        WriteReversedRecord(writer, std::string(51, 'h'), "x");
        WriteReversedRecord(writer, std::string(50, 'h'), "x");
        writer.Close();
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("big.wb")), expected + test::RecordBytes("x", std::string(50, 'h')));

    for (int records : {1, 20000}) {
        EXPECT_EQ(test::FatalOf([records] {
                      RecordWriter writer(OpenFile("/dev/full", "wb"), "Write error output file");
                      for (int i = 0; i < records; ++i) writer.Write(WordRecord{});
                      writer.Close();
                  }),
                  "Write error output file");
    }
}

}  // namespace
}  // namespace setup
