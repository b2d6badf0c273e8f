#pragma once
// Shared by the fuzz targets: one scratch directory per process, the text-mode view of a
// file, and a check that aborts with a message (libFuzzer then saves the input).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "dictini/dict_ini.h"

namespace setup::fuzz {

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

// A directory made once per process under $TMPDIR (or /tmp); its files are reused per input.
const std::string& ScratchDirectory();
std::string ScratchFile(const std::string& name);
DictIniPaths ScratchDictIni();

void WriteBytes(const std::string& path, std::string_view bytes);
bool Exists(const std::string& path);

// The file as the text-mode reader sees it: CR LF as LF, up to a Ctrl-Z.
std::string LogicalText(const std::string& path);

// The file's pieces of at most limit characters, as the dict.ini operations read them.
std::vector<std::string> Pieces(const std::string& path, size_t limit);

// Whether the pieces stand in text one after the other, without overlapping.
bool ContainsInOrder(std::string_view text, const std::vector<std::string>& pieces);

// A language name made from the first line of the input (no commas, line feeds, zero bytes
// or Ctrl-Z, never empty), as a language.cf description line could give it; data is advanced
// past that line.
std::string TakeDisplayName(std::string_view& data);

}  // namespace setup::fuzz
