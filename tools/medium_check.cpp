#include "medium_check.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <system_error>
#include <tuple>

#include "base/ascii.h"
#include "base/fatal.h"
#include "base/fields.h"
#include "base/significant_lines.h"
#include "build_losses.h"
#include "code_page.h"
#include "script/install_script.h"
#include "script/script_actions.h"
#include "wordlist/build_word_list.h"
#include "wordlist/collation.h"
#include "wordlist/language_list.h"
#include "wordlist/word_list_progress.h"
#include "wordlist/word_record.h"

namespace wltool {

namespace {

namespace fs = std::filesystem;
using setup::EqualsIgnoreCase;

// The pass runs on these two directories in place of the real ones: a path under the first
// is a file of the medium, one under the second a file that the install puts in the target.
constexpr std::string_view kMediumRoot = "<medium>";
constexpr std::string_view kTargetRoot = "<target>";

// Most records of one word list reported one by one; the rest are counted.
constexpr int kMaxRecordReports = 10;

// As many bytes as the build reads into its table.
constexpr std::uint64_t kSortTableSize = std::tuple_size_v<decltype(setup::CollationState::sortTable)>;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A cause that throws the rest of a file out of step explains every later line.
constexpr size_t kEveryLaterLine = SIZE_MAX;

enum class Severity { Problem, Warning, Unreadable };

std::string Reason() { return std::strerror(errno); }

class Report {
public:
    // The same report twice (several files copied by one line) is kept once; nothing is
    // added on a line whose cause is reported already.
    void Add(const fs::path& file, size_t line, const std::string& text, Severity severity = Severity::Problem) {
        Entry added{file.string(), line, text, severity};
        if (IsExplained(added.file, line) || std::find(entries_.begin(), entries_.end(), added) != entries_.end())
            return;
        entries_.push_back(added);
    }
    void Warn(const fs::path& file, size_t line, const std::string& text) { Add(file, line, text, Severity::Warning); }
    void Unreadable(const fs::path& file, const std::string& text) { Add(file, 0, text, Severity::Unreadable); }

    // The cause of what goes wrong on the lines first to last of the file: it replaces what
    // was reported there, and nothing else is reported there after it.
    void Explain(const fs::path& file, size_t first, size_t last, const std::string& text,
                 Severity severity = Severity::Problem) {
        const Range range{file.string(), first, last};
        std::erase_if(entries_, [&](const Entry& entry) { return range.Holds(entry.file, entry.line); });
        explained_.push_back(range);
        entries_.push_back({range.file, first, text, severity});
    }

    // By file, then by line; a whole file after its lines.
    MediumReport Result() {
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return std::tuple(a.file, a.line == 0, a.line) < std::tuple(b.file, b.line == 0, b.line);
        });
        MediumReport result;
        for (const Entry& entry : entries_) {
            result.lines.push_back(entry.file + (entry.line != 0 ? ":" + std::to_string(entry.line) : "") + ": " +
                                   (entry.severity == Severity::Warning ? "warning: " : "") + entry.text);
            result.problems += entry.severity == Severity::Problem;
            result.warnings += entry.severity == Severity::Warning;
            result.unreadable = result.unreadable || entry.severity == Severity::Unreadable;
        }
        return result;
    }

private:
    struct Entry {
        std::string file;
        size_t line;
        std::string text;
        Severity severity;
        bool operator==(const Entry&) const = default;
    };
    struct Range {
        std::string file;
        size_t first;
        size_t last;
        bool Holds(const std::string& name, size_t line) const {
            return name == file && ((line >= first && line <= last) || (line == 0 && last == kEveryLaterLine));
        }
    };
    bool IsExplained(const std::string& file, size_t line) const {
        return std::any_of(explained_.begin(), explained_.end(),
                           [&](const Range& range) { return range.Holds(file, line); });
    }
    std::vector<Entry> entries_;
    std::vector<Range> explained_;
};

// Windows drops the dots and blanks at the end of a path.
void DropTrailingDotsAndBlanks(std::vector<std::string>& parts) {
    if (parts.empty()) return;
    std::string& last = parts.back();
    last.erase(last.find_last_not_of(". ") + 1);
    if (last.empty()) parts.pop_back();
}

