#pragma once
// The sort of a word list by head word: one key per record, made once, and a comparison of
// keys that counts every call in the comparison counter.
#include <cstdint>
#include <string>
#include <vector>

#include "wordlist/collation.h"
#include "wordlist/word_record.h"

namespace setup {

class WordListProgress;

// One record in the sort: the first sixteen key bytes (as two big-endian numbers) decide
// nearly every comparison without leaving the entry.
struct HeadWordSortEntry {
    std::uint64_t prefix[2];
    std::uint32_t restOffset;  // where the key's bytes after the first sixteen start in rest
    std::uint32_t record;
};

// Keys are zero-terminated and zero-padded to a multiple of eight bytes, at least sixteen.
struct HeadWordKeys {
    std::string rest;                        // the bytes after the first sixteen of each longer key
    std::vector<HeadWordSortEntry> entries;  // in the order of the records asked for
};

// The keys of the head words of the given records.
HeadWordKeys MakeHeadWordKeys(const LoadedWordList& records, const std::vector<std::uint32_t>& which,
                              const CollationState& state, CollationService& service, HeadWordOrder order);

// The records in head-word order, in runs of byte-identical head words.
struct SortedRecords {
    std::vector<std::uint32_t> order;    // record indexes
    std::vector<std::uint32_t> runEnds;  // for each run, the position in order after its last record
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
