// Word-list builds through setup.exe, seen from outside: the progress display read from the
// screen while the closing box is up, the TO lists byte for byte, the sort table, and every
// fatal error of a build with the files it leaves behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr size_t kRecordSize = 84;
constexpr size_t kHeadWordField = 31;
constexpr size_t kTranslationsField = 51;
constexpr size_t kMaxHeadWord = 30;
constexpr size_t kMaxTranslations = 50;
constexpr int kScreenHeight = 768;

constexpr COLORREF kFace = RGB(230, 230, 230);
constexpr COLORREF kShadow = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBarInside = RGB(0, 0, 128);
constexpr COLORREF kBarFill = RGB(0, 128, 0);
constexpr COLORREF kCounterFill = RGB(0, 0, 104);

// The closing message box sits in the middle of the screen; probes stay out of it.
constexpr RECT kClosingBoxArea{380, 350, 645, 435};

COLORREF GradientAt(int y) { return RGB(0, 0, 200 - 3 * ((63 * y) / kScreenHeight)); }

// ---------------------------------------------------------------------------------------
// Word lists composed here.

// A FROM record as another program may have written it: each text is cut at its field's
// width (no zero then), the rest of the field is `filler`, and the trailing field is free.
struct FromRecord {
    std::string headWord;
    std::string translations;
    char filler = '\0';
    std::string trailing = std::string(2, '\0');
};

std::string Field(const std::string& text, size_t width, char filler = '\0') {
    std::string field = text.substr(0, width);
    if (field.size() < width) field.push_back('\0');
    field.resize(width, filler);
    return field;
}

// The text of a field as a reader of the format sees it: up to its zero, at most the width.
std::string FieldText(const std::string& text, size_t width) {
    std::string field = text.substr(0, width);
    return field.substr(0, field.find('\0'));
}

std::string RecordBytes(const FromRecord& record) {
    return Field(record.headWord, kHeadWordField, record.filler) +
           Field(record.translations, kTranslationsField, record.filler) + record.trailing;
}

std::string ComposedRecord(const std::string& headWord, const std::string& translations) {
    return Field(headWord, kHeadWordField) + Field(translations, kTranslationsField) + std::string(2, '\0');
}

std::string WordListBytes(const std::vector<FromRecord>& records) {
    std::string bytes;
    for (const FromRecord& record : records) bytes += RecordBytes(record);
    return bytes;
}

struct ScratchRecord {
    std::string headWord;
    std::string translation;
};

// Every translation of every FROM record, in file order, as the head word of a record of its own.
std::vector<ScratchRecord> Inverted(const std::vector<FromRecord>& from) {
    std::vector<ScratchRecord> scratch;
    for (const FromRecord& record : from) {
        const std::string headWord = FieldText(record.headWord, kHeadWordField);
        const std::string translations = FieldText(record.translations, kTranslationsField);
        for (size_t at = 0; at < translations.size();) {
            if (translations[at] == ',') {
                ++at;
                continue;
            }
            size_t end = translations.find(',', at);
            if (end == std::string::npos) end = translations.size();
            const std::string piece = translations.substr(at, end - at);
            at = end;
            const size_t first = piece.find_first_not_of(' ');
            const std::string word = first == std::string::npos ? std::string() : piece.substr(first);
            if (word.size() <= kMaxHeadWord && headWord.size() <= kMaxTranslations) scratch.push_back({word, headWord});
        }
    }
    return scratch;
}

std::string ScratchBytes(const std::vector<ScratchRecord>& scratch) {
    std::string bytes;
    for (const ScratchRecord& record : scratch) bytes += ComposedRecord(record.headWord, record.translation);
    return bytes;
}

// A head-word order: negative, zero or positive.
using HeadWordOrder = std::function<int(const std::string&, const std::string&)>;

// The English collation, case-insensitive, hyphens and apostrophes as symbols.
int Collated(const std::string& a, const std::string& b) {
    const int result = CompareStringA(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT),
                                      NORM_IGNORECASE | SORT_STRINGSORT, a.c_str(), -1, b.c_str(), -1);
    return result - CSTR_EQUAL;
}

std::string Mapped(const std::string& table, const std::string& text) {
    std::string mapped;
    for (char c : text) {
        const unsigned char weight = static_cast<unsigned char>(table[static_cast<unsigned char>(c)]);
        if (weight == 0) break;
        if (weight != 1) mapped.push_back(static_cast<char>(weight));
    }
    return mapped;
}

