#pragma once
// The word-list record (84 bytes) and the headerless file of records.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_view.h"
#include "base/stdio_file.h"

namespace setup {

class WordListProgress;

constexpr size_t kHeadWordFieldSize = 31;
constexpr size_t kTranslationsFieldSize = 51;
constexpr size_t kMaxHeadWordLength = kHeadWordFieldSize - 1;
constexpr size_t kMaxTranslationsLength = kTranslationsFieldSize - 1;

struct WordRecord {
    char headWord[kHeadWordFieldSize];
    char translations[kTranslationsFieldSize];
    unsigned char trailing[2];  // 0 in every record composed here; never interpreted
};
static_assert(sizeof(WordRecord) == 84, "a word-list record is 84 bytes on disk");
static_assert(alignof(WordRecord) == 1, "records are read straight from the file bytes");

constexpr size_t kWordRecordSize = sizeof(WordRecord);

// The texts of a record. A field without a zero inside its width is cut at the width.
std::string_view HeadWordText(const WordRecord& record);
std::string_view TranslationsText(const WordRecord& record);

// The number of whole records in an open word list (a trailing piece shorter than a record
// is not counted), or -1 when its size cannot be determined. Leaves the file at its start.
std::int64_t CountWordRecords(std::FILE* file);

// A whole word list in memory: the records back to back, in file order, either in a private
// view of the file (changes stay in memory) or in a block of their own.
class LoadedWordList {
public:
    LoadedWordList() = default;
    explicit LoadedWordList(FileView view);
    // A block of that many records, left uninitialised: a list is read into it straight away,
    // and zeroing a large block first costs as much again as touching its pages.
    explicit LoadedWordList(size_t count);

    size_t size() const { return records_.size(); }
    WordRecord& operator[](size_t i) { return records_[i]; }
    const WordRecord& operator[](size_t i) const { return records_[i]; }
    std::span<const WordRecord> Records() const { return records_; }

private:
    std::optional<FileView> view_;
    std::unique_ptr<WordRecord[]> block_;
    std::span<WordRecord> records_;
};

// How LoadWordList brings a list into memory.
enum class ListAccess {
    MapWherePossible,  // through a FileView where the platform gives one, otherwise as Read
    Read,              // one read after another into a block of the list's own
};

// Reads recordCount records from the start of the file. Before record i is read, every i
// that is a multiple of 100 is shown with DrawCounter (a view shows them all at once, and its
// records are read when first touched). Nothing when the count is unknown (-1) or the file
// does not deliver every record. Throws std::bad_alloc when the list cannot be held in memory
// (decided before any view is tried): the run then ends with "Out of memory", not with a
// message that blames a file that is sound.
std::optional<LoadedWordList> LoadWordList(std::FILE* file, std::int64_t recordCount, WordListProgress& progress,
                                           ListAccess access);

// Writes records through one large buffer. A write that does not complete stops the
// installation with the fatal message given at construction.
class RecordWriter {
public:
    RecordWriter(UniqueFile file, std::string writeErrorMessage);
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    void Write(const WordRecord& record);
    // Writes what is buffered and closes the file; a failure is fatal.
    void Close();

private:
    void Flush();

    UniqueFile file_;
    std::string writeErrorMessage_;
    std::vector<WordRecord> buffer_;
};

// The reversed record "translation -> head word": leading blanks of the translation are
// skipped; nothing when the translation (after them) is longer than 30 characters or the head
// word longer than 50.
std::optional<WordRecord> ReversedRecord(std::string_view headWord, std::string_view translation);

// Appends the reversed record (ReversedRecord) to the scratch list; writes nothing when there
// is none.
void WriteReversedRecord(RecordWriter& writer, std::string_view headWord, std::string_view translation);

}  // namespace setup
