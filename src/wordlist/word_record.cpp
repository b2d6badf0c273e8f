#include "wordlist/word_record.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "base/fatal.h"
#include "wordlist/word_list_progress.h"

namespace setup {

namespace {

// Records between two counter values while a list is read.
constexpr size_t kCounterStep = 100;

// Records per read: about 840 KB, a whole number of counter steps. Reads of this size cost
// a fifth less than reads of one counter step each.
constexpr size_t kReadRecords = 100 * kCounterStep;

// Records per write: about 680 KB a write.
constexpr size_t kWriteBufferRecords = 8192;

// The record counter is a signed 32-bit value, and the block must fit the address space.
constexpr std::uint64_t kMaxLoadableRecords = std::min<std::uint64_t>(INT32_MAX, PTRDIFF_MAX / kWordRecordSize);

std::string_view FieldText(const char* field, size_t width) { return {field, ::strnlen(field, width)}; }

}  // namespace

std::string_view HeadWordText(const WordRecord& record) { return FieldText(record.headWord, kHeadWordFieldSize); }

std::string_view TranslationsText(const WordRecord& record) {
    return FieldText(record.translations, kTranslationsFieldSize);
}

std::int64_t CountWordRecords(std::FILE* file) {
    const std::optional<std::uint64_t> size = FileSize(file);
    if (!size) return -1;
    return static_cast<std::int64_t>(*size / kWordRecordSize);
}

LoadedWordList::LoadedWordList(FileView view)
    : view_(std::move(view)), records_(reinterpret_cast<WordRecord*>(view_->Data()), view_->Size() / kWordRecordSize) {}

LoadedWordList::LoadedWordList(size_t count)
    : block_(std::make_unique_for_overwrite<WordRecord[]>(count)), records_(block_.get(), count) {}

std::optional<LoadedWordList> LoadWordList(std::FILE* file, std::int64_t recordCount, WordListProgress& progress,
                                           ListAccess access) {
    if (recordCount < 0) return std::nullopt;
    if (static_cast<std::uint64_t>(recordCount) > kMaxLoadableRecords) throw std::bad_alloc();
    const size_t count = static_cast<size_t>(recordCount);
    if (access == ListAccess::MapWherePossible && count > 0) {
        if (std::optional<FileView> view = FileView::Map(file, std::uint64_t{count} * kWordRecordSize)) {
            for (size_t shown = 0; shown < count; shown += kCounterStep) {
                progress.DrawCounter(static_cast<std::int32_t>(shown));
            }
            return LoadedWordList(std::move(*view));
        }
    }
    if (std::fseek(file, 0, SEEK_SET) != 0) return std::nullopt;
    LoadedWordList records(count);
    for (size_t i = 0; i < count; i += kReadRecords) {
        const size_t wanted = std::min(kReadRecords, count - i);
        const size_t read = std::fread(&records[i], kWordRecordSize, wanted, file);
        // The counters of the records read, and after a short read that of the first record
        // missing when it is due: the values a read of one counter step at a time shows.
        for (size_t shown = i; shown < i + wanted && shown <= i + read; shown += kCounterStep) {
            progress.DrawCounter(static_cast<std::int32_t>(shown));
        }
        if (read != wanted) return std::nullopt;
    }
    return records;
}

RecordWriter::RecordWriter(UniqueFile file, std::string writeErrorMessage)
    : file_(std::move(file)), writeErrorMessage_(std::move(writeErrorMessage)) {
    buffer_.reserve(kWriteBufferRecords);
}

RecordWriter::~RecordWriter() {
    // Reached without Close() only while a fatal error unwinds: keep what was written so
    // far on disk, as a record-by-record writer would have, without raising another error.
    if (file_ && !buffer_.empty()) std::fwrite(buffer_.data(), kWordRecordSize, buffer_.size(), file_.get());
}

void RecordWriter::Write(const WordRecord& record) {
    buffer_.push_back(record);
    if (buffer_.size() == kWriteBufferRecords) Flush();
}

void RecordWriter::Flush() {
    const bool written = std::fwrite(buffer_.data(), kWordRecordSize, buffer_.size(), file_.get()) == buffer_.size();
    buffer_.clear();
    if (!written) ThrowFatal(writeErrorMessage_);
}

void RecordWriter::Close() {
    Flush();
    if (!CloseChecked(file_.release())) ThrowFatal(writeErrorMessage_);
}

std::optional<WordRecord> ReversedRecord(std::string_view headWord, std::string_view translation) {
    const size_t firstNonBlank = translation.find_first_not_of(' ');
    const std::string_view newHeadWord =
        firstNonBlank == std::string_view::npos ? std::string_view() : translation.substr(firstNonBlank);
    if (headWord.size() > kMaxTranslationsLength || newHeadWord.size() > kMaxHeadWordLength) return std::nullopt;
    WordRecord record{};
    newHeadWord.copy(record.headWord, newHeadWord.size());
    headWord.copy(record.translations, headWord.size());
    return record;
}

void WriteReversedRecord(RecordWriter& writer, std::string_view headWord, std::string_view translation) {
    if (const std::optional<WordRecord> record = ReversedRecord(headWord, translation)) writer.Write(*record);
}

}  // namespace setup