// The parts of a Windows path, either separator, "." dropped and ".." going one up, the dots
// and blanks at its end dropped; nothing when ".." would leave the root.
std::optional<std::vector<std::string>> PathParts(std::string_view path) {
    std::vector<std::string> parts;
    for (size_t start = 0; start <= path.size();) {
        const size_t end = std::min(path.find_first_of("\\/", start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return std::nullopt;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    DropTrailingDotsAndBlanks(parts);
    return parts;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : "\\") + part;
    return joined;
}

// Windows compares names ignoring case: the key of a target file.
std::string Folded(const std::vector<std::string>& parts) {
    std::string key = Joined(parts);
    for (char& c : key) c = static_cast<char>(setup::FoldAscii(static_cast<unsigned char>(c)));
    return key;
}

// The name its author meant, when Windows refuses the one written: without the tabs, line
// ends, dots and blanks at its end.
std::vector<std::string> MeantParts(std::vector<std::string> parts) {
    if (!parts.empty()) parts.back().erase(parts.back().find_last_not_of(". \t\r\n") + 1);
    return parts;
}

// What in the path no Windows file name can hold (a search pattern may hold "*" and "?");
// nothing when Windows takes it.
std::optional<std::string> RefusedCharacter(const std::vector<std::string>& parts, bool pattern = false) {
    for (const std::string& part : parts) {
        for (const char c : part) {
            if (c == '\t') return "a tab";
            if (c == '\r' || c == '\n') return "a line end";
            if (static_cast<unsigned char>(c) < 0x20) return "a control character";
            if (std::string_view(pattern ? "<>\"|" : "<>\"|?*").find(c) != std::string_view::npos)
                return "the character \"" + std::string(1, c) + "\"";
        }
    }
    return std::nullopt;
}

std::string RefusedName(const std::vector<std::string>& parts, const std::string& character) {
    return Quoted(Joined(parts)) + " holds " + character + ", which no Windows file name can";
}

// The directory's entries, sorted by name (the order of a search on the medium does not matter).
std::vector<fs::directory_entry> Entries(const fs::path& directory) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        entries.push_back(*it);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The medium's entry for the parts, each name found as Windows finds it (case ignored). A name
// with a colon is no file name on Windows (and would name a drive there).
std::optional<fs::path> FindOnMedium(const fs::path& medium, const std::vector<std::string>& parts) {
    fs::path path = medium;
    for (const std::string& part : parts) {
        if (part.find(':') != std::string::npos) return std::nullopt;
        std::error_code error;
        if (fs::exists(path / part, error)) {
            path /= part;
            continue;
        }
        const std::vector<fs::directory_entry> entries = Entries(path);
        auto found = std::find_if(entries.begin(), entries.end(), [&part](const fs::directory_entry& entry) {
            return EqualsIgnoreCase(entry.path().filename().string(), part);
        });
        if (found == entries.end()) return std::nullopt;
        path = found->path();
    }
    return path;
}

bool IsDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// Windows' wildcards: "*" any run of characters, "?" one character, case ignored; a pattern
// ending in ".*" also takes a name without a dot ("*.*" takes every name).
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" && name.find('.') == std::string_view::npos &&
        MatchesPattern(name, pattern.substr(0, pattern.size() - 2)))
        return true;
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || setup::FoldAscii(static_cast<unsigned char>(pattern[p])) ==
                                             setup::FoldAscii(static_cast<unsigned char>(name[n])))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// A file the install puts into the target: where it comes from on the medium.
struct TargetFile {
    std::optional<fs::path> source;  // nothing: the source is missing
    size_t line = 0;                 // the install.inf line that copies it
    bool reported = false;           // its copy line is reported already
};

// The script's services on the medium, touching nothing: they find the files that the actions
// would copy, remember what the install would make in the target, and report what it would
// miss, each problem on the install.inf line being applied.
class MediumServices final : public setup::ScriptServices {
public:
    MediumServices(const fs::path& medium, const fs::path& script, Report& report)
        : medium_(medium), script_(script), report_(report), current_(kMediumRoot) {}

