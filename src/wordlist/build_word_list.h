#pragma once
// The build of one TO word list from the FROM list of the current language entry:
// inversion, sort by head word, merge of identical head words, and the closing message.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/language_entry.h"
#include "base/message_service.h"
#include "wordlist/collation.h"
#include "wordlist/word_list_progress.h"
#include "wordlist/word_record.h"

namespace setup {

// Everything a build reads and changes; the references outlive the call.
struct WordListBuildContext {
    const LanguageEntry& entry;    // displayName, fromListName, toListName
    std::string_view displayFile;  // the closing message's text file; empty: the standard text
    bool detailFlag;               // the sort counts and shows its comparisons
    CollationState& collation;
    CollationService& collationService;
    WordListProgress& progress;
    MessageService& messages;
};

// The scratch list of every build, below the working directory.
constexpr const char* kScratchListName = "temp.wb";
// The TO list is written under this name and takes its own name only when it is whole.
constexpr const char* kNewToListName = "tempout.wb";

// The path of a word list: "language\" + name, of any length.
std::string WordListPath(std::string_view name);

// The translations of a translations field as the inversion takes them apart: the maximal
// runs of characters other than ','; several commas in a row, or commas at either end, give
// no translation.
template <typename OnTranslation>
void ForEachTranslation(std::string_view translations, OnTranslation onTranslation) {
    for (size_t start = 0, end = 0; start < translations.size(); start = end + 1) {
        end = std::min(translations.find(',', start), translations.size());
        if (end > start) onTranslation(translations.substr(start, end - start));
    }
}

// The merge of one more record of a run into the run's first record, whose translations are
// length characters long: ", " and the more translations are appended when the joined text
// still fits 50 characters. Otherwise nothing changes and the result is false: the build
// leaves those translations out.
bool JoinTranslations(WordRecord& merged, size_t& length, std::string_view more);

// Builds "language\<toListName>" from "language\<fromListName>" in the working directory
// and shows the closing message. The TO list replaces an earlier one in one step once it is
// written whole, so a build that fails or is interrupted leaves the earlier one as it was.
// Failures are fatal (FatalError with the message text); the scratch list stays behind, a TO
// list cut short or not put in place is removed.
void BuildWordList(const WordListBuildContext& context);

}  // namespace setup
