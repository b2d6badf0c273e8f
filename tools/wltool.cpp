// wltool: packs "head word<TAB>translation, translation" text lines into an 84-byte-record
// word list, dumps a word list back to such lines, and checks a distribution medium. The usage
// text below says what each command does and what its exit codes mean.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "base/stdio_file.h"
#include "build_losses.h"
#include "code_page.h"
#include "medium_check.h"
#include "wordlist/word_record.h"

namespace {

using setup::kMaxHeadWordLength;
using setup::kMaxTranslationsLength;
using wltool::Counted;
using wltool::Cp1252ToUtf8;
using wltool::Utf8ToCp1252;

constexpr const char* kUsage =
    "usage: wltool pack <in.txt> <out.wb> [--utf8 | --cp1252] [--cut] [--leave-out]\n"
    "       wltool dump <in.wb> [--utf8 | --cp1252]\n"
    "       wltool check <medium directory> [--strict]\n"
    "       wltool --help | --version\n";

constexpr const char* kHelp =
    "\n"
    "pack   packs text lines \"head word<TAB>translation, translation\" into a word list of 84-byte\n"
    "       records. An entry that does not fit (head word over 30, translations over 50\n"
    "       characters), has no tab, or holds a character outside code page 1252 is reported as\n"
    "       \"in.txt:line: ...\" and left out. With --cut such entries are made to fit instead (the\n"
    "       head word cut at 30 characters, the translations after the last whole one that fits,\n"
    "       other characters as \"?\") and counted. Warns, line by line, about what the build of\n"
    "       the reversed list will leave out or change. When it leaves entries out it writes\n"
    "       nothing, unless --leave-out asks for the list without them. Writes out.wb only when\n"
    "       it is complete, and never over its input.\n"
    "dump   prints a word list as such lines on standard output. A record that would not come\n"
    "       back the same through pack is reported as \"in.wb:record: ...\".\n"
    "check  reads a distribution medium as setup.exe would and prints each problem as\n"
    "       \"file:line: problem\" and each warning as \"file:line: warning: ...\".\n"
    "\n"
    "--utf8       the text is UTF-8, a byte-order mark allowed (the default)\n"
    "--cp1252     the text is code page 1252, taken byte for byte\n"
    "--cut        pack: make entries fit instead of leaving them out\n"
    "--leave-out  pack: write the list even when entries are left out, without them\n"
    "--strict     check: count warnings as problems\n"
    "\n"
    "exit codes: 0 done; 1 pack left entries out, dump left records out or found a partial\n"
    "record, check found problems; 2 a file could not be read, written or held in memory, or\n"
    "the command line was not understood.\n";

constexpr int kTrouble = 2;

// The translations cut after the last whole translation within the limit (or at the limit
// when even the first one is longer).
std::string CutTranslations(const std::string& translations) {
    if (translations.size() <= kMaxTranslationsLength) return translations;
    const size_t comma = translations.rfind(',', kMaxTranslationsLength);
    return translations.substr(0, comma == std::string::npos || comma == 0 ? kMaxTranslationsLength : comma);
}

std::string Reason() { return std::strerror(errno); }

int Trouble(const std::string& message) {
    std::fprintf(stderr, "wltool: %s\n", message.c_str());
    return kTrouble;
}

// The whole file as it is; nothing (errno set) when it cannot be opened or read. Throws
// std::bad_alloc when it cannot be held in memory.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    const setup::UniqueFile file = setup::OpenFile(path, "rb");
    if (!file) return std::nullopt;
    std::string text;
    // One block of the file's size, where it has one (a pipe has none).
    if (const std::optional<std::uint64_t> size = setup::FileSize(file.get())) {
        if (*size > text.max_size()) throw std::bad_alloc();
        text.reserve(static_cast<size_t>(*size));
    }
    char block[1 << 16];
    for (size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;) text.append(block, got);
    if (std::ferror(file.get())) return std::nullopt;
    return text;
}

struct Options {
    bool utf8 = true;
    bool cut = false;
    bool leaveOut = false;
    bool strict = false;
};

// One entry of the text: a line without its line end.
struct Entry {
    size_t line;
    std::string text;
};