    size_t line = 0;
    std::map<std::string, TargetFile> targetFiles;  // by their folded target path

    bool MakeDirectory(const std::string& path) override {
        const std::optional<std::vector<std::string>> parts = TargetParts(path);
        if (!parts || parts->empty()) return false;
        if (const std::optional<std::string> refused = RefusedCharacter(*parts)) {
            report_.Add(script_, line, RefusedName(*parts, *refused) + ": the directory is not made");
            failedDirectories_.insert(Folded(MeantParts(*parts)));
            return false;
        }
        if (!TargetDirectoryMade({parts->begin(), parts->end() - 1})) return false;
        if (const auto file = targetFiles.find(Folded(*parts)); file != targetFiles.end() && !file->second.reported) {
            report_.Add(script_, line,
                        Quoted(Joined(*parts)) + " is a file that line " + std::to_string(file->second.line) +
                            " copies: the directory is not made");
            failedDirectories_.insert(Folded(*parts));
            return false;
        }
        madeDirectories_.emplace(Folded(*parts), line);
        return true;
    }

    bool CopyFileReplacing(const std::string& source, const std::string& destination) override {
        const std::optional<std::vector<std::string>> from = MediumParts(source);
        const std::optional<std::vector<std::string>> to = TargetParts(destination);
        if (!to || to->empty()) return false;
        const std::optional<std::string> refused = RefusedCharacter(*to);
        TargetFile& file = targetFiles[Folded(refused ? MeantParts(*to) : *to)];
        file = {std::nullopt, line, true};
        if (refused) {
            report_.Add(script_, line, RefusedName(*to, *refused) + ": the copy fails");
            return false;
        }
        if (const auto made = madeDirectories_.find(Folded(*to)); made != madeDirectories_.end()) {
            report_.Add(script_, line,
                        Quoted(Joined(*to)) + " is a directory that line " + std::to_string(made->second) +
                            " makes: no file can be copied onto it");
            return false;
        }
        if (from) file.source = FindOnMedium(medium_, *from);
        if (!file.source) {
            report_.Add(script_, line, Quoted(from ? Joined(*from) : source) + " is not on the medium");
            return false;
        }
        if (IsDirectory(*file.source)) {
            file.source.reset();
            report_.Add(script_, line, Quoted(Joined(*from)) + " is a directory on the medium, not a file");
            return false;
        }
        file.reported = !TargetDirectoryMade({to->begin(), to->end() - 1});
        return !file.reported;
    }

    void ForEachEntry(const std::string& pattern,
                      const std::function<void(const setup::FoundEntry&)>& onEntry) override {
        const size_t separator = pattern.find_last_of("\\/");
        const std::string directory = separator == std::string::npos ? "" : pattern.substr(0, separator);
        const std::string names = pattern.substr(separator == std::string::npos ? 0 : separator + 1);
        const std::optional<std::vector<std::string>> parts = MediumParts(directory);
        if (const std::optional<std::string> refused = RefusedCharacter({names}, true)) {
            report_.Add(script_, line, RefusedName({names}, *refused) + ": the search finds nothing");
            return;
        }
        int files = 0;
        if (const std::optional<fs::path> found = parts ? FindOnMedium(medium_, *parts) : std::nullopt) {
            for (const fs::directory_entry& entry : Entries(*found)) {
                const std::string name = entry.path().filename().string();
                if (!MatchesPattern(name, names)) continue;
                const bool isDirectory = IsDirectory(entry.path());
                files += isDirectory ? 0 : 1;
                onEntry({name, isDirectory, false});
            }
        }
        if (files == 0) {
            std::string shown = parts ? Joined(*parts) : directory;
            report_.Add(script_, line, "no file on the medium matches " + Quoted((shown.empty() ? "" : shown + "\\") + names));
        }
    }

    std::optional<std::string> CurrentDirectory() override { return current_; }

