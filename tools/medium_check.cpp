#include "medium_check.h"

#include <algorithm>
#include <map>
#include <optional>
#include <system_error>
#include <tuple>

#include "base/ascii.h"
#include "base/fatal.h"
#include "base/significant_lines.h"
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

class Report {
public:
    // The same problem found twice (several files copied by one line) is reported once.
    void Add(const fs::path& file, size_t line, const std::string& problem) {
        Problem added{file.string(), line, problem};
        if (std::find(problems_.begin(), problems_.end(), added) == problems_.end()) problems_.push_back(added);
    }
    // By file, then by line; a problem of a whole file after those of its lines.
    std::vector<std::string> Lines() {
        std::stable_sort(problems_.begin(), problems_.end(), [](const Problem& a, const Problem& b) {
            return std::tuple(a.file, a.line == 0, a.line) < std::tuple(b.file, b.line == 0, b.line);
        });
        std::vector<std::string> lines;
        for (const Problem& problem : problems_)
            lines.push_back(problem.file + (problem.line != 0 ? ":" + std::to_string(problem.line) : "") + ": " +
                            problem.text);
        return lines;
    }

private:
    struct Problem {
        std::string file;
        size_t line;
        std::string text;
        bool operator==(const Problem&) const = default;
    };
    std::vector<Problem> problems_;
};