// The lines of the text as they are: LF ends a line, a CR before it goes with it. A UTF-8
// byte-order mark at the start and a Ctrl-Z as the very last byte (an old DOS end mark) are
// not text; any other Ctrl-Z is an ordinary character.
std::vector<Entry> TextLines(std::string_view text, bool utf8) {
    if (utf8 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (!text.empty() && text.back() == '\x1A' && (text.size() == 1 || text[text.size() - 2] == '\n'))
        text.remove_suffix(1);
    std::vector<Entry> lines;
    for (size_t start = 0, line = 1; start < text.size(); ++line) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string_view content = text.substr(start, end - start);
        if (end < text.size() && !content.empty() && content.back() == '\r') content.remove_suffix(1);
        lines.push_back({line, std::string(content)});
        start = end + 1;
    }
    return lines;
}

// The output of pack: the list is written under a temporary name beside the target and
// replaces it only when it is whole, so a failure leaves the target as it was.
class ListOutput {
public:
    explicit ListOutput(std::string target) : target_(std::move(target)) {}
    ~ListOutput() {
        if (!temporary_.empty()) std::remove(temporary_.c_str());
    }
    ListOutput(const ListOutput&) = delete;
    ListOutput& operator=(const ListOutput&) = delete;

    // A message when the list cannot be written whole.
    std::optional<std::string> Write(std::span<const setup::WordRecord> records) {
        std::error_code error;
        for (int n = 0; temporary_.empty() || std::filesystem::exists(temporary_, error); ++n)
            temporary_ = target_ + ".part" + (n == 0 ? "" : std::to_string(n));
        std::FILE* file = std::fopen(temporary_.c_str(), "wb");
        if (!file) {
            temporary_.clear();
            return "can't create " + target_ + ": " + Reason();
        }
        const bool written =
            std::fwrite(records.data(), sizeof(setup::WordRecord), records.size(), file) == records.size();
        // A plain fclose would not tell a full disk on the Windows runtime.
        if (!setup::CloseChecked(file) || !written) return "error writing " + target_ + ": " + Reason();
        std::filesystem::rename(temporary_, target_, error);
        if (error) return "can't replace " + target_ + ": " + error.message();
        temporary_.clear();
        return std::nullopt;
    }

private:
    std::string target_;
    std::string temporary_;
};

// An entry of pack's input taken apart, and what keeps it from being packed as it is.
struct PackedEntry {
    std::string head;
    std::string translations;
    const char* problem = nullptr;
    bool cuttable = false;  // --cut can make it fit
};

PackedEntry PackEntry(const std::string& text, bool utf8) {
    PackedEntry entry;
    if (text.find('\0') != std::string::npos) {
        entry.problem = "holds a zero byte, which would end the text in the record";
        return entry;
    }
    if (text.find('\r') != std::string::npos) {
        entry.problem = "holds a carriage return that ends no line";
        return entry;
    }
    int unmapped = 0;
    const std::optional<std::string> line = utf8 ? Utf8ToCp1252(text, unmapped) : text;
    if (!line) {
        entry.problem = "not UTF-8: use --cp1252 for a code page 1252 file";
        return entry;
    }
    const size_t tab = line->find('\t');
    if (tab == std::string::npos) {
        entry.problem = "no tab between head word and translations";
        return entry;
    }
    entry.head = line->substr(0, tab);
    entry.translations = line->substr(tab + 1);
    entry.problem = unmapped != 0                                        ? "characters outside code page 1252"
                    : entry.head.size() > kMaxHeadWordLength             ? "head word longer than 30 characters"
                    : entry.translations.size() > kMaxTranslationsLength ? "translations longer than 50 characters"
                                                                         : nullptr;
    entry.cuttable = true;
    return entry;
}

// A text saved as UTF-16 (Notepad's "Unicode"): it starts with the UTF-16 byte-order mark, or
// its start has zero bytes in every other place, as each of its ASCII characters brings one.
bool IsUtf16(std::string_view text) {
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
    const std::string_view start = text.substr(0, 64);
    size_t zeros[2] = {0, 0};
    for (size_t i = 0; i < start.size(); ++i) zeros[i % 2] += start[i] == '\0';
    return start.size() >= 4 && 4 * std::max(zeros[0], zeros[1]) >= start.size();
}