HeadWordOrder ByTable(const std::string& table) {
    return [table](const std::string& a, const std::string& b) {
        const std::string ma = Mapped(table, a), mb = Mapped(table, b);
        return std::lexicographical_compare(
                   ma.begin(), ma.end(), mb.begin(), mb.end(),
                   [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); })
                   ? -1
                   : (ma == mb ? 0 : 1);
    };
}

// One record of the TO list: a head word and the translations merged into it, in the order
// of the scratch list (the sort leaves equal head words in no defined order).
struct ToRun {
    std::string headWord;
    std::vector<std::string> translations;
    size_t lastIndex = 0;  // index of the run's last record in the sorted scratch list
};

std::vector<ToRun> ExpectedRuns(std::vector<ScratchRecord> scratch, const HeadWordOrder& order) {
    std::stable_sort(scratch.begin(), scratch.end(),
                     [&](const ScratchRecord& a, const ScratchRecord& b) { return order(a.headWord, b.headWord) < 0; });
    std::vector<ToRun> runs;
    for (size_t i = 0; i < scratch.size(); ++i) {
        if (runs.empty() || runs.back().headWord != scratch[i].headWord) {
            // Head words that order alike but differ in bytes would have no defined order.
            if (!runs.empty() && order(runs.back().headWord, scratch[i].headWord) == 0)
                ADD_FAILURE() << "test data: \"" << runs.back().headWord << "\" and \"" << scratch[i].headWord
                              << "\" order alike";
            runs.push_back({scratch[i].headWord, {}, 0});
        }
        runs.back().translations.push_back(scratch[i].translation);
        runs.back().lastIndex = i;
    }
    return runs;
}

std::string MergedTranslations(const std::vector<std::string>& inOrder) {
    std::string merged = inOrder.front();
    for (size_t i = 1; i < inOrder.size(); ++i)
        if (merged.size() + 2 + inOrder[i].size() <= kMaxTranslations) merged += ", " + inOrder[i];
    return merged;
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127 && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// The TO list byte for byte: each record is the run's head word with the translations merged
// in one of the orders the sort may have left them in.
void ExpectToList(const std::string& actual, const std::vector<ToRun>& runs) {
    ASSERT_EQ(actual.size(), runs.size() * kRecordSize);
    for (size_t i = 0; i < runs.size(); ++i) {
        const ToRun& run = runs[i];
        ASSERT_LE(run.translations.size(), 6u) << "test data: run too long to try every order";
        std::vector<std::string> order = run.translations;
        std::sort(order.begin(), order.end());
        std::set<std::string> allowed;
        do {
            allowed.insert(ComposedRecord(run.headWord, MergedTranslations(order)));
        } while (std::next_permutation(order.begin(), order.end()));
        const std::string record = actual.substr(i * kRecordSize, kRecordSize);
        ASSERT_EQ(allowed.count(record), 1u)
            << "record " << i << ": " << Printable(record) << "\n  expected " << Printable(*allowed.begin());
    }
}

// ---------------------------------------------------------------------------------------
// Media, targets and runs.

struct Job {
    std::string description;
    std::string fromList;
    std::string toList;
};

std::string LanguageCf(const std::vector<Job>& jobs) {
    std::string text;
    for (const Job& job : jobs) text += job.description + "\r\n" + job.fromList + "\r\n" + job.toList + "\r\n";
    return text;
}

// A medium with the script and the files (names relative to the medium, "language\x" allowed).
std::string MakeMedium(const std::string& script, const std::vector<std::pair<std::string, std::string>>& files) {
    std::string medium = MakeTempDir("medium");
    CreateDirectoryA(JoinPath(medium, "language").c_str(), nullptr);
    CreateDirectoryA(JoinPath(medium, "tables").c_str(), nullptr);
    WriteFileBytes(JoinPath(medium, "install.inf"), script);
    for (const auto& [name, bytes] : files) WriteFileBytes(JoinPath(medium, name), bytes);
    return medium;
}

std::string NewTarget() { return JoinPath(MakeTempDir("target"), "Words"); }

// Starts setup.exe on the medium, types the target and presses Start; the main window.
HWND StartInstall(SetupProcess& setup, const std::string& medium, const std::string& target) {
    if (!setup.Start(SetupExePath(), medium)) return nullptr;
    HWND window = setup.WaitForMainWindow();
    if (!window) return nullptr;
    setup.SetEditText(350, target);
    setup.Click(200);
    return window;
}

void ExpectClosingBox(const std::optional<MessageBoxInfo>& box, HWND window, const std::string& text) {
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Install");
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->icon, BoxIcon::None);
    EXPECT_EQ(box->owner, window);
}