    bool ChangeDirectory(const std::string& path) override {
        const std::optional<std::vector<std::string>> parts = MediumParts(path);
        if (const std::optional<std::string> refused = parts ? RefusedCharacter(*parts) : std::nullopt) {
            report_.Add(script_, line, RefusedName(*parts, *refused) + ": nothing is copied from it");
            return false;
        }
        const std::optional<fs::path> found = parts ? FindOnMedium(medium_, *parts) : std::nullopt;
        if (!found || !IsDirectory(*found)) {
            report_.Add(script_, line, "directory " + Quoted(parts ? Joined(*parts) : path) + " is not on the medium");
            return false;
        }
        current_ = std::string(kMediumRoot) + "\\" + Joined(*parts);
        return true;
    }

    bool WriteProfileKey(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return true;
    }
    void ShowDestination(const std::string&) override {}

private:
    // The parts of a path below one of the two roots; a relative path is below the working
    // directory, which is always on the medium.
    static std::optional<std::vector<std::string>> PartsBelow(std::string_view root, std::string_view path) {
        if (!setup::StartsWithIgnoreCase(path, root)) return std::nullopt;
        return PathParts(path.substr(root.size()));
    }
    std::optional<std::vector<std::string>> MediumParts(const std::string& path) const {
        if (setup::StartsWithIgnoreCase(path, kMediumRoot)) return PartsBelow(kMediumRoot, path);
        return PartsBelow(kMediumRoot, current_ + "\\" + path);
    }
    static std::optional<std::vector<std::string>> TargetParts(const std::string& path) {
        return PartsBelow(kTargetRoot, path);
    }

    // The target itself, or a directory that an earlier mkdir line makes. Reports the others
    // (nothing can be made or copied into them on a fresh target), but not those whose mkdir
    // line is reported already.
    bool TargetDirectoryMade(const std::vector<std::string>& parts) {
        if (parts.empty() || madeDirectories_.count(Folded(parts))) return true;
        if (!failedDirectories_.count(Folded(parts)))
            report_.Add(script_, line, "no earlier mkdir line makes the directory " + Quoted(Joined(parts)));
        return false;
    }

    fs::path medium_;
    fs::path script_;
    Report& report_;
    std::string current_;
    std::map<std::string, size_t> madeDirectories_;  // folded, with the line that makes each
    std::set<std::string> failedDirectories_;        // folded, as meant by mkdir lines that fail
};

std::string IgnoredBecause(const setup::ScriptLineUse& use, std::string_view line) {
    const std::string key = Quoted(use.key);
    switch (use.use) {
        case setup::LineUse::NoKey: return Quoted(line) + " matches no key: the line is ignored";
        case setup::LineUse::NoValue: return key + " without a value: the line is ignored";
        case setup::LineUse::NoIniKey: return key + " without \"name=value\": the line is ignored";
        case setup::LineUse::TooFewNames: return key + " without two names: the line is ignored";
        case setup::LineUse::Applied: break;
    }
    return {};
}

// The relative path in the target of a name that the install uses there; nothing for an
// absolute name.
std::optional<std::vector<std::string>> TargetPartsOf(std::string_view name) {
    if (name.empty() || name.front() == '\\' || name.front() == '/' || name.find(':') != std::string_view::npos)
        return std::nullopt;
    std::optional<std::vector<std::string>> parts = PathParts(name);
    if (!parts || parts->empty()) return std::nullopt;
    return parts;
}

// The values that keep the blanks and tabs at their end, and go on into what the install makes
// (the title, win.ini, the shortcut, the uninstall entry). The paths of "mkdir" and "display"
// lose their blanks on Windows; the names of the copying keys end at a blank.
constexpr std::string_view kValueKeys[] = {"title",  "dir",       "wbarg",  "debug", "uninstall", "iconname",
                                           "avidelay", "setini", "icongroup", "iconexe"};

bool IsCopyingKey(std::string_view key) { return key == "copy" || key == "xcopy" || key == "sndcopy"; }

