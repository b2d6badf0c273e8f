#include "build_losses.h"

#include "code_page.h"

#include <optional>
#include <unordered_map>
#include <utility>

#include "wordlist/build_word_list.h"

namespace wltool {

namespace {

// Losses of one kind named in a summary; the rest are counted.
constexpr size_t kExamples = 3;

bool BeginsOrEndsWithBlank(std::string_view text) {
    return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

std::string Example(LossKind kind, const BuildLoss& loss) {
    switch (kind) {
        case LossKind::NoRoomInMerge: return Quoted(loss.headWord) + " under " + Quoted(loss.translation);
        case LossKind::BlankHeadWord: return Quoted(loss.headWord);
        default: return Quoted(loss.translation) + " of " + Quoted(loss.headWord);
    }
}

}  // namespace

std::string Counted(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

BuildLosses FindBuildLosses(std::span<const setup::WordRecord> from) {
    BuildLosses losses;
    // The reversed list's entries as the merge makes them: by head word, the records of a run
    // joined in list order, which is the order the build's sort leaves them in.
    struct Merged {
        setup::WordRecord record;
        size_t length;
    };
    std::unordered_map<std::string, Merged> merged;
    for (size_t i = 0; i < from.size(); ++i) {
        const std::string headWord(setup::HeadWordText(from[i]));
        const auto add = [&](LossKind kind, std::string_view translation) {
            losses[kind].push_back({i, headWord, std::string(translation)});
        };
        if (BeginsOrEndsWithBlank(headWord)) add(LossKind::BlankHeadWord, {});
        setup::ForEachTranslation(setup::TranslationsText(from[i]), [&](std::string_view translation) {
            std::optional<setup::WordRecord> reversed = setup::ReversedRecord(headWord, translation);
            if (!reversed) return add(LossKind::LongTranslation, translation);
            if (translation.back() == ' ') add(LossKind::BlankTranslation, translation);
            const std::string_view more = setup::TranslationsText(*reversed);
            const auto [entry, isNew] =
                merged.try_emplace(std::string(setup::HeadWordText(*reversed)), Merged{*reversed, more.size()});
            if (!isNew && !setup::JoinTranslations(entry->second.record, entry->second.length, more))
                add(LossKind::NoRoomInMerge, entry->first);
        });
    }
    return losses;
}

std::string LossText(LossKind kind, const BuildLoss& loss) {
    const std::string headWord = Quoted(loss.headWord);
    const std::string translation = Quoted(loss.translation);
    switch (kind) {
        case LossKind::LongTranslation:
            return "translation " + translation + " of " + headWord +
                   " is longer than 30 characters: the build leaves it out";
        case LossKind::NoRoomInMerge:
            return "head word " + headWord + " finds no room left in the 50 characters of the reversed entry " +
                   translation + ": the build leaves it out";
        case LossKind::BlankHeadWord: return "head word " + headWord + " begins or ends with a blank";
        case LossKind::BlankTranslation: break;
    }
    return "translation " + translation + " of " + headWord +
           " ends with a blank, which the build keeps: it becomes a head word apart from the one without it";
}

std::string LossSummary(LossKind kind, const std::vector<BuildLoss>& losses) {
    const size_t n = losses.size();
    std::string text;
    switch (kind) {
        case LossKind::LongTranslation:
            text = Counted(n, "translation", "translations") + " longer than 30 characters, left out by the build";
            break;
        case LossKind::NoRoomInMerge:
            text = Counted(n, "head word", "head words") +
                   " with no room left in the 50 characters of a reversed entry, left out by the build";
            break;
        case LossKind::BlankHeadWord:
            text = Counted(n, "head word", "head words") + " beginning or ending with a blank";
            break;
        case LossKind::BlankTranslation:
            text = Counted(n, "translation", "translations") +
                   " ending with a blank, which the build keeps, so that each makes a head word apart from the one "
                   "without it";
            break;
    }
    text += ": ";
    for (size_t i = 0; i < n && i < kExamples; ++i) text += (i == 0 ? "" : ", ") + Example(kind, losses[i]);
    return text + (n > kExamples ? ", ..." : "");
}

}  // namespace wltool
