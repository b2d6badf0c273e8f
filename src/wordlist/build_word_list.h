#pragma once
// The build of one TO word list from the FROM list of the current language entry:
// inversion, sort by head word, merge of identical head words, and the closing message.
#include "setup/install_settings.h"
#include "wordlist/collation.h"
#include "wordlist/language_entry.h"

namespace setup {

class MessageService;
class ProgressDisplay;

// Everything a build reads and changes; the references outlive the call.
struct WordListBuildContext {
    const InstallSettings& settings;  // detail flag (through the display) and display file
    const LanguageEntry& entry;       // displayName, fromListName, toListName
    CollationState& collation;
    CollationService& collationService;
    ProgressDisplay& progress;
    MessageService& messages;
};

// The scratch list of every build, below the working directory.
constexpr const char* kScratchListName = "temp.wb";

// The path of a word list: "language\" + name, of any length.
std::string WordListPath(std::string_view name);

// Builds "language\<toListName>" from "language\<fromListName>" in the working directory
// and shows the closing message. Failures are fatal (FatalError with the message text);
// files written so far stay behind.
void BuildWordList(const WordListBuildContext& context);

}  // namespace setup