// The words of a line cut at runs of blanks, with where each begins.
std::vector<std::pair<size_t, std::string_view>> Words(std::string_view line) {
    std::vector<std::pair<size_t, std::string_view>> words;
    for (size_t start = line.find_first_not_of(' '); start != std::string_view::npos;) {
        const size_t end = std::min(line.find(' ', start), line.size());
        words.emplace_back(start, line.substr(start, end - start));
        start = line.find_first_not_of(' ', end);
    }
    return words;
}

class MediumCheck {
public:
    explicit MediumCheck(const fs::path& medium) : medium_(medium) {}

    MediumReport Run() {
        std::error_code error;
        fs::directory_iterator probe(medium_, error);
        if (error) {
            report_.Unreadable(medium_, "can't read the medium: " + error.message());
            return report_.Result();
        }
        settings_.sourceDirectory = kMediumRoot;
        settings_.targetDirectory = kTargetRoot;
        const std::optional<std::vector<std::string>> scriptParts =
            PathParts(setup::InstallScriptPath(kMediumRoot).substr(kMediumRoot.size()));
        const std::optional<fs::path> script = FindOnMedium(medium_, *scriptParts);
        if (!script || IsDirectory(*script)) {
            report_.Add(script ? *script : medium_ / "install.inf", 0,
                        script ? "Can't open INSTALL.INF: it is a directory" : "Can't open INSTALL.INF");
            return report_.Result();
        }
        MediumServices services(medium_, *script, report_);
        ScanLines(*script, false);
        ApplyScript(*script, services);
        if (settings_.buildWordListsFlag) {
            CheckWordListJobs(*script, services);
        } else if (auto copied = services.targetFiles.find("language.cf");
                   copied != services.targetFiles.end() && !copied->second.reported) {
            report_.Add(*script, copied->second.line, "language.cf is copied, but no mkwlist line builds its jobs");
        }
        return report_.Result();
    }

private:
    // The lines of install.inf or language.cf as the installer's reader takes them, looked at
    // for what their author would not expect: a byte-order mark, carriage returns without line
    // feeds, lines over the 99 characters of a piece. Each is reported as the cause on its
    // line. In language.cf they throw the jobs after them out of step: returns the first line
    // where that happens.
    std::optional<size_t> ScanLines(const fs::path& file, bool jobs) {
        setup::TextReader reader(file.string());
        std::string line;
        while (reader.ReadPiece(line, SIZE_MAX)) {
            const size_t number = reader.PieceLineNumber();
            setup::CutLineFeed(line);
            const auto significant = [](std::string_view piece) { return !piece.empty() && piece[0] != '#'; };
            const auto outOfStep = [&](const std::string& text) {
                report_.Explain(file, number, kEveryLaterLine, text + "; every job after it is read out of step");
                return number;
            };
            if (number == 1 && line.starts_with(kByteOrderMark)) {
                const std::string_view text = std::string_view(line).substr(kByteOrderMark.size());
                const std::string mark = "the file starts with a UTF-8 byte-order mark, which the installer ";
                if (jobs && !significant(text)) return outOfStep(mark + "reads as the first line of a job");
                if (jobs)
                    report_.Explain(file, 1, 1,
                                    mark + "keeps in the first field, " + Quoted(setup::FirstFieldText(text)) +
                                        ", and writes into dict.ini");
                else if (significant(text))
                    report_.Explain(file, 1, 1,
                                    mark + "reads as part of this line, so that " + Quoted(text) +
                                        " matches no key and is ignored");
                else
                    report_.Explain(file, 1, 1, mark + "reads as part of this comment: save the file without it",
                                    Severity::Warning);
                continue;
            }
            const size_t carriageReturn = line.find('\r');
            if (carriageReturn != std::string::npos && carriageReturn + 1 < line.size()) {
                const std::string text = "lines end in a carriage return without a line feed: the installer reads "
                                         "them as one line of " +
                                         std::to_string(line.size()) + " characters";
                if (jobs) return outOfStep(text);
                report_.Explain(file, number, number, text);
                continue;
            }
            if (carriageReturn != std::string::npos && significant(line)) {
                report_.Explain(file, number, number,
                                "the line ends in a carriage return without a line feed, which the installer keeps "
                                "as its last character");
                continue;
            }
            for (size_t rest = setup::kSignificantLinePieceLength; rest < line.size();
                 rest += setup::kSignificantLinePieceLength) {
                if (!significant(line.substr(rest))) continue;
                const std::string text =
                    "the line is " + std::to_string(line.size()) + " characters long: the installer " +
                    (!significant(line) ? "reads its first 99 characters as a comment"
                     : jobs             ? "reads its first 99 characters as one line"
                                        : "applies its first 99 characters, cut there, as one line") +
                    " and " + Quoted(line.substr(rest, setup::kSignificantLinePieceLength)) + " as a line of its own";
                if (jobs) return outOfStep(text);
                // The rest of a long comment in install.inf mostly matches no key and does nothing.
                report_.Explain(file, number, number, text, significant(line) ? Severity::Problem : Severity::Warning);
                break;
            }
        }
        return std::nullopt;
    }