// The fatal box of a build, answered; the run must then end with exit code 1.
void ExpectFatal(SetupProcess& setup, HWND window, const std::string& text) {
    std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->icon, BoxIcon::Error);
    EXPECT_EQ(box->owner, window);
    setup.PressOk(*box);
    EXPECT_EQ(setup.WaitForExit(), 1u);
}

// ---------------------------------------------------------------------------------------
// Pixels.

ScreenImage Region(const ScreenImage& screen, int left, int top, int right, int bottom) {
    ScreenImage region;
    region.width = right - left;
    region.height = bottom - top;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) region.pixels.push_back(screen.At(x, y));
    return region;
}

ScreenImage Filled(int width, int height, const std::function<COLORREF(int y)>& rowColour) {
    ScreenImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) image.pixels.insert(image.pixels.end(), width, rowColour(y));
    return image;
}

// The image after one line of text is drawn on it the way the program draws its lines:
// transparent background, one line, left and top aligned in the rectangle and clipped to it.
ScreenImage WithText(const ScreenImage& below, const std::string& text, HFONT font, COLORREF colour, RECT rect,
                     UINT alignment = DT_LEFT | DT_TOP) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = below.width;
    info.bmiHeader.biHeight = -below.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    auto* pixels = static_cast<DWORD*>(bits);
    for (size_t i = 0; i < below.pixels.size(); ++i) {
        const COLORREF c = below.pixels[i];
        pixels[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE | alignment);
    GdiFlush();
    ScreenImage result = below;
    for (size_t i = 0; i < result.pixels.size(); ++i)
        result.pixels[i] = RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}

HFONT SystemFont() { return static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

struct TitleFont {
    HFONT font = CreateFontA(40, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Times New Roman");
    ~TitleFont() { DeleteObject(font); }
};

// Pixels of the screen region that differ from the expected image, "x,y" for the first few.
std::string Differences(const ScreenImage& screen, int left, int top, const ScreenImage& expected) {
    std::string report;
    int count = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (screen.At(left + x, top + y) != expected.At(x, y) && ++count <= 5)
                report += " (" + std::to_string(left + x) + "," + std::to_string(top + y) + ")";
    return count == 0 ? std::string() : std::to_string(count) + " pixels differ:" + report;
}

int CountColour(const ScreenImage& screen, int left, int top, int right, int bottom, COLORREF colour) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) count += screen.At(x, y) == colour;
    return count;
}