// The parts of a Windows path, either separator, "." dropped and ".." going one up; nothing
// when ".." would leave the root.
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
        if (!TargetDirectoryMade({parts->begin(), parts->end() - 1})) return false;
        madeDirectories_.push_back(Folded(*parts));
        return true;
    }

    bool CopyFileReplacing(const std::string& source, const std::string& destination) override {
        const std::optional<std::vector<std::string>> from = MediumParts(source);
        const std::optional<std::vector<std::string>> to = TargetParts(destination);
        if (!to || to->empty()) return false;
        TargetFile& file = targetFiles[Folded(*to)];
        file = {std::nullopt, line, false};
        if (from) file.source = FindOnMedium(medium_, *from);
        if (!file.source || IsDirectory(*file.source)) {
            file.source.reset();
            report_.Add(script_, line, "\"" + (from ? Joined(*from) : source) + "\" is not on the medium");
            file.reported = true;
        }
        if (!TargetDirectoryMade({to->begin(), to->end() - 1})) file.reported = true;
        return !file.reported;
    }

    void ForEachEntry(const std::string& pattern,
                      const std::function<void(const setup::FoundEntry&)>& onEntry) override {
        const size_t separator = pattern.find_last_of("\\/");
        const std::string directory = separator == std::string::npos ? "" : pattern.substr(0, separator);
        const std::string names = pattern.substr(separator == std::string::npos ? 0 : separator + 1);
        const std::optional<std::vector<std::string>> parts = MediumParts(directory);
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
            report_.Add(script_, line,
                        "no file on the medium matches \"" + (shown.empty() ? "" : shown + "\\") + names + "\"");
        }
    }

    std::optional<std::string> CurrentDirectory() override { return current_; }

    bool ChangeDirectory(const std::string& path) override {
        const std::optional<std::vector<std::string>> parts = MediumParts(path);
        const std::optional<fs::path> found = parts ? FindOnMedium(medium_, *parts) : std::nullopt;
        if (!found || !IsDirectory(*found)) {
            report_.Add(script_, line, "directory \"" + (parts ? Joined(*parts) : path) + "\" is not on the medium");
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

    // The target itself, or a directory that an earlier mkdir line makes. Reports the others:
    // nothing can be made or copied into them on a fresh target.
    bool TargetDirectoryMade(const std::vector<std::string>& parts) {
        if (parts.empty() ||
            std::find(madeDirectories_.begin(), madeDirectories_.end(), Folded(parts)) != madeDirectories_.end())
            return true;
        report_.Add(script_, line, "no earlier mkdir line makes the directory \"" + Joined(parts) + "\"");
        return false;
    }

    fs::path medium_;
    fs::path script_;
    Report& report_;
    std::string current_;
    std::vector<std::string> madeDirectories_;
};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

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

// The relative path in the target of a name that the install uses there, folded; nothing for
// an absolute name.
std::optional<std::string> TargetKey(std::string_view name) {
    if (name.empty() || name.front() == '\\' || name.front() == '/' || name.find(':') != std::string_view::npos)
        return std::nullopt;
    const std::optional<std::vector<std::string>> parts = PathParts(name);
    if (!parts || parts->empty()) return std::nullopt;
    return Folded(*parts);
}

class MediumCheck {
public:
    explicit MediumCheck(const fs::path& medium) : medium_(medium) {}

    std::vector<std::string> Run() {
        settings_.sourceDirectory = kMediumRoot;
        settings_.targetDirectory = kTargetRoot;
        const std::optional<std::vector<std::string>> scriptParts =
            PathParts(setup::InstallScriptPath(kMediumRoot).substr(kMediumRoot.size()));
        const std::optional<fs::path> script = FindOnMedium(medium_, *scriptParts);
        if (!script) {
            report_.Add(medium_ / "install.inf", 0, "Can't open INSTALL.INF");
            return report_.Lines();
        }
        MediumServices services(medium_, *script, report_);
        ApplyScript(*script, services);
        if (settings_.buildWordListsFlag) CheckWordListJobs(*script, services);
        return report_.Lines();
    }

private:
    void ApplyScript(const fs::path& script, MediumServices& services) {
        setup::ScriptPass pass(settings_, services);
        setup::TextReader reader(script.string());
        std::string line;
        while (setup::ReadSignificantLine(reader, line)) {
            services.line = reader.PieceLineNumber();
            setup::ScriptLineUse use = setup::ApplyScriptLine(line, pass);
            if (use.use == setup::LineUse::NoKey) use = setup::ApplyFirstPassLine(line, settings_);
            if (use.use == setup::LineUse::Applied)
                keyLines_[std::string(use.key)] = services.line;
            else
                report_.Add(script, services.line, IgnoredBecause(use, line));
        }
    }

    // A file that the word-list builds read in the target: found among the copies, or reported
    // on the given line. Nothing when it is missing (reported here or at its copy line).
    std::optional<fs::path> CopiedFile(const MediumServices& services, std::string_view name, const fs::path& file,
                                       size_t line, const std::string& what) {
        const std::optional<std::string> key = TargetKey(name);
        if (!key) return std::nullopt;
        auto found = services.targetFiles.find(*key);
        if (found == services.targetFiles.end()) {
            report_.Add(file, line, what + " " + Quoted(name) + ": no line of install.inf copies it into the target");
            return std::nullopt;
        }
        return found->second.reported ? std::nullopt : found->second.source;
    }

    void CheckWordListJobs(const fs::path& script, MediumServices& services) {
        const size_t mkwlistLine = keyLines_["mkwlist"];
        if (!settings_.displayFile.empty())
            CopiedFile(services, settings_.displayFile, script, keyLines_["display"], "display file");
        auto table = services.targetFiles.find(*TargetKey(setup::SortTablePath()));
        if (table != services.targetFiles.end() && table->second.source) {
            std::error_code error;
            const std::uintmax_t size = fs::file_size(*table->second.source, error);
            if (!error && size != kSortTableSize)
                report_.Add(script, table->second.line,
                            "sort table is " + std::to_string(size) + " bytes, not " + std::to_string(kSortTableSize));
        }
        const std::optional<fs::path> languageCf = CopiedFile(services, "language.cf", script, mkwlistLine, "job file");
        if (languageCf) CheckLanguageCf(*languageCf, services);
    }

    void CheckLanguageCf(const fs::path& file, const MediumServices& services) {
        setup::LanguageCfReader reader(file.string());
        setup::LanguageEntry entry;
        for (;;) {
            try {
                if (!reader.ReadDescription(entry)) return;
            } catch (const setup::FatalError& error) {
                report_.Add(file, reader.Lines().description, error.what());
            }
            const size_t descriptionLine = reader.Lines().description;
            if (!reader.ReadListNames(entry)) {
                report_.Add(file, descriptionLine, "the file ends inside this job: it is not built");
                return;
            }
            if (CheckListName(file, reader.Lines().from, "FROM", entry.fromListName)) {
                // Named as the installer names it in its messages.
                std::string path = setup::WordListPath(entry.fromListName);
                std::replace(path.begin(), path.end(), '/', '\\');
                if (std::optional<fs::path> list = CopiedFile(services, path, file, reader.Lines().from, "FROM list"))
                    CheckFromList(*list, file, reader.Lines().from, path);
            }
            CheckListName(file, reader.Lines().to, "TO", entry.toListName);
        }
    }

    bool CheckListName(const fs::path& file, size_t line, const std::string& which, const std::string& name) {
        if (setup::IsUsableListName(name)) return true;
        report_.Add(file, line, which + " list name " + Quoted(name) + " is not a plain file name inside language\\");
        return false;
    }

    void CheckFromList(const fs::path& list, const fs::path& languageCf, size_t line, const std::string& name) {
        const setup::UniqueFile file = setup::OpenFile(list.string(), "rb");
        const std::optional<std::uint64_t> size = file ? setup::FileSize(file.get()) : std::nullopt;
        if (!size) {
            report_.Add(languageCf, line, "FROM list " + Quoted(name) + " cannot be read");
            return;
        }
        if (*size == 0) report_.Add(languageCf, line, "FROM list " + Quoted(name) + " is empty");
        if (*size % setup::kWordRecordSize != 0)
            report_.Add(languageCf, line,
                        "FROM list " + Quoted(name) + " is " + std::to_string(*size) + " bytes, not a multiple of " +
                            std::to_string(setup::kWordRecordSize));
        setup::NoProgress progress;
        // Read, not mapped: a disc or share that fails half-way gives a line here, not a crash.
        const std::optional<setup::LoadedWordList> records =
            setup::LoadWordList(file.get(), setup::CountWordRecords(file.get()), progress, setup::ListAccess::Read);
        if (!records) {
            report_.Add(languageCf, line, "FROM list " + Quoted(name) + " cannot be read");
            return;
        }
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
    }

    fs::path medium_;
    setup::InstallSettings settings_;
    Report report_;
    std::map<std::string, size_t> keyLines_;  // the last line that applied each key
};

}  // namespace

std::vector<std::string> CheckMedium(const fs::path& medium) { return MediumCheck(medium).Run(); }

}  // namespace wltool
