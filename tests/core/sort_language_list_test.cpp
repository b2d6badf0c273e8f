#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/ascii.h"
#include "dict_ini_test_support.h"
#include "dictini/dict_ini.h"

namespace setup {
namespace {

using test::Crlf;
using test::DictIniText;

const std::string kEnd = "# --- EOF --------------------------------------------------------\n";

int CompareFolded(const std::string& a, const std::string& b) { return CompareAsciiFold(a, b); }

int CountIn(const std::string& bytes) {
    test::DictIniDir dir;
    dir.WriteDictIni(bytes);
    return CountLanguageLines(dir.paths);
}

// dict.ini after a successful SortLanguageList with the given comparison; input as bytes.
std::string AfterSortBytes(const std::string& bytes, const KeyComparison& compare = CompareFolded) {
    test::DictIniDir dir;
    dir.WriteDictIni(bytes);
    EXPECT_EQ(SortLanguageList(compare, dir.paths), 0);
    EXPECT_FALSE(dir.TmpIniExists());
    return dir.DictIni();
}
std::string AfterSort(const std::string& text) { return AfterSortBytes(Crlf(text)); }

TEST(CountLanguageLines, CountsTheLinesAfterAWholeLineHeader) {
    test::DictIniDir dir;
    EXPECT_EQ(CountLanguageLines(dir.paths), -1);
    std::filesystem::create_directory(dir.paths.dictIni);  // opens, but cannot be read
    EXPECT_EQ(CountLanguageLines(dir.paths), -1);

    EXPECT_EQ(CountIn(Crlf(DictIniText("x.wb"))), 0);
    EXPECT_EQ(CountIn(Crlf(DictIniText("x.wb", "a,b,c,German\n\n\n"))), 1);
    EXPECT_EQ(CountIn(Crlf("[LANGUAGE]\na\nb\n")), 2);
    EXPECT_EQ(CountIn(Crlf("[language] \na\nb\n[language]x\nc\n")), 0);
    // A comment or blank line ends the run; a later header starts a new one; a second header
    // met inside is itself a language line and keeps the run going.
    EXPECT_EQ(CountIn(Crlf("[language]\na\n# c\nb\n\n[language]\nd\n[language]\ne\n")), 4);
    EXPECT_EQ(CountIn("[language]\na\r\nb\x1a"
                      "c\r\nd\r\n"),
              2);
    EXPECT_EQ(CountIn(Crlf("[language]\n" + std::string(300, 'x') + "\n")), 2);
}

TEST(SortLanguageList, OrdersByTheFourthFieldOrElseTheFirst) {
    EXPECT_EQ(
        AfterSort(
            DictIniText("x.wb", "sv,s.wb,1,Swedish\nFrench\nde,d.wb,1,German,extra\ndutch,nl\nitaly,x,Aaa\n\n\n")),
        Crlf(DictIniText("x.wb", "dutch,nl\nFrench\nde,d.wb,1,German,extra\nitaly,x,Aaa\nsv,s.wb,1,Swedish\n\n")));
    // The comparison is the one passed in.
    EXPECT_EQ(AfterSortBytes(Crlf("[language]\na\nc\nb\n"),
                             [](const std::string& a, const std::string& b) { return CompareAsciiFold(b, a); }),
              Crlf("[language]\nc\nb\na\n\n" + kEnd));
}

TEST(SortLanguageList, KeepsTheFileUpToTheHeaderAndDropsEverythingAfterTheLines) {
    EXPECT_EQ(AfterSortBytes("; head\n[LANGUAGE] \r\nx\n[Language]\r\nb\na\r\n# note\nc\n\n[other]\nk\n" + kEnd),
              Crlf("; head\n[LANGUAGE] \na\nb\n\n" + kEnd));
    // Lines of a later run move into the first section.
    EXPECT_EQ(AfterSort("[language]\nz\n\n[language]\ny\nx\n\n" + kEnd), Crlf("[language]\nx\ny\nz\n\n" + kEnd));
    EXPECT_EQ(AfterSortBytes("[language]\r\nb\na\x1a"
                             "c\r\n"),
              Crlf("[language]\na\nb\n\n" + kEnd));
}

TEST(SortLanguageList, HandlesLongLinesLongKeysAndLinesWithoutFields) {
    // A line longer than 299 characters is sorted as two lines.
    std::string m299(299, 'm');
    EXPECT_EQ(AfterSort("[language]\n" + m299 + "a\nb\n"), Crlf("[language]\na\nb\n" + m299 + "\n\n" + kEnd));
    // Keys of 200 characters and more take part in full.
    std::string p250(250, 'p');
    EXPECT_EQ(AfterSort("[language]\n" + p250 + "2\n" + p250 + "1\na,b,c," + p250 + "0,x\n"),
              Crlf("[language]\na,b,c," + p250 + "0,x\n" + p250 + "1\n" + p250 + "2\n\n" + kEnd));
    // A line of commas only has the empty key; equal keys keep their file order.
    EXPECT_EQ(AfterSort("[language]\nx,1,1,Same\n,,,\ny,2,2,SAME\na,b,c,Other\n"),
              Crlf("[language]\n,,,\na,b,c,Other\nx,1,1,Same\ny,2,2,SAME\n\n" + kEnd));
}

TEST(SortLanguageList, AnInconsistentComparisonStillGivesBackEveryLine) {
    std::string section;
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i) {
        lines.push_back("l" + std::to_string(i * 7919 % 97));
        section += lines.back() + "\n";
    }
    unsigned state = 1;
    std::string sorted = AfterSortBytes("[language]\n" + section, [&state](const std::string&, const std::string&) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % 3 == 0 ? 2147483647 : -1;  // a failing platform comparison among others
    });
    std::vector<std::string> result;
    size_t start = Crlf("[language]\n").size();
    for (size_t end; (end = sorted.find("\r\n", start)) != std::string::npos && end > start; start = end + 2)
        result.push_back(sorted.substr(start, end - start));
    std::sort(lines.begin(), lines.end());
    std::sort(result.begin(), result.end());
    EXPECT_EQ(result, lines);
}

TEST(SortLanguageList, GivesUpSilentlyLeavingTheFileAsItIs) {
    test::DictIniDir dir;
    EXPECT_EQ(SortLanguageList(CompareFolded, dir.paths), -1);
    EXPECT_FALSE(std::filesystem::exists(dir.paths.dictIni));
    const std::string noWholeLineHeader = Crlf("[language] \nb\na\n");
    dir.WriteDictIni(noWholeLineHeader);
    EXPECT_EQ(SortLanguageList(CompareFolded, dir.paths), -1);
    EXPECT_EQ(dir.DictIni(), noWholeLineHeader);
    EXPECT_FALSE(dir.TmpIniExists());
}

}  // namespace
}  // namespace setup