    void ApplyScript(const fs::path& script, MediumServices& services) {
        setup::ScriptPass pass(settings_, services);
        setup::TextReader reader(script.string());
        if (!reader.IsOpen()) return report_.Unreadable(script, "can't read it: " + Reason());
        std::string line;
        while (setup::ReadSignificantLine(reader, line)) {
            services.line = reader.PieceLineNumber();
            setup::ScriptLineUse use = setup::ApplyScriptLine(line, pass);
            if (use.use == setup::LineUse::NoKey) use = setup::ApplyFirstPassLine(line, settings_);
            if (use.use != setup::LineUse::Applied) {
                report_.Add(script, services.line, IgnoredBecause(use, line));
                continue;
            }
            keyLines_[std::string(use.key)] = services.line;
            CheckLineEnd(script, services.line, use.key, line);
            if (use.key == "uninstall" && settings_.uninstallName.empty())
                report_.Warn(script, services.line, "\"uninstall\" with an empty name: no uninstall entry is made");
        }
        if (reader.Failed()) report_.Unreadable(script, "can't read it: " + Reason());
    }

    // What the end of an applied line does: names of a copying line end at a blank, and a
    // value keeps the blanks and tabs at its end.
    void CheckLineEnd(const fs::path& script, size_t number, std::string_view key, std::string_view line) {
        const auto words = Words(line);
        if (IsCopyingKey(key) && words.size() > 3) {
            // The target its author may have meant: the names from any word after the first
            // on, as written or with the blanks dropped (a stray blank). An xcopy or sndcopy
            // target is a directory.
            const auto meant = [&](const std::string& name) {
                if (const std::optional<std::vector<std::string>> parts = TargetPartsOf(name))
                    cutCopyTargets_.push_back({Folded(MeantParts(*parts)), key != "copy"});
            };
            for (size_t w = 2; w < words.size(); ++w) {
                std::string name(line.substr(words[w].first));
                meant(name);
                std::erase(name, ' ');
                meant(name);
            }
            report_.Explain(script, number, number,
                            "names end at the first blank: the installer takes " + Quoted(words[1].second) +
                                " and " + Quoted(words[2].second) + " and ignores " +
                                Quoted(line.substr(words[3].first)));
            return;
        }
        const std::string_view value = setup::ValueAfterFirstBlank(line).value_or("");
        if (value.empty() || (value.back() != ' ' && value.back() != '\t')) return;
        if (std::find(std::begin(kValueKeys), std::end(kValueKeys), key) == std::end(kValueKeys)) return;
        report_.Warn(script, number,
                     std::string("the value ends in ") + (value.back() == ' ' ? "a blank" : "a tab") +
                         ", which the installer keeps: " + Quoted(value));
    }

