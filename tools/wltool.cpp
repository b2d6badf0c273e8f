// wltool: packs "head word<TAB>translation, translation" text lines into an 84-byte-record
// word list, dumps a word list back to such lines, and checks a distribution medium.
//
//   wltool pack <in.txt> <out.wb> [--utf8|--cp1252] [--cut]
//   wltool dump <in.wb> [--utf8|--cp1252]
//   wltool check <medium directory>
//
// Text is UTF-8 (converted to and from code page 1252) or code page 1252 as is. An entry that
// does not fit its fields (head word 30, translations 50 characters), has no tab or holds a
// character outside code page 1252 is reported on stderr and left out; the exit code is then 1.
// With --cut such entries are made to fit instead (the head word cut at 30 characters, the
// translations cut after the last whole translation that fits, other characters as "?") and
// only counted.
//
// check prints every problem of the medium as "file:line: problem" (medium_check.h) and exits
// with 1 when it found any.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/stdio_file.h"
#include "base/text_reader.h"
#include "medium_check.h"
#include "wordlist/word_record.h"

namespace {

using setup::kMaxHeadWordLength;
using setup::kMaxTranslationsLength;

// Code page 1252 from 0x80 to 0x9F; 0 marks the five unassigned bytes.
constexpr char32_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> ToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c && c != 0) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

char32_t FromCp1252(unsigned char b) {
    if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0) return kHighControls[b - 0x80];
    return b;
}

// UTF-8 to code page 1252; characters it lacks (and broken sequences) become '?', counted.
std::string Utf8ToCp1252(std::string_view text, int& unmapped) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 0 ? 0 : lead & (0x7F >> length);
        bool valid = length != 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        const std::optional<char> mapped = valid ? ToCp1252(c) : std::nullopt;
        if (!mapped) ++unmapped;
        out.push_back(mapped.value_or('?'));
        i += valid ? length : 1;
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    for (char byte : text) {
        const char32_t c = FromCp1252(static_cast<unsigned char>(byte));
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// The translations cut after the last whole translation within the limit (or at the limit
// when even the first one is longer).
std::string CutTranslations(const std::string& translations) {
    if (translations.size() <= kMaxTranslationsLength) return translations;
    const size_t comma = translations.rfind(',', kMaxTranslationsLength);
    return translations.substr(0, comma == std::string::npos || comma == 0 ? kMaxTranslationsLength : comma);
}

struct Options {
    bool utf8 = true;
    bool cut = false;
};

bool ParseOptions(int argc, char** argv, int first, Options& options) {
    for (int i = first; i < argc; ++i) {
        if (std::strcmp(argv[i], "--utf8") == 0)
            options.utf8 = true;
        else if (std::strcmp(argv[i], "--cp1252") == 0)
            options.utf8 = false;
        else if (std::strcmp(argv[i], "--cut") == 0)
            options.cut = true;
        else
            return false;
    }
    return true;
}

int Pack(const char* inPath, const char* outPath, const Options& options) {
    setup::TextReader reader(inPath);
    if (!reader.IsOpen()) {
        std::fprintf(stderr, "wltool: can't open %s\n", inPath);
        return 2;
    }
    std::FILE* out = std::fopen(outPath, "wb");
    if (!out) {
        std::fprintf(stderr, "wltool: can't create %s\n", outPath);
        return 2;
    }
    int lineNumber = 0, written = 0, reported = 0, cut = 0;
    std::string line;
    while (reader.ReadPiece(line, 1 << 20)) {
        ++lineNumber;
        setup::CutLineFeed(line);
        if (line.empty()) continue;
        int unmapped = 0;
        if (options.utf8) line = Utf8ToCp1252(line, unmapped);
        const size_t tab = line.find('\t');
        std::string head = line.substr(0, tab);
        std::string translations = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        const char* problem = tab == std::string::npos           ? "no tab between head word and translations"
                              : unmapped != 0                    ? "characters outside code page 1252"
                              : head.size() > kMaxHeadWordLength ? "head word longer than 30 characters"
                              : translations.size() > kMaxTranslationsLength ? "translations longer than 50 characters"
                                                                             : nullptr;
        if (problem && (!options.cut || tab == std::string::npos)) {
            std::fprintf(stderr, "%s:%d: %s\n", inPath, lineNumber, problem);
            ++reported;
            continue;
        }
        if (problem) {
            ++cut;
            head.resize(std::min(head.size(), kMaxHeadWordLength));
            translations = CutTranslations(translations);
        }
        setup::WordRecord record{};
        std::memcpy(record.headWord, head.data(), head.size());
        std::memcpy(record.translations, translations.data(), translations.size());
        if (std::fwrite(&record, sizeof record, 1, out) != 1) break;
        ++written;
    }
    // A plain fclose would not tell a full disk on the Windows runtime.
    if (!setup::CloseChecked(out) || reader.Failed()) {
        std::fprintf(stderr, "wltool: error writing %s or reading %s\n", outPath, inPath);
        return 2;
    }
    std::fprintf(stderr, "wltool: %d records written, %d entries cut to fit, %d entries left out\n", written, cut,
                 reported);
    return reported == 0 ? 0 : 1;
}

int Dump(const char* inPath, const Options& options) {
    const setup::UniqueFile file = setup::OpenFile(inPath, "rb");
    if (!file) {
        std::fprintf(stderr, "wltool: can't open %s\n", inPath);
        return 2;
    }
    setup::WordRecord record;
    while (std::fread(&record, sizeof record, 1, file.get()) == 1) {
        std::string line(setup::HeadWordText(record));
        line += '\t';
        line += setup::TranslationsText(record);
        if (options.utf8) line = Cp1252ToUtf8(line);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}

int Check(const char* medium) {
    const std::vector<std::string> problems = wltool::CheckMedium(medium);
    for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
    return problems.empty() ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: wltool pack <in.txt> <out.wb> [--utf8|--cp1252] [--cut]\n"
                 "       wltool dump <in.wb> [--utf8|--cp1252]\n"
                 "       wltool check <medium directory>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc >= 4 && std::strcmp(argv[1], "pack") == 0 && ParseOptions(argc, argv, 4, options))
        return Pack(argv[2], argv[3], options);
    if (argc >= 3 && std::strcmp(argv[1], "dump") == 0 && ParseOptions(argc, argv, 3, options) && !options.cut)
        return Dump(argv[2], options);
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return Check(argv[2]);
    return Usage();
}
