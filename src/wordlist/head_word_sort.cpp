#include "wordlist/head_word_sort.h"

#include <algorithm>
#include <cstring>

#include "ui/progress_display.h"

namespace setup {

namespace {

constexpr size_t kPrefixBytes = sizeof(std::uint64_t);
constexpr std::int32_t kComparisonsPerCounter = 1000;

std::uint64_t KeyPrefix(const char* key) {
    std::uint64_t prefix = 0;
    bool ended = false;
    for (size_t i = 0; i < kPrefixBytes; ++i) {
        ended = ended || key[i] == '\0';
        prefix = (prefix << 8) | (ended ? 0u : static_cast<unsigned char>(key[i]));
    }
    return prefix;
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
    }
    keys.bytes.append(kPrefixBytes, '\0');
    for (HeadWordSortEntry& entry : keys.entries) entry.prefix = KeyPrefix(keys.bytes.data() + entry.keyOffset);
    return keys;
}

int CompareHeadWords(const std::string& keyBytes, const HeadWordSortEntry& a, const HeadWordSortEntry& b,
                     CollationState& state, ProgressDisplay& progress) {
    if (progress.DetailFlag()) {
        if (state.comparisonCounter % kComparisonsPerCounter == 0) progress.DrawCounter(state.comparisonCounter);
        // Wraps instead of overflowing after 2^31 comparisons.
        state.comparisonCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.comparisonCounter) + 1u);
    }
    if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
    // Equal prefixes ending in a zero byte: both keys ended inside them.
    if ((a.prefix & 0xFF) == 0) return 0;
    const int c = std::strcmp(keyBytes.data() + a.keyOffset + kPrefixBytes, keyBytes.data() + b.keyOffset + kPrefixBytes);
    return (c > 0) - (c < 0);
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
