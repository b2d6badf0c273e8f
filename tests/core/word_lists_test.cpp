// Word-list builds: the golden cases of tests/cases/word_lists.txt, run step by step on a
// recording display, boxes and a stand-in locale, and the few properties a table cannot hold.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
#include <sstream>

#include "base/ascii.h"
#include "core_fakes.h"
#include "golden_cases.h"
#include "test_files.h"
#include "ui/progress_display.h"
#include "wordlist/build_word_list.h"
#include "wordlist/head_word_sort.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

std::string Rect4(const Rect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

std::string Hex(Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour));
    return text;
}

// Every drawing call as a line; the counter values apart as well.
class RecordingSurface final : public ProgressSurface {
public:
    std::vector<std::string> calls;
    std::vector<std::string> counters;

    void OpenBuildContext() override { calls.push_back("open"); }
    void CloseBuildContext() override { calls.push_back("close"); }
    void CreateCounterBrush(Colour colour) override { calls.push_back("brush " + Hex(colour)); }
    void SelectFont(SurfaceFont font) override {
        calls.push_back(font == SurfaceFont::Title ? "font title" : "font system");
    }
    void SetTextColour(Colour colour) override { calls.push_back("colour " + Hex(colour)); }
    void DrawText(std::string_view text, const Rect& rect) override {
        calls.push_back("text \"" + std::string(text) + "\" " + Rect4(rect));
    }
    void DrawCounter(std::string_view text, const Rect& box) override {
        calls.push_back("counter \"" + std::string(text) + "\" " + Rect4(box));
        counters.emplace_back(text);
    }
    void DrawBar(const BarDrawing& bar) override {
        calls.push_back("bar \"" + std::string(bar.text) + "\" " + Rect4(bar.outer) + " inside " + Rect4(bar.inside) +
                        " fill " + (bar.fill ? Rect4(*bar.fill) : "none") + " colours " + Hex(bar.frameColour) + " " +
                        Hex(bar.insideColour) + " " + Hex(bar.fillColour) + " " + Hex(bar.textColour));
    }
    void ShowWaitCursor() override { calls.push_back("wait cursor"); }
    void RestoreCursor() override { calls.push_back("restore cursor"); }
};

class RecordingMessages final : public MessageService {
public:
    std::vector<std::string> boxes;
    void Show(const std::string& text, const std::string& caption, MessageIcon icon, bool owned) override {
        std::string line =
            caption + "|" + text + "|" + std::to_string(static_cast<int>(icon)) + (owned ? "|owned" : "");
        for (size_t at; (at = line.find('\n')) != std::string::npos;) line.replace(at, 1, "{LF}");
        boxes.push_back(line);
    }
};

// A stand-in locale: "english" exists unless switched off; it folds A-Z, its keys lead with
// "~" so that they differ from the plain fold's, and it cannot key a text holding "!".
class FakeLocale final : public CollationService {
public:
    bool available = true;
    bool SetLocale(std::string_view language) override { return available && language == "english"; }
    int Compare(std::string_view a, std::string_view b) override { return CompareAsciiFold(a, b); }
    bool AppendSortKey(std::string_view text, std::string& key) override {
        if (text.find('!') != std::string_view::npos) return false;
        key += '~';
        for (char c : text) key += static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
        return true;
    }
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// A list's records as "head<TAB>translations" lines; a record with bytes after its texts
// other than zeros shows as "<not zero-padded>".
std::string ListLines(const std::string& bytes) {
    std::string lines;
    for (size_t at = 0; at + 84 <= bytes.size(); at += 84) {
        const std::string record = bytes.substr(at, 84);
        const std::string head = record.substr(0, 31).c_str();
        const std::string translations = record.substr(31, 51).c_str();
        lines +=
            record == test::RecordBytes(head, translations) ? head + "\t" + translations + "\n" : "<not zero-padded>\n";
    }
    return lines;
}

// The state of a run's builds: one display, one collation, the boxes, in a target directory.
struct BuildRun {
    test::TempDir dir;
    test::ScopedWorkingDirectory cwd{dir.Path()};
    RecordingSurface surface;
    ProgressDisplay display;
    RecordingMessages messages;
    CollationState collation;
    FakeLocale locale;
    const bool detail;
    std::string fatal;
    size_t drawn = 0;  // calls already compared

    explicit BuildRun(bool detailFlag) : display(surface, detailFlag), detail(detailFlag) {
        fs::create_directory("language");
    }