bool InsideRect(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// The caption at its row: the name in black at (30, row), again in light grey two pixels up
// and left, over the gradient, cut at x = 480.
void ExpectCaption(const ScreenImage& screen, int row, const std::string& name) {
    SCOPED_TRACE("caption at " + std::to_string(row));
    TitleFont title;
    const int top = row - 2;
    ScreenImage expected = Filled(480 - 28, 42, [&](int y) { return GradientAt(top + y); });
    expected = WithText(expected, name, title.font, kShadow, {2, 2, 452, 42});
    expected = WithText(expected, name, title.font, kFace, {0, 0, 452, 42});
    EXPECT_EQ(Differences(screen, 28, top, expected), "");
    EXPECT_GT(CountColour(screen, 28, top, 480, row + 40, kFace), 300);
    EXPECT_GT(CountColour(screen, 28, top, 480, row + 40, kShadow), 100);
    for (int y = top; y < row + 40; ++y)
        for (int x = 480; x < 700; ++x)
            ASSERT_EQ(screen.At(x, y), GradientAt(y)) << "right of the caption at " << x << "," << y;
}

// The bar at 100 %: white frame on the outer rectangle, the inside green with no dark blue
// left, the white "100%" centred.
void ExpectFullBar(const ScreenImage& screen, int barRow) {
    SCOPED_TRACE("bar at " + std::to_string(barRow));
    for (int x = 30; x < 380; ++x) {
        EXPECT_EQ(screen.At(x, barRow), kWhite) << x;
        EXPECT_EQ(screen.At(x, barRow + 19), kWhite) << x;
    }
    for (int y = barRow; y < barRow + 20; ++y) {
        EXPECT_EQ(screen.At(30, y), kWhite) << y;
        EXPECT_EQ(screen.At(379, y), kWhite) << y;
        EXPECT_EQ(screen.At(29, y), GradientAt(y)) << y;
        EXPECT_EQ(screen.At(380, y), GradientAt(y)) << y;
    }
    EXPECT_EQ(CountColour(screen, 31, barRow + 1, 379, barRow + 19, kBarInside), 0);
    // The text's own pixels lie within its extent, centred on the bar.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, SystemFont());
    SIZE extent{};
    GetTextExtentPoint32A(dc, "100%", 4, &extent);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int textLeft = 30 + (350 - extent.cx) / 2 - 1;
    const int textRight = textLeft + extent.cx + 2;
    int green = 0;
    for (int y = barRow + 1; y < barRow + 19; ++y)
        for (int x = 31; x < 379; ++x) {
            if (x >= textLeft && x < textRight) continue;
            ASSERT_EQ(screen.At(x, y), kBarFill) << "bar inside at " << x << "," << y;
            ++green;
        }
    EXPECT_GT(green, 18 * 300);
    EXPECT_GT(CountColour(screen, textLeft, barRow + 1, textRight, barRow + 19, kWhite), 20);
    ScreenImage expected = Filled(350, 20, [](int) { return kBarFill; });
    expected = WithText(expected, "100%", SystemFont(), kWhite, {0, 0, 350, 20}, DT_CENTER | DT_VCENTER);
    EXPECT_EQ(Differences(screen, 30 + 1, barRow + 1, Region(expected, 1, 1, 349, 19)), "");
}

// ---------------------------------------------------------------------------------------
// Data.

// Made-up English words, all different letter for letter, some capitalised, hyphenated,
// with an apostrophe or with an accented last vowel (code page 1252).
std::string EnglishWord(int k) {
    static const char* const kSyllables[] = {"ba", "ke", "li", "mo", "nu", "ra", "se",
                                             "ti", "vo", "wy", "za", "pe", "do"};
    std::string word = std::string(kSyllables[k % 13]) + kSyllables[(k / 13) % 13] + kSyllables[(k / 169) % 13];
    if (k % 9 == 2) {
        static const std::string kPlain = "aeiouy", kAccented = "\xE0\xE9\xEE\xF4\xFB\xFF";
        word.back() = kAccented[kPlain.find(word.back())];
    }
    if (k % 7 == 3) word.insert(2, "-");
    if (k % 11 == 4) word += "'s";
    if (k % 5 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

std::string Padded(const std::string& start, size_t length, char pad) {
    return start + std::string(length - start.size(), pad);
}

// A German-English list of `count` generated records (each English word in at most three
// of them, the separators "," and ", " and ",,  "; some records with stray bytes after the
// texts and in the trailing field) and the records worth guarding after them.
std::vector<FromRecord> GermanEnglishList(int count) {
    std::vector<FromRecord> records;
    const int words = count + 10;
    for (int i = 0; i < count; ++i) {
        static const char* const kSeparators[] = {", ", ",", ",,  "};
        const char* separator = kSeparators[i % 3];
        char headWord[16];
        std::snprintf(headWord, sizeof headWord, "Wort%03d", i);
        FromRecord record{headWord, EnglishWord(i) + separator + EnglishWord((3 * i + 1) % words) + separator +
                                        EnglishWord((11 * i + 5) % words)};
        if (i % 4 == 1) {
            record.filler = 'Q';
            record.trailing = "\x7F\x01";
        }
        records.push_back(record);
    }
    records.push_back({"Leerfeld", ""});
    records.push_back({"Kommas", ",,,"});
    records.push_back({"Blank", " ,  "});                              // two empty head words
    records.push_back({Padded("Ueberlang", 35, 'e'), "captain"});      // no zero: cut at 31
    records.push_back({"Dreissig", Padded("q", 30, 'x')});             // 30 characters: kept
    records.push_back({"Einunddreissig", Padded("r", 31, 'y')});       // 31: dropped
    records.push_back({"Eingerueckt", "   " + Padded("s", 30, 'z')});  // 30 after the blanks
    records.push_back({"Vollfeld", "one,two,three,four,five,six,seven,eight,nine,tenXYZEXTRA", 'W'});
    records.push_back({"Schwanz", "tail ,tail"});               // the blank stays
    records.push_back({Padded("Laenge20", 20, 'x'), "grenz"});  // 20 + 28 + 2 = 50
    records.push_back({Padded("Laenge28", 28, 'x'), "grenz"});
    records.push_back({Padded("Laenge29", 29, 'x'), "grenz"});
    records.push_back({Padded("Laenge10", 10, 'x'), "grenz,Schluss"});
    return records;
}

std::string BuildScript(const std::string& extra, const std::vector<std::string>& lists) {
    std::string script = "title Word list test\r\n" + extra + "mkdir language\r\ncopy language.cf language.cf\r\n";
    for (const std::string& list : lists) script += "copy language\\" + list + " language\\" + list + "\r\n";
    return script + "mkwlist\r\n";
}

// ---------------------------------------------------------------------------------------

TEST(WordListBuild, OneBuildWithDetailLinesShowsEveryPartAndWritesTheToListByteForByte) {
    const std::vector<FromRecord> from = GermanEnglishList(250);
    const std::string fromBytes = WordListBytes(from) + std::string(40, '\x55');  // a piece that is no record
    const std::vector<ScratchRecord> scratch = Inverted(from);
    const std::vector<ToRun> runs = ExpectedRuns(scratch, Collated);
    const std::string name = "English - German: a caption too long for its place";
    const std::string medium = MakeMedium(
        BuildScript("", {"deen.wb"}), {{"language.cf", LanguageCf({{"ende.wb,en,de," + name, "deen.wb", "ende.wb"}})},
                                       {"language\\deen.wb", fromBytes}});
    const std::string target = NewTarget();

    SetupProcess setup;
    HWND window = StartInstall(setup, medium, target);
    ASSERT_NE(window, nullptr);
    std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000);
    ExpectClosingBox(box, window, "Install Finished ");
    const ScreenImage screen = CaptureScreen();

    ExpectCaption(screen, 100, name);
    ExpectFullBar(screen, 155);

    // Five phase lines from row 195 (one row skipped for dict.ini), each with its last
    // counter value in the box at x 210 and "Done." at x 300.
    const size_t fromCount = from.size();
    const size_t scratchCount = scratch.size();
    size_t lastToIndex = 0;
    for (const ToRun& run : runs)
        if (run.lastIndex % 100 == 0) lastToIndex = run.lastIndex;
    const struct {
        const char* text;
        std::vector<std::string> counters;  // any one of them
    } lines[] = {
        {"Reading FROM wordlist", {std::to_string((fromCount - 1) / 100 * 100)}},
        {"Writing TEMP wordlist", {std::to_string((fromCount - 1) / 100 * 100)}},
        {"Reading TO wordlist", {std::to_string((scratchCount - 1) / 100 * 100)}},
        {"Sorting TO wordlist", {}},
        {"Writing TO wordlist", {std::to_string(lastToIndex)}},
    };
    ASSERT_EQ(fromCount / 100, 2u);
    ASSERT_GT(scratchCount, 500u);
    ASSERT_GT(lastToIndex, 0u);
    std::vector<std::string> thousands;
    for (int k = 1; k <= 30; ++k) thousands.push_back(std::to_string(k * 1000));

    for (int i = 0; i < 5; ++i) {
        const int row = 195 + 25 * i;
        SCOPED_TRACE(lines[i].text);
        auto gradientRows = [row](int y) { return GradientAt(row + y); };
        // The line's text, up to the counter box.
        ScreenImage text =
            WithText(Filled(450, 30, gradientRows), lines[i].text, SystemFont(), kWhite, {0, 0, 450, 30});
        EXPECT_EQ(Differences(screen, 30, row, Region(text, 0, 0, 180, 25)), "");
        EXPECT_GT(CountColour(screen, 30, row, 210, row + 25, kWhite), 50);
        // "Done." from x 300.
        ScreenImage done = WithText(Filled(180, 30, gradientRows), "Done.", SystemFont(), kWhite, {0, 0, 180, 30});
        EXPECT_EQ(Differences(screen, 300, row, Region(done, 0, 0, 180, 25)), "");
        EXPECT_GT(CountColour(screen, 300, row, 480, row + 25, kWhite), 20);
        // The counter box: the counter blue wherever no digit is.
        const std::vector<std::string>& candidates = lines[i].counters.empty() ? thousands : lines[i].counters;
        std::string shown;
        for (const std::string& value : candidates) {
            ScreenImage counter =
                WithText(Filled(80, 16, [](int) { return kCounterFill; }), value, SystemFont(), kWhite, {0, 0, 80, 16});
            if (Differences(screen, 210, row, counter).empty()) shown = value;
        }
        EXPECT_NE(shown, "") << "the counter box shows none of " << candidates.front() << "...";
        EXPECT_EQ(screen.At(289, row), kCounterFill);
        EXPECT_EQ(screen.At(289, row + 15), kCounterFill);
        EXPECT_EQ(screen.At(290, row + 8), GradientAt(row + 8));
        EXPECT_EQ(screen.At(250, row + 16), GradientAt(row + 16));
    }
    // Nothing below the last line, left of the box.
    for (int y = 320; y < 350; ++y)
        for (int x = 0; x < 380; ++x) ASSERT_EQ(screen.At(x, y), GradientAt(y)) << x << "," << y;

    setup.PressOk(*box);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    ExpectToList(ReadFileBytes(JoinPath(target, "language\\ende.wb")), runs);
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\deen.wb")), fromBytes);
    EXPECT_THAT(ListDirectory(JoinPath(target, "language")), ElementsAre("deen.wb", "ende.wb"));
    EXPECT_FALSE(PathExists(JoinPath(target, "language.cf")));
}

TEST(WordListBuild, WithoutDetailLinesOnlyTheRecordCounterShowsInTheTitleFontAtRow170) {
    const std::vector<FromRecord> from = {{"Haus", "house, home"}, {"Heim", "home"}, {"Maus", "mouse"}};
    const std::string medium =
        MakeMedium(BuildScript("debug 0\r\n", {"deen.wb"}),
                   {{"language.cf", LanguageCf({{"ende.wb,en,de,English - German", "deen.wb", "ende.wb"}})},
                    {"language\\deen.wb", WordListBytes(from)}});
    const std::string target = NewTarget();

    SetupProcess setup;
    HWND window = StartInstall(setup, medium, target);
    ASSERT_NE(window, nullptr);
    std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000);
    ExpectClosingBox(box, window, "Install Finished ");
    const ScreenImage screen = CaptureScreen();

    ExpectCaption(screen, 100, "English - German");
    ExpectFullBar(screen, 155);
    // The counter box (210,170)-(290,186): its top five rows lie under the bar, drawn later;
    // below the bar the counter blue with the top of a light grey "0" in the title font.
    TitleFont title;
    ScreenImage counter =
        WithText(Filled(80, 16, [](int) { return kCounterFill; }), "0", title.font, kFace, {0, 0, 80, 16});
    EXPECT_EQ(Differences(screen, 210, 175, Region(counter, 0, 5, 80, 16)), "");
    EXPECT_GT(CountColour(screen, 210, 175, 290, 186, kFace), 5);
    for (int x = 240; x < 290; ++x) EXPECT_EQ(screen.At(x, 180), kCounterFill) << x;
    for (int y = 176; y < 186; ++y) EXPECT_EQ(screen.At(209, y), GradientAt(y)) << y;
    for (int x = 210; x < 290; ++x) EXPECT_EQ(screen.At(x, 186), GradientAt(186)) << x;
    // No phase lines, no "Done.", no counters further down.
    for (int y = 187; y < 345; ++y)
        for (int x = 0; x < 480; ++x) ASSERT_EQ(screen.At(x, y), GradientAt(y)) << x << "," << y;

    setup.PressOk(*box);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    ExpectToList(ReadFileBytes(JoinPath(target, "language\\ende.wb")), ExpectedRuns(Inverted(from), Collated));
}

TEST(WordListBuild, ASecondBuildDrawsItsCaptionAt150AndItsBarAt205AndShowsTheDisplayFileAgain) {
    const std::vector<FromRecord> german = {{"Haus", "house"}, {"Baum", "tree, wood"}};
    const std::vector<FromRecord> french = {{"maison", "house,home"}, {"arbre", "tree"}, {"foyer", "home"}};
    const std::string medium =
        MakeMedium(BuildScript("display welcome.txt\r\n", {"deen.wb", "fren.wb"}) + "copy welcome.txt welcome.txt\r\n",
                   {{"language.cf", LanguageCf({{"ende.wb,en,de,English - German", "deen.wb", "ende.wb"},
                                                {"enfr.wb,en,fr,English - French", "fren.wb", "enfr.wb"}})},
                    {"language\\deen.wb", WordListBytes(german)},
                    {"language\\fren.wb", WordListBytes(french)},
                    {"welcome.txt", std::string("Word lists built.\r\nThank you.\0not shown", 40)}});
    const std::string target = NewTarget();
    const std::string shown = "Word lists built.\r\nThank you.";

    SetupProcess setup;
    HWND window = StartInstall(setup, medium, target);
    ASSERT_NE(window, nullptr);
    std::optional<MessageBoxInfo> first = setup.WaitForMessageBox(60000);
    ExpectClosingBox(first, window, shown);
    const ScreenImage before = CaptureScreen();
    ExpectCaption(before, 100, "English - German");
    ExpectFullBar(before, 155);
    setup.PressOk(*first);

    std::optional<MessageBoxInfo> second = setup.WaitForMessageBox(60000);
    ExpectClosingBox(second, window, shown);
    const ScreenImage after = CaptureScreen();
    ExpectFullBar(after, 205);
    // The second caption is drawn over the first bar; below it, where the first build drew
    // nothing, the caption is exactly what it should be.
    EXPECT_GT(CountColour(after, 28, 148, 480, 190, kFace), 300);
    EXPECT_GT(CountColour(after, 28, 176, 480, 190, kFace) + CountColour(after, 28, 176, 480, 190, kShadow), 20);
    // What the second build changed lies in its caption, its bar and its detail lines from 320.
    const RECT drawn[] = {{28, 148, 480, 190}, {30, 205, 380, 225}, {30, 320, 480, 445}};
    int changed = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < 1024; ++x) {
            if (InsideRect(kClosingBoxArea, x, y) || before.At(x, y) == after.At(x, y)) continue;
            ++changed;
            const bool expected =
                std::any_of(std::begin(drawn), std::end(drawn), [&](const RECT& r) { return InsideRect(r, x, y); });
            ASSERT_TRUE(expected) << "changed at " << x << "," << y;
        }
    EXPECT_GT(changed, 1000);
    // The second build's phase lines continue at 320 and 345, left of the box.
    EXPECT_GT(CountColour(after, 30, 320, 200, 345, kWhite), 50);
    EXPECT_GT(CountColour(after, 300, 345, 380, 370, kWhite), 20);
    setup.PressOk(*second);
    EXPECT_EQ(setup.WaitForExit(), 0u);

    ExpectToList(ReadFileBytes(JoinPath(target, "language\\ende.wb")), ExpectedRuns(Inverted(german), Collated));
    ExpectToList(ReadFileBytes(JoinPath(target, "language\\enfr.wb")), ExpectedRuns(Inverted(french), Collated));
}

