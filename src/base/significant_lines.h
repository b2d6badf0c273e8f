#pragma once
// The line rule of the two job files, install.inf and language.cf: lines are read in pieces of
// at most 99 characters (a longer line is read as several lines), the line feed is cut, a zero
// byte ends the line, and empty lines and lines with "#" in column one are skipped.
#include <cstddef>
#include <string>

#include "base/text_reader.h"

namespace setup {

constexpr size_t kSignificantLinePieceLength = 99;

// Fills line with the next significant line; false at the end of the input.
bool ReadSignificantLine(TextReader& reader, std::string& line);

}  // namespace setup