    // A file that the word-list builds read in the target: found among the copies, or reported
    // on the given line. Nothing when it is missing (reported here or at its copy line).
    std::optional<fs::path> CopiedFile(const MediumServices& services, std::string_view name, const fs::path& file,
                                       size_t line, const std::string& what) {
        const std::optional<std::vector<std::string>> parts = TargetPartsOf(name);
        if (!parts) return std::nullopt;
        if (const std::optional<std::string> refused = RefusedCharacter(*parts)) {
            report_.Add(file, line, what + " " + RefusedName(*parts, *refused));
            return std::nullopt;
        }
        const auto found = services.targetFiles.find(Folded(*parts));
        if (found != services.targetFiles.end()) return found->second.reported ? std::nullopt : found->second.source;
        // A name that a copying line cut at a blank meant is reported on that line already.
        const std::string folded = Folded(*parts);
        const std::string directory = Folded({parts->begin(), parts->end() - 1});
        if (std::none_of(cutCopyTargets_.begin(), cutCopyTargets_.end(), [&](const CutCopyTarget& cut) {
                return cut.folded == (cut.directory ? directory : folded);
            }))
            report_.Add(file, line, what + " " + Quoted(name) + ": no line of install.inf copies it into the target");
        return std::nullopt;
    }

    void CheckWordListJobs(const fs::path& script, MediumServices& services) {
        const size_t mkwlistLine = keyLines_["mkwlist"];
        if (!settings_.displayFile.empty())
            CopiedFile(services, settings_.displayFile, script, keyLines_["display"], "display file");
        auto table = services.targetFiles.find(Folded(*TargetPartsOf(setup::SortTablePath())));
        if (table != services.targetFiles.end() && table->second.source) {
            std::error_code error;
            const std::uintmax_t size = fs::file_size(*table->second.source, error);
            const std::string shown = "sort table is " + std::to_string(size) + " bytes";
            if (error)
                report_.Unreadable(*table->second.source, "can't read it: " + error.message());
            else if (size < kSortTableSize)
                report_.Add(script, table->second.line, shown + ", not " + std::to_string(kSortTableSize));
            else if (size > kSortTableSize)
                report_.Warn(script, table->second.line,
                             shown + ": the installer reads the first " + std::to_string(kSortTableSize) +
                                 " and ignores the rest");
        }
        const std::optional<fs::path> languageCf = CopiedFile(services, "language.cf", script, mkwlistLine, "job file");
        if (languageCf) CheckLanguageCf(*languageCf, services);
    }

    void CheckLanguageCf(const fs::path& file, const MediumServices& services) {
        const std::optional<size_t> outOfStep = ScanLines(file, true);
        setup::LanguageCfReader reader(file.string());
        if (!reader.IsOpen()) return report_.Unreadable(file, "can't read it: " + Reason());
        std::map<std::string, size_t> builtLists;  // TO lists of the jobs so far, folded, with their lines
        setup::LanguageEntry entry;
        size_t jobs = 0;
        for (;; ++jobs) {
            try {
                if (!reader.ReadDescription(entry)) break;
                if (!entry.displayName.empty() && std::string(" \t").find(entry.displayName.back()) != std::string::npos)
                    report_.Warn(file, reader.Lines().description,
                                 "the language's name ends in " +
                                     std::string(entry.displayName.back() == ' ' ? "a blank" : "a tab") +
                                     ", which the installer keeps in dict.ini: " + Quoted(entry.displayName));
            } catch (const setup::FatalError& error) {
                report_.Add(file, reader.Lines().description, error.what());
            }
            const size_t descriptionLine = reader.Lines().description;
            if (!reader.ReadListNames(entry)) {
                // A job, though cut short: the file does not hold "no job".
                return report_.Add(file, descriptionLine, "the file ends inside this job: it is not built");
            }
            if (outOfStep && reader.Lines().to >= *outOfStep) break;
            if (CheckListName(file, reader.Lines().from, "FROM", entry.fromListName)) {
                // Named as the installer names it in its messages.
                std::string path = setup::WordListPath(entry.fromListName);
                std::replace(path.begin(), path.end(), '/', '\\');
                const bool built = builtLists.count(Folded(*TargetPartsOf(path))) != 0;
                if (std::optional<fs::path> list =
                        built ? std::nullopt : CopiedFile(services, path, file, reader.Lines().from, "FROM list"))
                    CheckFromList(*list, file, reader.Lines().from, path);
            }
            if (CheckListName(file, reader.Lines().to, "TO", entry.toListName))
                builtLists.emplace(Folded(*TargetPartsOf(setup::WordListPath(entry.toListName))), reader.Lines().to);
        }
        if (jobs == 0) report_.Add(file, 0, "holds no job: the install builds no word list");
    }