TEST(WordListBuild, ASortTableInTheTargetOrdersTheToListByItsWeights) {
    // Reversed weights: a later letter sorts first, capitals after small letters; the hyphen
    // is dropped, and bytes after the 256th are not part of the table.
    std::string table(256, '\0');
    for (int b = 2; b < 256; ++b) table[b] = static_cast<char>(257 - b);
    table['-'] = 1;
    const std::string tableFile = table + std::string(44, '\x02');
    const std::vector<FromRecord> from = {{"Apfel", "apple, Apple"},
                                          {"Zebra", "zebra"},
                                          {"Birne", "pear, pea-r2"},
                                          {"Umlaut",
                                           "\xE4pfel, \xFC"
                                           "ber"},
                                          {"Kurz", "ab, a, abc"},
                                          {"Mann", "man"},
                                          {"Maenner", "men, man"}};
    const std::string medium =
        MakeMedium(BuildScript("mkdir tables\r\ncopy tables\\english.stb tables\\english.stb\r\n", {"deen.wb"}),
                   {{"language.cf", LanguageCf({{"ende.wb,en,de,English - German", "deen.wb", "ende.wb"}})},
                    {"language\\deen.wb", WordListBytes(from)},
                    {"tables\\english.stb", tableFile}});
    const std::string target = NewTarget();

    SetupProcess setup;
    HWND window = StartInstall(setup, medium, target);
    ASSERT_NE(window, nullptr);
    std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000);
    ExpectClosingBox(box, window, "Install Finished ");
    setup.PressOk(*box);
    EXPECT_EQ(setup.WaitForExit(), 0u);

    const std::vector<ToRun> runs = ExpectedRuns(Inverted(from), ByTable(table));
    std::vector<std::string> heads;
    for (const ToRun& run : runs) heads.push_back(run.headWord);
    // The order by the table, not by the collation.
    EXPECT_THAT(heads,
                ElementsAre("\xFC"
                            "ber",
                            "\xE4pfel", "zebra", "pear", "pea-r2", "men", "man", "a", "apple", "ab", "abc", "Apple"));
    ExpectToList(ReadFileBytes(JoinPath(target, "language\\ende.wb")), runs);
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "tables\\english.stb")), tableFile);
}

