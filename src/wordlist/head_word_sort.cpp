#include "wordlist/head_word_sort.h"

#include <algorithm>

#include "ui/progress_display.h"

namespace setup {

namespace {

constexpr size_t kPrefixBytes = sizeof(std::uint64_t);
constexpr std::int32_t kComparisonsPerCounter = 1000;

// Eight key bytes as one big-endian number: numbers order like the bytes they hold.
std::uint64_t KeyChunk(const char* bytes) {
    std::uint64_t chunk = 0;
    for (size_t i = 0; i < kPrefixBytes; ++i) chunk = (chunk << 8) | static_cast<unsigned char>(bytes[i]);
    return chunk;
}

}  // namespace

HeadWordKeys MakeHeadWordKeys(const LoadedWordList& records, const CollationState& state, CollationService& service,
                              HeadWordOrder order) {
    HeadWordKeys keys;
    keys.entries.reserve(records.size());
    keys.bytes.reserve(records.size() * 12);
    for (size_t i = 0; i < records.size(); ++i) {
        keys.entries.push_back({0, static_cast<std::uint32_t>(keys.bytes.size()), static_cast<std::uint32_t>(i)});
        AppendHeadWordKey(state, service, order, HeadWordText(records[i]), keys.bytes);
        // Zeros up to the next multiple of eight: keys then compare eight bytes at a time, and
        // a chunk that holds a zero byte ends in one.
        keys.bytes.append((kPrefixBytes - keys.bytes.size() % kPrefixBytes) % kPrefixBytes, '\0');
    }
    for (HeadWordSortEntry& entry : keys.entries) entry.prefix = KeyChunk(keys.bytes.data() + entry.keyOffset);
    return keys;
}

int CompareHeadWords(const std::string& keyBytes, const HeadWordSortEntry& a, const HeadWordSortEntry& b,
                     CollationState& state, ProgressDisplay& progress) {
    if (progress.DetailFlag()) {
        if (state.comparisonCounter % kComparisonsPerCounter == 0) progress.DrawCounter(state.comparisonCounter);
        // Wraps instead of overflowing after 2^31 comparisons.
        state.comparisonCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.comparisonCounter) + 1u);
    }
    std::uint64_t chunkA = a.prefix;
    std::uint64_t chunkB = b.prefix;
    for (size_t at = kPrefixBytes; chunkA == chunkB; at += kPrefixBytes) {
        if ((chunkA & 0xFF) == 0) return 0;  // both keys ended in this chunk
        chunkA = KeyChunk(keyBytes.data() + a.keyOffset + at);
        chunkB = KeyChunk(keyBytes.data() + b.keyOffset + at);
    }
    return chunkA < chunkB ? -1 : 1;
}

std::vector<std::uint32_t> SortHeadWords(const LoadedWordList& records, CollationState& state,
                                         CollationService& service, ProgressDisplay& progress) {
    HeadWordKeys keys = MakeHeadWordKeys(records, state, service, ChooseHeadWordOrder(state));
    std::sort(keys.entries.begin(), keys.entries.end(), [&](const HeadWordSortEntry& a, const HeadWordSortEntry& b) {
        return CompareHeadWords(keys.bytes, a, b, state, progress) < 0;
    });
    std::vector<std::uint32_t> order;
    order.reserve(keys.entries.size());
    for (const HeadWordSortEntry& entry : keys.entries) order.push_back(entry.record);
    return order;
}

}  // namespace setup