    bool CheckListName(const fs::path& file, size_t line, const std::string& which, const std::string& name) {
        if (!setup::IsUsableListName(name)) {
            report_.Add(file, line,
                        which + " list name " + Quoted(name) + " is not a plain file name inside language\\");
            return false;
        }
        if (const std::optional<std::string> refused = RefusedCharacter({name})) {
            report_.Add(file, line, which + " list name " + RefusedName({name}, *refused));
            return false;
        }
        return true;
    }

    void CheckFromList(const fs::path& list, const fs::path& languageCf, size_t line, const std::string& name) {
        const setup::UniqueFile file = setup::OpenFile(list.string(), "rb");
        if (!file) return report_.Unreadable(list, "can't read it: " + Reason());
        errno = 0;
        const std::optional<std::uint64_t> size = setup::FileSize(file.get());
        if (!size) return report_.Unreadable(list, "can't read it: " + (errno ? Reason() : "it is not a plain file"));
        if (*size == 0) report_.Add(languageCf, line, "FROM list " + Quoted(name) + " is empty");
        if (*size % setup::kWordRecordSize != 0)
            report_.Add(languageCf, line,
                        "FROM list " + Quoted(name) + " is " + std::to_string(*size) + " bytes, not a multiple of " +
                            std::to_string(setup::kWordRecordSize));
        setup::NoProgress progress;
        // Read, not mapped: a disc or share that fails half-way gives a line here, not a crash.
        std::optional<setup::LoadedWordList> records;
        try {
            records = setup::LoadWordList(file.get(), setup::CountWordRecords(file.get()), progress,
                                          setup::ListAccess::Read);
        } catch (const std::bad_alloc&) {
            return report_.Add(languageCf, line,
                               "FROM list " + Quoted(name) +
                                   " is too large to hold in memory: the build ends with \"Out of memory\"");
        }
        // A read that comes up short without an error: the file is shorter than its size said.
        if (!records)
            return report_.Unreadable(
                list, "can't read it: " + (std::ferror(file.get()) ? Reason() : "it ends before its last record"));
        int reported = 0;
        for (size_t i = 0; i < records->size(); ++i) {
            const bool head = setup::HeadWordText((*records)[i]).size() == setup::kHeadWordFieldSize;
            const bool translations = setup::TranslationsText((*records)[i]).size() == setup::kTranslationsFieldSize;
            if (!head && !translations) continue;
            if (++reported > kMaxRecordReports) continue;
            report_.Add(list, i + 1,
                        std::string(head && translations ? "head word and translations have"
                                    : head               ? "head word has"
                                                         : "translations have") +
                            " no terminating zero");
        }
        if (reported > kMaxRecordReports)
            report_.Add(list, 0,
                        std::to_string(reported - kMaxRecordReports) + " more records without a terminating zero");
        const BuildLosses losses = FindBuildLosses(records->Records());
        for (size_t k = 0; k < kLossKinds; ++k) {
            const auto kind = static_cast<LossKind>(k);
            if (!losses[kind].empty()) report_.Warn(list, 0, LossSummary(kind, losses[kind]));
        }
    }

    fs::path medium_;
    setup::InstallSettings settings_;
    Report report_;
    std::map<std::string, size_t> keyLines_;  // the last line that applied each key
    struct CutCopyTarget {
        std::string folded;
        bool directory;
    };
    std::vector<CutCopyTarget> cutCopyTargets_;  // what copying lines cut at a blank meant: reported already
};

}  // namespace

MediumReport CheckMedium(const fs::path& medium) { return MediumCheck(medium).Run(); }

int CheckExitCode(const MediumReport& report, bool strict) {
    if (report.unreadable) return 2;
    return report.problems != 0 || (strict && report.warnings != 0) ? 1 : 0;
}

}  // namespace wltool
