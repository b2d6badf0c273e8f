#pragma once
// What the build of a reversed word list will leave out of a FROM list, or make of it that its
// maker does not expect, found with the build's own inversion and merge rules. The word-list
// tool's pack warns about it line by line, its medium check list by list, in the same terms.
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "wordlist/word_record.h"

namespace wltool {

enum class LossKind {
    LongTranslation,   // a translation over 30 characters: no reversed record
    NoRoomInMerge,     // a head word that no longer fits the 50 characters of its merged entry
    BlankHeadWord,     // a head word that begins or ends with a blank
    BlankTranslation,  // a translation ending in a blank: a reversed head word of its own
};
constexpr size_t kLossKinds = 4;

struct BuildLoss {
    size_t record = 0;        // the FROM record, from 0
    std::string headWord;     // its head word
    std::string translation;  // the translation concerned; for NoRoomInMerge the reversed entry
};

struct BuildLosses {
    std::array<std::vector<BuildLoss>, kLossKinds> byKind;
    std::vector<BuildLoss>& operator[](LossKind kind) { return byKind[static_cast<size_t>(kind)]; }
    const std::vector<BuildLoss>& operator[](LossKind kind) const { return byKind[static_cast<size_t>(kind)]; }
};

// Every loss of the list, by kind, in list order.
BuildLosses FindBuildLosses(std::span<const setup::WordRecord> from);

// One loss, as pack reports it on the line of its entry.
std::string LossText(LossKind kind, const BuildLoss& loss);

// The losses of one kind of a list: how many, and the first few.
std::string LossSummary(LossKind kind, const std::vector<BuildLoss>& losses);

// "1 entry", "2 entries".
std::string Counted(size_t count, const std::string& one, const std::string& many);

}  // namespace wltool
