// Counting and sorting the language lines of dict.ini's [language] section.
#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/fields.h"
#include "dictini/dict_ini.h"
#include "dictini/dict_ini_rewrite.h"

namespace setup {

namespace {

// One language line held for the sort: the line without its line end and its sort key.
// Both are held whole, so a key of any length takes part in the comparison in full.
struct LanguageSlot {
    std::string line;
    std::string key;
};

// The recognition shared by the count and the sort's collecting pass, so that both find the
// same lines: a run of lines starts after a line that is exactly "[language]" (ignoring case)
// and ends at a blank or comment line.
template <typename OnLine>
bool ForEachLanguageLine(TextReader& dictIni, OnLine onLine) {
    bool inside = false;
    std::string piece;
    while (dictIni.ReadPiece(piece, kSortPieceLength)) {
        CutLineFeed(piece);
        if (piece.empty() || piece.front() == '#') {
            inside = false;
            continue;
        }
        if (inside) onLine(piece);
        if (EqualsIgnoreCase(piece, kLanguageHeader)) inside = true;
    }
    return !dictIni.Failed();
}

// The fourth field when the line has one, else the first. A line of commas only has no field
// and gets the empty key, which orders before every other key.
std::string SortKeyOf(std::string_view line) {
    std::vector<std::string_view> fields = SplitFields(line);
    if (fields.empty()) return {};
    return std::string(fields.size() >= 4 ? fields[3] : fields[0]);
}

// A bottom-up merge sort of the references. It is stable, so lines whose keys compare equal
// keep their file order, and it stays within its arrays whatever the comparison returns:
// a failing platform comparison can disorder the result but never overrun memory.
void SortByKey(std::vector<const LanguageSlot*>& order, const KeyComparison& compareKeys) {
    const size_t count = order.size();
    std::vector<const LanguageSlot*> merged(count);
    for (size_t width = 1; width < count; width *= 2) {
        for (size_t low = 0; low < count; low += 2 * width) {
            const size_t middle = std::min(low + width, count);
            const size_t high = std::min(low + 2 * width, count);
            size_t left = low;
            size_t right = middle;
            size_t out = low;
            while (left < middle && right < high)
                merged[out++] = compareKeys(order[right]->key, order[left]->key) < 0 ? order[right++] : order[left++];
            while (left < middle) merged[out++] = order[left++];
            while (right < high) merged[out++] = order[right++];
        }
        order.swap(merged);
    }
}

}  // namespace

int CountLanguageLines(const DictIniPaths& paths) {
    TextReader dictIni(paths.dictIni);
    if (!dictIni.IsOpen()) return -1;
    int languageLineCount = 0;
    if (!ForEachLanguageLine(dictIni, [&languageLineCount](const std::string&) { ++languageLineCount; })) return -1;
    return languageLineCount;
}

int SortLanguageList(const KeyComparison& compareKeys, const DictIniPaths& paths) {
    try {
        std::vector<LanguageSlot> slots;
        {
            TextReader dictIni(paths.dictIni);
            if (!dictIni.IsOpen()) return -1;
            bool complete = ForEachLanguageLine(dictIni, [&slots](const std::string& line) {
                slots.push_back({line, SortKeyOf(line)});
            });
            // Nothing to sort, or a file that could not be read whole: leave it as it is.
            if (!complete || slots.empty()) return -1;
        }

        std::vector<const LanguageSlot*> order;
        order.reserve(slots.size());
        for (const LanguageSlot& slot : slots) order.push_back(&slot);
        SortByKey(order, compareKeys);

        TextReader dictIni(paths.dictIni);
        if (!dictIni.IsOpen()) return -1;
        bool replaced = RewriteDictIni(dictIni, paths, [&order](TextReader& in, TextWriter& out) {
            // Everything up to and including the first line opening the section stays as it
            // was; nothing of the old file after that line is carried over.
            std::string piece;
            while (in.ReadPiece(piece, kSortPieceLength)) {
                out.Write(piece);
                if (StartsLanguageSection(piece)) break;
            }
            if (!piece.empty() && piece.back() != '\n') out.Write("\n");
            for (const LanguageSlot* slot : order) {
                out.Write(slot->line);
                out.Write("\n");
            }
            out.Write("\n");
            out.Write(kDictIniEndComment);
            out.Write("\n");
        });
        return replaced ? 0 : -1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

}  // namespace setup
