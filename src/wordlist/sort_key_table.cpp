#include "wordlist/sort_key_table.h"

#include <cstring>
#include <utility>

namespace setup {

namespace {

// What follows the primary weights in the key of a simple text: the separator after the
// primaries and those after the diacritic, case and special levels, which are all empty.
constexpr std::string_view kSeparators = "\x01\x01\x01\x01";
constexpr size_t kPrimaryBytes = 2;

bool IsPrimaryWeightByte(char byte) { return byte != '\0' && byte != kSeparators.front(); }

}  // namespace

SortKeyTable SortKeyTable::FromPlatform(const PlatformSortKey& platformKey) {
    SortKeyTable table;
    std::string key;
    for (int b = 1; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        key.clear();
        if (!platformKey(std::string_view(&byte, 1), key)) continue;
        if (key.size() != kPrimaryBytes + kSeparators.size()) continue;
        if (!IsPrimaryWeightByte(key[0]) || !IsPrimaryWeightByte(key[1])) continue;
        if (std::string_view(key).substr(kPrimaryBytes) != kSeparators) continue;
        table.simple_[b] = true;
        table.primary_[b] = {key[0], key[1]};
    }
    return table;
}

int SortKeyTable::SimpleCount() const {
    int count = 0;
    for (bool simple : simple_) count += simple;
    return count;
}

bool SortKeyTable::AppendKey(std::string_view text, std::string& key) const {
    if (text.empty()) return false;
    for (char c : text)
        if (!simple_[static_cast<unsigned char>(c)]) return false;
    const size_t start = key.size();
    key.resize(start + kPrimaryBytes * text.size() + kSeparators.size());
    char* out = key.data() + start;
    for (char c : text) {
        const std::array<char, 2>& weight = primary_[static_cast<unsigned char>(c)];
        *out++ = weight[0];
        *out++ = weight[1];
    }
    std::memcpy(out, kSeparators.data(), kSeparators.size());
    return true;
}

CheckedSortKeys::CheckedSortKeys(PlatformSortKey platformKey, std::size_t sampleSize)
    : platformKey_(std::move(platformKey)),
      sampleLeft_(sampleSize),
      state_(sampleSize == 0 ? State::Trusted : State::Checking) {}

bool CheckedSortKeys::AppendKey(std::string_view text, std::string& key) {
    if (!table_) {
        table_ = SortKeyTable::FromPlatform(platformKey_);
        // A system whose keys have another form gives no simple byte: nothing to check.
        if (table_->SimpleCount() == 0) state_ = State::Refused;
    }
    switch (state_) {
        case State::Trusted: return table_->AppendKey(text, key) || platformKey_(text, key);
        case State::Checking: return CheckAgainstPlatform(text, key);
        case State::Refused: break;
    }
    return platformKey_(text, key);
}

bool CheckedSortKeys::CheckAgainstPlatform(std::string_view text, std::string& key) {
    composed_.clear();
    if (!table_->AppendKey(text, composed_)) return platformKey_(text, key);
    const size_t start = key.size();
    const bool made = platformKey_(text, key);
    if (!made || std::string_view(key).substr(start) != composed_) {
        state_ = State::Refused;
    } else if (--sampleLeft_ == 0) {
        state_ = State::Trusted;
    }
    return made;
}

}  // namespace setup
