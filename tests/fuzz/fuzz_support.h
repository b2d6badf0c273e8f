#pragma once
// Shared by the fuzz targets: a check, files written in a scratch directory of the process, and
// files read the way the dict.ini operations read them.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_reader.h"
#include "dictini/dict_ini.h"

// A failed check aborts: libFuzzer reports where and saves the input.
#define FUZZ_CHECK(condition) ((condition) ? void() : std::abort())

namespace setup::fuzz {

// A path in a directory of this process under the temporary folder.
inline std::string ScratchPath(const std::string& name) {
    static const auto directory = std::filesystem::temp_directory_path() / ("setup-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    return directory / name;
}

inline std::string WriteFile(const std::string& name, std::string_view bytes) {
    FUZZ_CHECK(std::ofstream(ScratchPath(name), std::ios::binary) << bytes);
    return ScratchPath(name);
}

// The file's pieces of at most limit characters in text mode (CR LF as LF, up to a Ctrl-Z).
inline std::vector<std::string> Pieces(const std::string& path, size_t limit = SIZE_MAX) {
    TextReader reader(path);
    std::vector<std::string> pieces;
    for (std::string piece; reader.ReadPiece(piece, limit);) pieces.push_back(piece);
    return pieces;
}

// Whether the pieces stand in the file's text one after the other, without overlapping.
inline bool ContainsInOrder(const std::string& path, const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& line : Pieces(path)) text += line;
    std::string_view rest = text;
    for (const std::string& piece : pieces) {
        if (rest.find(piece) == rest.npos) return false;
        rest.remove_prefix(rest.find(piece) + piece.size());
    }
    return true;
}

// A language name from the start of the input, as a description line could give it: up to a
// comma, line end, zero byte or Ctrl-Z, at most 40 characters, "German" when empty. data keeps
// what follows the first line.
inline std::string TakeDisplayName(std::string_view& data) {
    const std::string name(data.substr(0, std::min<size_t>(data.find_first_of(std::string_view(",\n\0\x1a", 4)), 40)));
    data.remove_prefix(std::min(data.find('\n') + 1, data.size()));
    return name.empty() ? "German" : name;
}

}  // namespace setup::fuzz