    void Step(const test::GoldenSection& step) {
        const std::vector<std::string> args = Words(step.arguments);
        if (step.name == "list") {
            std::string bytes;
            const int repeat = args.size() > 1 ? std::stoi(args[1].substr(1)) : 1;
            // A line with {#} stands for `repeat` lines, {#} replaced by 000, 001 and so on.
            for (const std::string& pattern : test::Lines(step.text)) {
                const bool repeated = pattern.find("{#}") != std::string::npos;
                for (int n = 0; n < (repeated ? repeat : 1); ++n) {
                    std::string line = pattern;
                    char number[12];
                    std::snprintf(number, sizeof number, "%03d", n);
                    for (size_t at; (at = line.find("{#}")) != std::string::npos;) line.replace(at, 3, number);
                    const size_t tab = line.find('\t');
                    bytes +=
                        test::RecordBytes(line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1));
                }
            }
            test::WriteFileBytes(WordListPath(args[0]), bytes);
        } else if (step.name == "file") {
            if (fs::path(args[0]).has_parent_path()) fs::create_directories(fs::path(args[0]).parent_path());
            test::WriteFileBytes(args[0], step.text);
        } else if (step.name == "table") {  // identity, then "c:w" overrides (c a character or xHH)
            std::string table(256, '\0');
            for (int b = 1; b < 256; ++b) table[b] = static_cast<char>(b);
            for (const std::string& weight : args) {
                const size_t colon = weight.rfind(':');
                const std::string c = weight.substr(0, colon);
                const int b = c.size() == 1 ? static_cast<unsigned char>(c[0]) : std::stoi(c.substr(1), nullptr, 16);
                table[b] = static_cast<char>(std::stoi(weight.substr(colon + 1)));
            }
            fs::create_directories("tables");
            test::WriteFileBytes(SortTablePath(), table);
        } else if (step.name == "full-device") {
            fs::create_symlink("/dev/full", args[0]);
        } else if (step.name == "remove") {
            fs::remove_all(args[0]);
        } else if (step.name == "locale") {
            locale.available = args[0] != "unavailable";
            SetCollationLocale(collation, locale, messages, args.size() > 1 ? args[1] : kCollationLanguage);
        } else if (step.name == "skip") {
            display.SkipDetailRow();
        } else if (step.name == "counter") {
            collation.comparisonCounter = std::stoi(args[0]);
        } else if (step.name == "build") {
            LanguageEntry entry;
            entry.displayName = "Deutsch";
            entry.fromListName = args[0];
            entry.toListName = args[1];
            fatal = test::FatalOf([&] {
                BuildWordList({entry, args.size() > 2 ? args[2] : "", detail, collation, locale, display, messages});
            });
        } else {
            Expect(step);
        }
    }

    void Expect(const test::GoldenSection& step) {
        if (step.name == "expect-list") {
            EXPECT_EQ(ListLines(test::ReadFileBytes(WordListPath(step.arguments))), step.text) << step.arguments;
        } else if (step.name == "expect-draw") {
            const std::vector<std::string> calls(surface.calls.begin() + static_cast<long>(drawn), surface.calls.end());
            EXPECT_EQ(calls, test::Lines(step.text));
            drawn = surface.calls.size();
        } else if (step.name == "expect-counters") {
            EXPECT_EQ(surface.counters, Words(step.arguments));
            surface.counters.clear();
        } else if (step.name == "expect-boxes") {
            EXPECT_EQ(messages.boxes, test::Lines(step.text));
            messages.boxes.clear();
        } else if (step.name == "expect-fatal") {
            EXPECT_EQ(fatal, step.arguments);
            fatal.clear();
        } else if (step.name == "expect-files") {
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator("language"))
                names.push_back(entry.path().filename().string());
            std::sort(names.begin(), names.end());
            EXPECT_EQ(names, Words(step.arguments));
        } else if (step.name == "expect-comparisons") {
            EXPECT_EQ(std::to_string(collation.comparisonCounter), step.arguments);
        } else {
            ADD_FAILURE() << "unknown step " << step.name;
        }
    }
};

TEST(WordLists, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("word_lists.txt")) {
        SCOPED_TRACE(c.name);
        BuildRun run(!c.Has("nodetail"));
        for (const test::GoldenSection& step : c.sections)
            if (step.name != "nodetail") run.Step(step);
        EXPECT_EQ(run.fatal, "") << "a fatal error no case expected";
    }
}

}  // namespace
}  // namespace setup
