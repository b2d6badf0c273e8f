#include "wordlist/head_word_sort.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "base/prefetch.h"
#include "wordlist/word_list_progress.h"

namespace setup {

namespace {

// One record in the sort: the first sixteen key bytes (as two big-endian numbers) decide
// nearly every comparison without leaving the entry.
struct HeadWordSortEntry {
    std::uint64_t prefix[2];
    std::uint32_t restOffset;  // where the key's bytes after the first sixteen start in rest
    std::uint32_t record;
};

// Keys are zero-terminated and zero-padded to a multiple of eight bytes, at least sixteen.
struct HeadWordKeys {
    std::string rest;                      // the bytes after the first sixteen of each longer key
    std::span<HeadWordSortEntry> entries;  // in the order of the records asked for
};

// One block for the arrays of a sort that live one after the other: the hash table's slots,
// then the keys' entries, then the sorted order and the ends of its runs. Each takes the
// pages that the one before touched instead of fresh ones (on some hosts a first touch of a
// page costs several microseconds); pages that no array reaches are never touched.
class SortMemory {
public:
    explicit SortMemory(size_t bytes) : block_(std::make_unique_for_overwrite<std::byte[]>(bytes)) {}

    // Objects of a trivial type from a byte of the block on (a multiple of their alignment),
    // uninitialised, in place of what the block held there.
    template <typename T>
    std::span<T> Place(size_t count, size_t atByte = 0) {
        T* const first = reinterpret_cast<T*>(block_.get() + atByte);
        std::uninitialized_default_construct_n(first, count);
        return {std::launder(first), count};
    }

    std::unique_ptr<std::byte[]> Release() { return std::move(block_); }

private:
    std::unique_ptr<std::byte[]> block_;
};

// The hash table's slots take three halves of the records' count, the entries at most one a
// record, the order one index a record and the run ends one a head word (and one more).
size_t SlotCount(size_t records) { return records + records / 2 + 1; }

size_t SortMemoryBytes(size_t records) {
    return std::max(SlotCount(records) * sizeof(std::uint64_t), records * sizeof(HeadWordSortEntry));
}

constexpr size_t kChunkBytes = sizeof(std::uint64_t);
constexpr size_t kPrefixBytes = 2 * kChunkBytes;
constexpr std::int32_t kComparisonsPerCounter = 1000;

// Eight key bytes as one big-endian number: numbers order like the bytes they hold.
std::uint64_t KeyChunk(const char* bytes) {
    std::uint64_t chunk = 0;
    for (size_t i = 0; i < kChunkBytes; ++i) chunk = (chunk << 8) | static_cast<unsigned char>(bytes[i]);
    return chunk;
}

// Keys are zero-padded, so the chunk that holds the end of a key ends in a zero byte.
bool EndsKey(std::uint64_t chunk) { return (chunk & 0xFF) == 0; }

void CountComparison(CollationState& state, WordListProgress& progress) {
    if (state.comparisonCounter % kComparisonsPerCounter == 0) progress.DrawCounter(state.comparisonCounter);
    // Wraps instead of overflowing after 2^31 comparisons.
    state.comparisonCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.comparisonCounter) + 1u);
}

int CompareChunks(std::uint64_t a, std::uint64_t b) { return a < b ? -1 : 1; }

// The comparison of two keys equal in their first sixteen bytes, which both go on in rest.
int CompareRests(const char* rest, const HeadWordSortEntry& a, const HeadWordSortEntry& b) {
    for (size_t at = 0;; at += kChunkBytes) {
        const std::uint64_t chunkA = KeyChunk(rest + a.restOffset + at);
        const std::uint64_t chunkB = KeyChunk(rest + b.restOffset + at);
        if (chunkA != chunkB) return CompareChunks(chunkA, chunkB);
        if (EndsKey(chunkA)) return 0;
    }
}

// Kept small so that it is inlined into the sort also at -O2: a call for every comparison
// costs a tenth of the whole build. The rare longer keys take the call to CompareRests.
inline int CompareKeys(const char* rest, const HeadWordSortEntry& a, const HeadWordSortEntry& b) {
    if (a.prefix[0] != b.prefix[0]) return CompareChunks(a.prefix[0], b.prefix[0]);
    if (EndsKey(a.prefix[0])) return 0;
    if (a.prefix[1] != b.prefix[1]) return CompareChunks(a.prefix[1], b.prefix[1]);
    if (EndsKey(a.prefix[1])) return 0;
    return CompareRests(rest, a, b);
}

// The distinct head words of a list, as indexes of the first record of each, and for every
// record the index of its head word among them.
struct DistinctHeadWords {
    std::vector<std::uint32_t> firstRecords;
    std::vector<std::uint32_t> wordOfRecord;
};

