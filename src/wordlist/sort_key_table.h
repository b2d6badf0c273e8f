#pragma once
// Sort keys of the platform collation composed from a table of the platform's own one-byte
// keys, made at run time. Most head words consist of bytes whose key is two primary weight
// bytes and the level separators only; the key of such a word is their primary weights in
// order followed by the separators, which is about fifteen times cheaper than asking the
// platform. Because the composition rests on how the running system forms its keys, the table
// is trusted only after its keys for the first words of the run equal the platform's.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The platform's sort key of a text, appended without its terminating zero, as
// CollationService::AppendSortKey gives it; false when it cannot be made.
using PlatformSortKey = std::function<bool(std::string_view text, std::string& key)>;

class SortKeyTable {
public:
    // Asks the platform for the key of each byte 1..255 alone. A byte is simple when its key
    // is two primary weight bytes (neither a separator) and the four separators 01 01 01 01.
    static SortKeyTable FromPlatform(const PlatformSortKey& platformKey);

    bool IsSimple(unsigned char byte) const { return simple_[byte]; }
    int SimpleCount() const;

    // Appends the composed key of a text of one or more simple bytes; for any other text
    // (empty, or holding a byte that is not simple) appends nothing and returns false.
    bool AppendKey(std::string_view text, std::string& key) const;

private:
    std::array<bool, 256> simple_{};
    std::array<std::array<char, 2>, 256> primary_{};
};

// The first words whose composed keys must equal the platform's before the table is trusted.
constexpr std::size_t kSortKeySampleSize = 4096;

// The sort keys of one collation locale for a whole run. The table is made at the first key.
// While the sample lasts, every key comes from the platform and each one the table can
// compose is compared with it; a single difference (or a platform failure on such a word)
// leaves the platform making every key for the rest of the run. After a sample without a
// difference, the table makes the keys of every word it can compose.
class CheckedSortKeys {
public:
    enum class State { Checking, Trusted, Refused };

    explicit CheckedSortKeys(PlatformSortKey platformKey, std::size_t sampleSize = kSortKeySampleSize);

    // Appends the key of the text; false (nothing appended) when the platform cannot make it.
    bool AppendKey(std::string_view text, std::string& key);

    State CurrentState() const { return state_; }

private:
    bool CheckAgainstPlatform(std::string_view text, std::string& key);

    PlatformSortKey platformKey_;
    std::optional<SortKeyTable> table_;
    std::size_t sampleLeft_;
    State state_ = State::Checking;
    std::string composed_;
};

}  // namespace setup