// ---------------------------------------------------------------------------------------
// Fatal errors: the box, exit code 1, and the files as the build left them.

TEST(WordListBuildFatal, AMissingFromListStopsTheSecondBuildAfterTheFirstIsComplete) {
    const std::vector<FromRecord> german = {{"Haus", "house, home"}, {"Heim", "home"}};
    const std::string medium =
        MakeMedium(BuildScript("", {"deen.wb"}),
                   {{"language.cf", LanguageCf({{"ende.wb,en,de,English - German", "deen.wb", "ende.wb"},
                                                {"enfr.wb,en,fr,English - French", "fren.wb", "enfr.wb"}})},
                    {"language\\deen.wb", WordListBytes(german)}});
    const std::string target = NewTarget();

    SetupProcess setup;
    HWND window = StartInstall(setup, medium, target);
    ASSERT_NE(window, nullptr);
    std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000);
    ExpectClosingBox(box, window, "Install Finished ");
    setup.PressOk(*box);
    ExpectFatal(setup, window, "Input file \"language\\fren.wb\" missing");

    ExpectToList(ReadFileBytes(JoinPath(target, "language\\ende.wb")), ExpectedRuns(Inverted(german), Collated));
    EXPECT_THAT(ListDirectory(JoinPath(target, "language")), ElementsAre("deen.wb", "ende.wb"));
    EXPECT_THAT(ListDirectory(target), ElementsAre("dict.ini", "language", "language.cf"));
}

