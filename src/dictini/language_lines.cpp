// Replacing a language's line in dict.ini: RemoveLanguageLines, then AppendLanguageLine.
#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/fatal.h"
#include "base/fields.h"
#include "dictini/dict_ini.h"
#include "dictini/dict_ini_rewrite.h"

namespace setup {

namespace {

// Whether a piece of dict.ini, its line feed kept, names the language.
bool NamesLanguage(std::string_view line, std::string_view displayName) {
    std::vector<std::string_view> fields = SplitFields(line);
    if (fields.empty()) return false;
    if (fields.size() >= 4) {
        // The fourth field's last character is the line feed when the field ends the line.
        std::string_view name = fields[3];
        name.remove_suffix(1);
        return EqualsIgnoreCase(name, displayName);
    }
    // One to three fields: the first one names the language. A line without commas keeps its
    // line feed in that field, so headers, comments and blank lines never match.
    return EqualsIgnoreCase(fields[0], displayName);
}

std::string LanguageLineOf(std::string_view firstFieldText, const LanguageEntry& entry) {
    std::string line(firstFieldText);
    line += ',';
    line += entry.secondField;
    line += ',';
    line += entry.thirdField;
    line += ',';
    line += entry.displayName;
    return line;
}

// A rewrite that records a language: the language would go unrecorded while the installation
// reports success unless dict.ini can be read whole.
void RewriteLanguageLines(const DictIniPaths& paths, const std::function<void(TextReader&, TextWriter&)>& copy) {
    TextReader dictIni(paths.dictIni);
    if (!dictIni.IsOpen() || !RewriteDictIni(dictIni, paths, copy)) ThrowFatal("Can't open DICT.INI");
}

}  // namespace

void RemoveLanguageLines(const LanguageEntry& entry, const DictIniPaths& paths) {
    RewriteLanguageLines(paths, [&entry](TextReader& in, TextWriter& out) {
        std::string piece;
        while (in.ReadPiece(piece, kRemovePieceLength))
            if (!NamesLanguage(piece, entry.displayName)) out.Write(piece);
    });
}

void AppendLanguageLine(std::string_view firstFieldText, const LanguageEntry& entry, const DictIniPaths& paths) {
    const std::string newLines = LanguageLineOf(firstFieldText, entry) + "\n\n";
    RewriteLanguageLines(paths, [&newLines](TextReader& in, TextWriter& out) {
        std::string piece;
        bool inSection = false;
        bool atLineStart = true;  // the next piece begins a line of the file
        while (in.ReadPiece(piece, kAppendPieceLength)) {
            bool startsLine = atLineStart;
            atLineStart = piece.back() == '\n';
            if (!inSection) {
                out.Write(piece);
                inSection = StartsLanguageSection(piece);
            } else if (startsLine && piece == "\n") {
                // The blank line closing the section gives its place to the new line and a blank.
                out.Write(newLines);
                inSection = false;
            } else {
                // Every other line stays a section line, comments and headers included; so does
                // the line feed that ends a line longer than one piece.
                out.Write(piece);
            }
        }
        if (inSection) {
            // The file ends inside the section: its last line is completed, never joined.
            if (!atLineStart) out.Write("\n");
            out.Write(newLines);
        }
    });
}

}  // namespace setup
