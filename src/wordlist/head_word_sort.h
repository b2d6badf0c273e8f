#pragma once
// The sort of a word list by head word: one key per distinct head word, made once, and a
// comparison of keys that counts every call in the comparison counter.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "wordlist/collation.h"
#include "wordlist/word_record.h"

namespace setup {

class WordListProgress;

// The records in head-word order, in runs of byte-identical head words.
struct SortedRecords {
    std::span<const std::uint32_t> order;    // record indexes
    std::span<const std::uint32_t> runEnds;  // for each run, the position in order after its last record
    std::unique_ptr<std::byte[]> memory;     // the sort's working memory, which holds both
};

// The record indexes in head-word order, by the sort table when one has been loaded, by the
// collation otherwise. Byte-identical head words stand together, in list order; head words
// that order equal but differ in bytes are ordered by their bytes. Each distinct head word
// is sorted once, so the comparisons counted are those of the distinct head words.
// With countComparisons (the detail lines are on), every comparison of the sort is counted in
// the run's comparison counter, which is shown before it is counted whenever it is a
// multiple of 1000.
SortedRecords SortHeadWords(const LoadedWordList& records, CollationState& state, CollationService& service,
                            WordListProgress& progress, bool countComparisons);

}  // namespace setup