std::uint32_t HashHeadWord(std::string_view text) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// Byte-identical head words are found with an open-addressing table whose slots hold a word's
// hash and index, so that a probe reads a record only when the hashes are equal. The hashes
// of all records are made first, so that the slot of a later record can be fetched ahead.
DistinctHeadWords FindDistinctHeadWords(const LoadedWordList& records, SortMemory& memory) {
    DistinctHeadWords distinct;
    std::vector<std::uint32_t>& hashes = distinct.wordOfRecord;  // replaced by the word indexes below
    hashes.resize(records.size());
    // Room for every record's word up front: growing would touch twice the pages.
    distinct.firstRecords.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) hashes[i] = HashHeadWord(HeadWordText(records[i]));
    // Room for every record's word at a load of at most two thirds; a hash picks its first slot
    // by its high bits scaled to the table, so the table need not be a power of two in size.
    const size_t capacity = SlotCount(records.size());
    const auto home = [capacity](std::uint32_t hash) {
        return static_cast<size_t>((std::uint64_t{hash} * capacity) >> 32);
    };
    // A slot holds a word's hash << 32 | the word's index + 1; 0: empty.
    const std::span<std::uint64_t> slots = memory.Place<std::uint64_t>(capacity);
    std::fill(slots.begin(), slots.end(), 0);
    constexpr size_t kPrefetchDistance = 16;
    for (size_t i = 0; i < records.size(); ++i) {
        if (i + kPrefetchDistance < records.size()) PrefetchLine(&slots[home(hashes[i + kPrefetchDistance])]);
        const std::uint32_t hash = hashes[i];
        const std::string_view text = HeadWordText(records[i]);
        size_t slot = home(hash);
        for (;; slot = slot + 1 == capacity ? 0 : slot + 1) {
            const std::uint64_t held = slots[slot];
            if (held == 0) {
                distinct.firstRecords.push_back(static_cast<std::uint32_t>(i));
                slots[slot] = std::uint64_t{hash} << 32 | distinct.firstRecords.size();
                break;
            }
            const std::uint32_t word = static_cast<std::uint32_t>(held) - 1;
            if (held >> 32 == hash && HeadWordText(records[distinct.firstRecords[word]]) == text) break;
        }
        hashes[i] = static_cast<std::uint32_t>(slots[slot]) - 1;
    }
    return distinct;
}

// The keys of the head words of the given records.
HeadWordKeys MakeHeadWordKeys(const LoadedWordList& records, const std::vector<std::uint32_t>& which,
                              const CollationState& state, CollationService& service, HeadWordOrder order,
                              SortMemory& memory) {
    HeadWordKeys keys;
    keys.entries = memory.Place<HeadWordSortEntry>(which.size());
    std::string key;
    for (size_t k = 0; k < which.size(); ++k) {
        const std::uint32_t i = which[k];
        key.clear();
        AppendHeadWordKey(state, service, order, HeadWordText(records[i]), key);
        // Zeros up to a multiple of eight, and at least up to the end of the prefix.
        key.resize(std::max(kPrefixBytes, (key.size() + kChunkBytes - 1) / kChunkBytes * kChunkBytes), '\0');
        keys.entries[k] = {{KeyChunk(key.data()), KeyChunk(key.data() + kChunkBytes)},
                           static_cast<std::uint32_t>(keys.rest.size()),
                           i};
        keys.rest.append(key, kPrefixBytes);
    }
    return keys;
}

}  // namespace

SortedRecords SortHeadWords(const LoadedWordList& records, CollationState& state, CollationService& service,
                            WordListProgress& progress, bool countComparisons) {
    // Each distinct head word is keyed and sorted once (a list holds each about twice); the
    // records then follow their head words, in list order.
    SortMemory memory(SortMemoryBytes(records.size()));
    DistinctHeadWords distinct = FindDistinctHeadWords(records, memory);
    HeadWordKeys keys =
        MakeHeadWordKeys(records, distinct.firstRecords, state, service, ChooseHeadWordOrder(state), memory);
    // A merge sort: about a fifth fewer comparisons than an introsort and a sequential memory
    // pattern. Without memory for its buffer (half the entries) it merges in place, more slowly.
    std::stable_sort(
        keys.entries.begin(), keys.entries.end(), [&](const HeadWordSortEntry& a, const HeadWordSortEntry& b) {
            if (countComparisons) CountComparison(state, progress);
            const int byKey = CompareKeys(keys.rest.data(), a, b);
            if (byKey != 0) return byKey < 0;
            // Equal keys ("Bank", "bank") are ordered by their bytes.
            return std::strncmp(records[a.record].headWord, records[b.record].headWord, kHeadWordFieldSize) < 0;
        });
    // The rank of each head word in the sorted order, in the place of its first record, which
    // is no longer needed; then each record's head word replaced by its rank.
    const size_t words = keys.entries.size();
    std::vector<std::uint32_t>& rankOfWord = distinct.firstRecords;
    for (size_t rank = 0; rank < words; ++rank)
        rankOfWord[distinct.wordOfRecord[keys.entries[rank].record]] = static_cast<std::uint32_t>(rank);
    keys = HeadWordKeys();
    for (std::uint32_t& word : distinct.wordOfRecord) word = rankOfWord[word];
    // The position of each head word in the sorted order, then the records counted into place.
    const std::span<std::uint32_t> start = memory.Place<std::uint32_t>(words + 1);
    std::fill(start.begin(), start.end(), 0);
    const std::span<std::uint32_t> order = memory.Place<std::uint32_t>(records.size(), start.size_bytes());
    for (const std::uint32_t rank : distinct.wordOfRecord) ++start[rank + 1];
    for (size_t rank = 1; rank < start.size(); ++rank) start[rank] += start[rank - 1];
    for (size_t i = 0; i < records.size(); ++i)
        order[start[distinct.wordOfRecord[i]]++] = static_cast<std::uint32_t>(i);
    // Each head word's start has moved on to the end of its run.
    return {order, start.first(words), memory.Release()};
}

}  // namespace setup
