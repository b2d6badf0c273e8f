#include "base/significant_lines.h"

#include <string_view>

namespace setup {

bool ReadSignificantLine(TextReader& reader, std::string& line) {
    while (reader.ReadPiece(line, kSignificantLinePieceLength)) {
        CutLineFeed(line);
        // The line is a C string for every reader of it: a zero byte ends it.
        line.resize(std::string_view(line.c_str()).size());
        if (!line.empty() && line.front() != '#') return true;
    }
    return false;
}

}  // namespace setup