// How the existing TO list is kept from being written.
enum class ToListGuard { ReadOnly, OpenElsewhere };

// Runs a build whose TO list cannot be created: the fatal box, the old TO list untouched, and
// the complete scratch list left behind in the order of the FROM list.
void ExpectUnwritableToList(ToListGuard guard) {
    const std::vector<FromRecord> from = GermanEnglishList(40);
    const std::string medium =
        MakeMedium(BuildScript("", {"deen.wb"}),
                   {{"language.cf", LanguageCf({{"ende.wb,en,de,English - German", "deen.wb", "ende.wb"}})},
                    {"language\\deen.wb", WordListBytes(from)}});
    const std::string target = JoinPath(MakeTempDir("target"), "Words");
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(JoinPath(target, "language").c_str(), nullptr));
    const std::string oldList = ComposedRecord("old", "alt");
    const std::string toPath = JoinPath(target, "language\\ende.wb");
    WriteFileBytes(toPath, oldList);
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (guard == ToListGuard::ReadOnly) {
        ASSERT_TRUE(SetFileAttributesA(toPath.c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
        holder = CreateFileA(toPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    }

    SetupProcess setup;
    HWND window = StartInstall(setup, medium, target);
    ASSERT_NE(window, nullptr);
    ExpectFatal(setup, window, "Can't create output file \"language\\ende.wb\" ");
    if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);

    EXPECT_EQ(ReadFileBytes(toPath), oldList);
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\temp.wb")), ScratchBytes(Inverted(from)));
    EXPECT_THAT(ListDirectory(JoinPath(target, "language")), ElementsAre("deen.wb", "ende.wb", "temp.wb"));
    EXPECT_THAT(ListDirectory(target), ElementsAre("dict.ini", "language", "language.cf"));
    SetFileAttributesA(toPath.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Whether this platform refuses to write a read-only file: Wine keeps the attribute in the
// Unix mode bits, which a process running as root writes through.
bool ReadOnlyFilesAreRefused() {
    const std::string probe = JoinPath(MakeTempDir("probe"), "read-only");
    WriteFileBytes(probe, "x");
    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool refused = file == INVALID_HANDLE_VALUE;
    if (!refused) CloseHandle(file);
    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    return refused;
}

TEST(WordListBuildFatal, AToListThatCannotBeCreatedStopsTheBuildAndLeavesTheScratchListBehind) {
    {
        SCOPED_TRACE("TO list open in another program");
        ExpectUnwritableToList(ToListGuard::OpenElsewhere);
    }
    if (ReadOnlyFilesAreRefused()) {
        SCOPED_TRACE("read-only TO list");
        ExpectUnwritableToList(ToListGuard::ReadOnly);
    } else {
        std::printf("read-only TO list not tried: this platform writes read-only files for this user\n");
    }
}

TEST(WordListBuild, ListNamesLongerThan22CharactersAreUsedWhole) {
    // Names of 99 characters, the longest line of language.cf: built whole, and named whole
    // in the message when missing.
    const std::string fromName = Padded("from-", 96, 'f') + ".wb";
    const std::string toName = Padded("to-", 96, 't') + ".wb";
    const std::string missingName = Padded("missing-", 96, 'm') + ".wb";
    const std::vector<FromRecord> from = {{"Haus", "house, home"}, {"Heim", "home"}};
    const std::string medium =
        MakeMedium("copy language.cf language.cf\r\nmkwlist\r\n",
                   {{"language.cf", LanguageCf({{"a.wb,en,de,English - German", fromName, toName},
                                                {"b.wb,en,fr,English - French", missingName, toName}})}});
    const std::string target = JoinPath(MakeTempDir("target"), "Words");
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(JoinPath(target, "language").c_str(), nullptr));
    WriteFileBytes(JoinPath(target, "language\\" + fromName), WordListBytes(from));

    SetupProcess setup;
    HWND window = StartInstall(setup, medium, target);
    ASSERT_NE(window, nullptr);
    std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000);
    ExpectClosingBox(box, window, "Install Finished ");
    setup.PressOk(*box);
    ExpectFatal(setup, window, "Input file \"language\\" + missingName + "\" missing");
    ExpectToList(ReadFileBytes(JoinPath(target, "language\\" + toName)), ExpectedRuns(Inverted(from), Collated));
    EXPECT_THAT(ListDirectory(JoinPath(target, "language")), ElementsAre(fromName, toName));
}

}  // namespace
}  // namespace setup::e2e