int Pack(const std::string& inPath, const std::string& outPath, const Options& options) {
    std::error_code error;
    if (std::filesystem::equivalent(inPath, outPath, error))
        return Trouble(inPath + " and " + outPath + " are the same file: pack never writes over its input");
    const std::optional<std::string> text = ReadWholeFile(inPath);
    if (!text) return Trouble("can't read " + inPath + ": " + Reason());
    if (IsUtf16(*text))
        return Trouble(inPath + " is UTF-16 text: save it as UTF-8, or as code page 1252 and use --cp1252");

    std::vector<std::pair<size_t, std::string>> reports;  // by line
    std::vector<size_t> lineOfRecord;
    std::vector<setup::WordRecord> records;
    int leftOut = 0, cut = 0;
    for (const Entry& entry : TextLines(*text, options.utf8)) {
        if (entry.text.empty()) continue;
        PackedEntry packed = PackEntry(entry.text, options.utf8);
        if (packed.problem && (!options.cut || !packed.cuttable)) {
            reports.emplace_back(entry.line, packed.problem);
            ++leftOut;
            continue;
        }
        std::string& head = packed.head;
        std::string& translations = packed.translations;
        if (packed.problem) {
            ++cut;
            head.resize(std::min(head.size(), kMaxHeadWordLength));
            translations = CutTranslations(translations);
        }
        setup::WordRecord record{};
        std::memcpy(record.headWord, head.data(), head.size());
        std::memcpy(record.translations, translations.data(), translations.size());
        records.push_back(record);
        lineOfRecord.push_back(entry.line);
    }
    const wltool::BuildLosses losses = wltool::FindBuildLosses(records);
    size_t warnings = 0;
    for (size_t k = 0; k < wltool::kLossKinds; ++k) {
        const auto kind = static_cast<wltool::LossKind>(k);
        for (const wltool::BuildLoss& loss : losses[kind])
            reports.emplace_back(lineOfRecord[loss.record], "warning: " + wltool::LossText(kind, loss));
        warnings += losses[kind].size();
    }
    std::stable_sort(reports.begin(), reports.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    // A list with entries missing would replace a good one unnoticed, as when a code page 1252
    // text is packed as UTF-8: it is written only when asked for.
    const bool write = leftOut == 0 || options.leaveOut;
    ListOutput output(outPath);
    if (const std::optional<std::string> failure = write ? output.Write(records) : std::nullopt)
        return Trouble(*failure);
    for (const auto& [line, report] : reports)
        std::fprintf(stderr, "%s:%zu: %s\n", inPath.c_str(), line, report.c_str());
    std::fprintf(stderr, "wltool: %s %s, %s cut to fit, %s left out, %s%s\n",
                 Counted(records.size(), "record", "records").c_str(), write ? "written" : "packed",
                 Counted(cut, "entry", "entries").c_str(), Counted(leftOut, "entry", "entries").c_str(),
                 Counted(warnings, "warning", "warnings").c_str(),
                 write ? "" : ("; " + outPath + " not written (--leave-out writes it without them)").c_str());
    return leftOut == 0 ? 0 : 1;
}

// Why the record would not come back the same through a dump and a pack: printed says whether
// its line is printed all the same. Nothing for a record that comes back byte for byte.
struct DumpProblem {
    const char* text;
    bool printed;
};

std::optional<DumpProblem> DumpProblemOf(const setup::WordRecord& record) {
    const std::string_view head = setup::HeadWordText(record);
    const std::string_view translations = setup::TranslationsText(record);
    if (head.size() == setup::kHeadWordFieldSize)
        return DumpProblem{"head word has no terminating zero: not dumped", false};
    if (translations.size() == setup::kTranslationsFieldSize)
        return DumpProblem{"translations have no terminating zero: not dumped", false};
    if (head.find_first_of("\t\r\n") != std::string_view::npos)
        return DumpProblem{"head word holds a tab or a line end: not dumped", false};
    if (translations.find_first_of("\r\n") != std::string_view::npos)
        return DumpProblem{"translations hold a line end: not dumped", false};
    setup::WordRecord clean{};
    std::memcpy(clean.headWord, head.data(), head.size());
    std::memcpy(clean.translations, translations.data(), translations.size());
    if (std::memcmp(&clean, &record, sizeof record) != 0)
        return DumpProblem{"bytes after the texts are not zero: a pack writes zeros there", true};
    return std::nullopt;
}

int Dump(const std::string& inPath, const Options& options) {
    const setup::UniqueFile file = setup::OpenFile(inPath, "rb");
    if (!file) return Trouble("can't open " + inPath + ": " + Reason());
    int reported = 0;
    setup::WordRecord record;
    for (size_t number = 1;; ++number) {
        const size_t got = std::fread(&record, 1, sizeof record, file.get());
        if (got < sizeof record) {
            if (std::ferror(file.get())) return Trouble("error reading " + inPath + ": " + Reason());
            if (got > 0) {
                std::fprintf(stderr, "%s:%zu: %s after the last whole record: not dumped\n", inPath.c_str(), number,
                             Counted(got, "byte", "bytes").c_str());
                ++reported;
            }
            break;
        }
        const std::optional<DumpProblem> problem = DumpProblemOf(record);
        if (problem) {
            std::fprintf(stderr, "%s:%zu: %s\n", inPath.c_str(), number, problem->text);
            ++reported;
            if (!problem->printed) continue;
        }
        std::string line(setup::HeadWordText(record));
        line += '\t';
        line += setup::TranslationsText(record);
        if (options.utf8) line = Cp1252ToUtf8(line);
        line += '\n';
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) break;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Trouble("error writing the output: " + Reason());
    return reported == 0 ? 0 : 1;
}

int Check(const std::string& medium, const Options& options) {
    const wltool::MediumReport report = wltool::CheckMedium(medium);
    for (const std::string& line : report.lines) std::printf("%s\n", line.c_str());
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Trouble("error writing the output: " + Reason());
    return wltool::CheckExitCode(report, options.strict);
}

int CommandLineError(const std::string& message) {
    std::fprintf(stderr, "wltool: %s\n%s", message.c_str(), kUsage);
    return kTrouble;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::printf("%s%s", kUsage, kHelp);
            return 0;
        }
        if (arg == "--version") {
            std::printf("wltool %s\n", WLTOOL_VERSION);
            return 0;
        }
    }
    if (args.empty()) return CommandLineError("no command given");
    const std::string& command = args[0];
    struct Syntax {
        std::string_view command;
        size_t names;
        std::string_view options;
        std::string_view needs;
    };
    constexpr Syntax kSyntax[] = {
        {"pack", 2, "--utf8 --cp1252 --cut --leave-out", "an input text and an output list"},
        {"dump", 1, "--utf8 --cp1252", "one word list"},
        {"check", 1, "--strict", "one medium directory"},
    };
    const auto syntax = std::find_if(std::begin(kSyntax), std::end(kSyntax),
                                     [&command](const Syntax& s) { return s.command == command; });
    if (syntax == std::end(kSyntax)) return CommandLineError("unknown command \"" + command + "\"");
    Options options;
    std::vector<std::string> names;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            names.push_back(arg);
            continue;
        }
        const bool known = (" " + std::string(syntax->options) + " ").find(" " + arg + " ") != std::string::npos;
        if (!known) return CommandLineError("unknown option \"" + arg + "\" for " + command);
        if (arg == "--utf8" || arg == "--cp1252") options.utf8 = arg == "--utf8";
        options.cut = options.cut || arg == "--cut";
        options.leaveOut = options.leaveOut || arg == "--leave-out";
        options.strict = options.strict || arg == "--strict";
    }
    if (names.size() != syntax->names)
        return CommandLineError(command + " takes " + std::string(syntax->needs) + ", given " +
                                std::to_string(names.size()) + " " + (names.size() == 1 ? "name" : "names"));
    try {
        if (command == "pack") return Pack(names[0], names[1], options);
        if (command == "dump") return Dump(names[0], options);
        return Check(names[0], options);
    } catch (const std::bad_alloc&) {
        return Trouble("out of memory while reading " + names[0]);
    } catch (const std::exception& error) {
        return Trouble(error.what());
    }
}
