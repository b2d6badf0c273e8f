#pragma once
// Head-word order: the case-insensitive collation of a language, or a 256-byte sort table.
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

namespace setup {

class MessageService;

// The language of the collation locale and of the sort table file, fixed in the program.
constexpr std::string_view kCollationLanguage = "english";

// The platform's locale services, as the core needs them.
class CollationService {
public:
    virtual ~CollationService() = default;
    // Selects the collation locale named by the language; false when it is not available.
    virtual bool SetLocale(std::string_view language) = 0;
    // The locale-aware case-insensitive comparison of the selected locale (case ignored,
    // hyphens and apostrophes ordinary symbols): -1, 0 or 1; kCollationFailed when it fails.
    virtual int Compare(std::string_view a, std::string_view b) = 0;
    // Appends a key whose bytes, compared as unsigned values, order exactly like Compare.
    // The key holds no zero byte. False (nothing appended) when it cannot be made.
    virtual bool AppendSortKey(std::string_view text, std::string& key) = 0;
};

constexpr int kCollationFailed = INT_MAX;

// Collation state of the run: one owner, passed where needed.
struct CollationState {
    bool localeInForce = false;  // off: the default "C" collation, an ASCII fold
    std::array<unsigned char, 256> sortTable{};
    bool sortTableLoaded = false;        // set by the first table read; never cleared
    std::int32_t comparisonCounter = 0;  // head-word comparisons of all sorts of the run
};

// Selects the collation locale of the language. A language without a platform locale
// (esperanto) keeps the collation in force. When the locale is not available, a warning
// box without owner says so, and the collation in force stays.
void SetCollationLocale(CollationState& state, CollationService& service, MessageService& messages,
                        std::string_view language = kCollationLanguage);

// The sort table path "tables\english.stb", relative to the working directory.
std::string SortTablePath();

// Reads up to 256 bytes of the sort table file into the table. A missing file changes
// nothing; a short file fills only the entries it holds.
void LoadSortTable(CollationState& state);

// Locale-aware comparison when a locale is in force, ASCII case-insensitive otherwise.
// A failing platform comparison gives kCollationFailed with errno set to EINVAL.
int CompareCollated(const CollationState& state, CollationService& service, std::string_view a, std::string_view b);

// The two orders of a head-word sort, chosen once when the sort starts.
enum class HeadWordOrder { Mapped, Collated };

HeadWordOrder ChooseHeadWordOrder(const CollationState& state);

// Appends the sort key of a head word and a terminating zero; keys compared bytewise as
// unsigned strings give the head-word order. Under the sort table the key is the mapped
// string: every byte replaced by its weight, weight 1 dropped, ended by the first weight 0;
// under the collation it orders exactly like CompareCollated.
void AppendHeadWordKey(const CollationState& state, CollationService& service, HeadWordOrder order,
                       std::string_view headWord, std::string& keys);

}  // namespace setup
