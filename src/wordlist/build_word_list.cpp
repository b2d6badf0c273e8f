#include "wordlist/build_word_list.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/fatal.h"
#include "base/files.h"
#include "base/prefetch.h"
#include "wordlist/head_word_sort.h"
#include "wordlist/relative_path.h"
#include "wordlist/word_record.h"

namespace setup {

namespace {

constexpr std::int32_t kRecordsPerCounter = 100;
constexpr std::string_view kJoin = ", ";

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted.append(text).push_back('"');
    return quoted;
}

// Loads a whole list; a list that cannot be sized or read completely stops the build,
// which never goes on with part of a list.
LoadedWordList ReadWholeList(std::FILE* file, const std::string& path, WordListProgress& progress) {
    std::optional<LoadedWordList> list =
        LoadWordList(file, CountWordRecords(file), progress, ListAccess::MapWherePossible);
    if (!list) ThrowFatal("Can't read wordlist " + Quoted(path));
    return std::move(*list);
}

void InvertWordList(const LoadedWordList& from, RecordWriter& scratch, WordListProgress& progress) {
    for (size_t i = 0; i < from.size(); ++i) {
        if (i % kRecordsPerCounter == 0) progress.DrawCounter(static_cast<std::int32_t>(i));
        const std::string_view headWord = HeadWordText(from[i]);
        ForEachTranslation(TranslationsText(from[i]), [&](std::string_view translation) {
            WriteReversedRecord(scratch, headWord, translation);
        });
    }
}

// The display file's text up to its first zero byte; nothing when it cannot be opened,
// sized or held in memory.
std::optional<std::string> ReadDisplayText(const std::string& path) {
    const UniqueFile file = OpenFile(path, "rb");
    if (!file) return std::nullopt;
    const std::optional<std::uint64_t> size = FileSize(file.get());
    if (!size || *size > PTRDIFF_MAX / 2) return std::nullopt;
    std::string text;
    try {
        text.resize(static_cast<size_t>(*size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    text.resize(::strnlen(text.data(), text.size()));
    return text;
}

void ShowClosingMessage(std::string_view displayFile, MessageService& messages) {
    std::optional<std::string> text;
    if (!displayFile.empty()) text = ReadDisplayText(std::string(displayFile));
    messages.Show(text ? *text : "Install Finished ", "Install", MessageIcon::None, true);
}

// Writes the records in sorted order, one record per run of byte-identical head words: the
// run's first record with the translations of the others appended after ", " as long as each
// still fits 50 characters. Shows the index of a run's last record when it is a multiple of 100.
// Releases the list when it is done: Windows deletes no file that a view still shows.
void MergeAndWrite(LoadedWordList records, const SortedRecords& sorted, RecordWriter& to, WordListProgress& progress) {
    // The sorted order visits the block at random: fetching records ahead of their turn
    // hides most of the memory latency. A record mostly spans two cache lines.
    constexpr size_t kPrefetchDistance = 16;
    const std::span<const std::uint32_t> order = sorted.order;
    const size_t count = order.size();
    size_t p = 0;
    for (const std::uint32_t runEnd : sorted.runEnds) {
        // A copy: written to, a page of a view would be copied first (a fresh page each).
        WordRecord current = records[order[p]];
        size_t length = TranslationsText(current).size();
        for (;;) {
            if (p + kPrefetchDistance < count) {
                const char* ahead = reinterpret_cast<const char*>(&records[order[p + kPrefetchDistance]]);
                PrefetchLine(ahead);
                PrefetchLine(ahead + kWordRecordSize - 1);
            }
            if (++p == runEnd) break;
            JoinTranslations(current, length, TranslationsText(records[order[p]]));
        }
        to.Write(current);
        if ((p - 1) % kRecordsPerCounter == 0) progress.DrawCounter(static_cast<std::int32_t>(p - 1));
    }
}

}  // namespace

bool JoinTranslations(WordRecord& merged, size_t& length, std::string_view more) {
    if (length + kJoin.size() + more.size() > kMaxTranslationsLength) return false;
    // The bytes after the text are zero (scratch records are composed zero-filled), so the
    // joined text stays terminated.
    std::memcpy(merged.translations + length, kJoin.data(), kJoin.size());
    std::memcpy(merged.translations + length + kJoin.size(), more.data(), more.size());
    length += kJoin.size() + more.size();
    return true;
}

std::string WordListPath(std::string_view name) { return RelativePath("language", name); }

void BuildWordList(const WordListBuildContext& context) {
    WordListProgress& progress = context.progress;
    progress.BeginBuildDisplay(context.entry.displayName);
    progress.DrawProgressBar(BuildStage::Started);
    progress.DrawDetailText("Reading FROM wordlist");

    const std::string fromPath = WordListPath(context.entry.fromListName);
    UniqueFile fromFile = OpenFile(fromPath, "rb");
    if (!fromFile) ThrowFatal("Input file " + Quoted(fromPath) + " missing");
    progress.DrawProgressBar(BuildStage::ReadingFrom);
    LoadedWordList fromList = ReadWholeList(fromFile.get(), fromPath, progress);
    progress.DrawDone();

    const std::string scratchPath = WordListPath(kScratchListName);
    UniqueFile scratchFile = OpenFile(scratchPath, "wb");
    if (!scratchFile) ThrowFatal("Can't create tempfile");
    RecordWriter scratch(std::move(scratchFile), "Write error tempfile");
    progress.DrawProgressBar(BuildStage::WritingScratch);
    progress.DrawDetailText("Writing TEMP wordlist");
    InvertWordList(fromList, scratch, progress);
    fromList = LoadedWordList();
    fromFile.reset();
    scratch.Close();
    progress.DrawDone();

    UniqueFile scratchIn = OpenFile(scratchPath, "rb");
    if (!scratchIn) ThrowFatal("Can't open tempfile");
    progress.DrawProgressBar(BuildStage::ReadingScratch);
    progress.DrawDetailText("Reading TO wordlist");
    LoadedWordList toList = ReadWholeList(scratchIn.get(), scratchPath, progress);
    progress.DrawDone();

    const std::string toPath = WordListPath(context.entry.toListName);
    const std::string cantCreateTo = "Can't create output file " + Quoted(toPath) + " ";
    const std::string newToPath = WordListPath(kNewToListName);
    UniqueFile toFile = OpenFile(newToPath, "wb");
    if (!toFile) {
        // What an interrupted run left under the name, made read-only or a directory since,
        // would otherwise stop every later build.
        RemoveLeftover(newToPath);
        toFile = OpenFile(newToPath, "wb");
    }
    if (!toFile) ThrowFatal(cantCreateTo);
    try {
        RecordWriter to(std::move(toFile), "Write error output file");
        progress.DrawDetailText("Sorting TO wordlist");
        LoadSortTable(context.collation);
        const SortedRecords sorted =
            SortHeadWords(toList, context.collation, context.collationService, progress, context.detailFlag);
        progress.DrawDone();

        progress.DrawProgressBar(BuildStage::WritingTo);
        progress.DrawDetailText("Writing TO wordlist");
        MergeAndWrite(std::move(toList), sorted, to, progress);
        progress.DrawDone();
        scratchIn.reset();
        to.Close();
        // Refused when the earlier list is read-only or held open by the dictionary application.
        if (!ReplaceFileAtomically(newToPath, toPath)) ThrowFatal(cantCreateTo);
    } catch (...) {
        // A list cut short by a write error, or not put in place, is of no use. The writer is
        // gone by now, so the file is closed: Windows deletes no open file.
        RemoveFile(newToPath);
        throw;
    }
    RemoveFile(scratchPath);

    progress.DrawProgressBar(BuildStage::Finished);
    progress.EndBuildDisplay();
    ShowClosingMessage(context.displayFile, context.messages);
}

}  // namespace setup
