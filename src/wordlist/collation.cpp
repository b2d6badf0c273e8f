#include "wordlist/collation.h"

#include <cerrno>

#include "base/ascii.h"
#include "base/message_service.h"
#include "wordlist/relative_path.h"
#include "wordlist/word_record.h"

namespace setup {

namespace {

constexpr unsigned char kDroppedWeight = 1;

// Leads the key of a head word whose platform key could not be made, so that it sorts
// after every real key, the way a failing comparison counts as "greater".
constexpr std::string_view kFailedKeyMark = "\xFF\xFF\xFF";

void AppendAsciiFolded(std::string_view text, std::string& key) {
    for (char c : text) key.push_back(static_cast<char>(FoldAscii(static_cast<unsigned char>(c))));
}

void AppendMapped(const std::array<unsigned char, 256>& table, std::string_view text, std::string& mapped) {
    for (char c : text) {
        const unsigned char weight = table[static_cast<unsigned char>(c)];
        if (weight == 0) break;
        if (weight != kDroppedWeight) mapped.push_back(static_cast<char>(weight));
    }
}

}  // namespace

void SetCollationLocale(CollationState& state, CollationService& service, MessageService& messages,
                        std::string_view language) {
    if (EqualsIgnoreCase(language, "esperanto")) return;
    if (service.SetLocale(language)) {
        state.localeInForce = true;
        return;
    }
    messages.Show(
        "Error setting LOCALE\nSort results may not be valid.\n\n"
        "Install multi-language support from your Windows cd-rom for this language.   ",
        "Install", MessageIcon::Warning, false);
}

std::string SortTablePath() {
    std::string name(kCollationLanguage);
    name += ".stb";
    return RelativePath("tables", name);
}

void LoadSortTable(CollationState& state) {
    const UniqueFile file = OpenFile(SortTablePath(), "rb");
    if (!file) return;
    // A short file leaves the entries after its end as they were.
    std::fread(state.sortTable.data(), 1, state.sortTable.size(), file.get());
    state.sortTableLoaded = true;
}

int CompareCollated(const CollationState& state, CollationService& service, std::string_view a, std::string_view b) {
    if (!state.localeInForce) return CompareAsciiFold(a, b);
    const int result = service.Compare(a, b);
    if (result == kCollationFailed) errno = EINVAL;
    return result;
}

HeadWordOrder ChooseHeadWordOrder(const CollationState& state) {
    return state.sortTableLoaded ? HeadWordOrder::Mapped : HeadWordOrder::Collated;
}

void AppendHeadWordKey(const CollationState& state, CollationService& service, HeadWordOrder order,
                       std::string_view headWord, std::string& keys) {
    if (order == HeadWordOrder::Mapped) {
        AppendMapped(state.sortTable, headWord, keys);
    } else if (!state.localeInForce) {
        AppendAsciiFolded(headWord, keys);
    } else if (!service.AppendSortKey(headWord, keys)) {
        keys += kFailedKeyMark;
        AppendAsciiFolded(headWord, keys);
    }
    keys.push_back('\0');
}

}  // namespace setup
