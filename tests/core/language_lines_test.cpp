#include <gtest/gtest.h>

#include "dict_ini_test_support.h"
#include "dictini/dict_ini.h"

namespace setup {
namespace {

using test::Crlf;
using test::DictIniText;

LanguageEntry Language(const std::string& displayName) {
    LanguageEntry entry;
    entry.secondField = "new.wb";
    entry.thirdField = "7";
    entry.displayName = displayName;
    return entry;
}

// dict.ini after RemoveLanguageLines for the name, the input given in "\n" form.
std::string AfterRemove(const std::string& text, const std::string& displayName) {
    test::DictIniDir dir;
    dir.WriteDictIni(Crlf(text));
    RemoveLanguageLines(Language(displayName), dir.paths);
    return dir.DictIni();
}

// dict.ini after AppendLanguageLine of "nl,new.wb,7,Dutch", the input given as bytes.
std::string AfterAppendBytes(const std::string& bytes, const std::string& firstFieldText = "nl") {
    test::DictIniDir dir;
    dir.WriteDictIni(bytes);
    AppendLanguageLine(firstFieldText, Language("Dutch"), dir.paths);
    return dir.DictIni();
}
std::string AfterAppend(const std::string& text) { return AfterAppendBytes(Crlf(text)); }

TEST(RemoveLanguageLines, DropsLinesByTheFourthFieldLessItsLastCharacter) {
    EXPECT_EQ(
        AfterRemove(DictIniText("x.wb", "de,d.wb,1,German\nes,e.wb,1,Spanish\nDE,d2.wb,2,GERMAN\n\n\n"), "german"),
        Crlf(DictIniText("x.wb", "es,e.wb,1,Spanish\n\n\n")));
    // Five fields: the fourth loses a real character, so "Germann" names German and "German" does not.
    EXPECT_EQ(AfterRemove("a,b,c,German,x\na,b,c,Germann,x\n", "German"), Crlf("a,b,c,German,x\n"));
    // Doubled and leading commas separate once; a comment with four parts is tested like any line.
    EXPECT_EQ(AfterRemove(",,a,,b,c,,German\n# a,b,c,German\n#,b,c,Germany\n", "German"), Crlf("#,b,c,Germany\n"));
    // The last line without a line end loses a real character and so stays.
    EXPECT_EQ(AfterRemove("de,d.wb,1,German\nde,d.wb,1,German", "German"), "de,d.wb,1,German");
}

TEST(RemoveLanguageLines, DropsLinesOfOneToThreeFieldsByTheirFirstField) {
    EXPECT_EQ(AfterRemove("German,x\nGerman,x,y\nx,German\n German,x\n", "German"), Crlf("x,German\n German,x\n"));
    // Without a comma the one field keeps its line feed: headers, "on" and blank lines never match.
    EXPECT_EQ(AfterRemove("on\n[language]\n\n,,,\n", "on"), Crlf("on\n[language]\n\n,,,\n"));
    EXPECT_EQ(AfterRemove("[language],x\n", "[language]"), "");
    // A line of commas only, without a line end, has no field and is kept.
    EXPECT_EQ(AfterRemove("a\n,,,", "a"), Crlf("a\n") + ",,,");
}

TEST(RemoveLanguageLines, TestsALineLongerThan299CharactersPieceByPiece) {
    std::string longHead(299, 'x');
    EXPECT_EQ(AfterRemove(longHead + "a,b,c,German\nkeep\n", "German"), Crlf(longHead + "keep\n"));
    std::string unmatched = std::string(400, 'y') + ",b,c,Spanish\n";
    EXPECT_EQ(AfterRemove(unmatched, "German"), Crlf(unmatched));
}

TEST(AppendLanguageLine, PutsTheLineInPlaceOfTheBlankLineClosingTheSection) {
    EXPECT_EQ(AfterAppend(DictIniText("x.wb")), Crlf(DictIniText("x.wb", "nl,new.wb,7,Dutch\n\n\n")));
    EXPECT_EQ(AfterAppend(DictIniText("x.wb", "de,d.wb,1,German\n\n")),
              Crlf(DictIniText("x.wb", "de,d.wb,1,German\nnl,new.wb,7,Dutch\n\n")));
    // A leading comma of the first-field text is written as it is.
    EXPECT_EQ(AfterAppendBytes(Crlf("[language]\n\n"), ",nl"), Crlf("[language]\n,nl,new.wb,7,Dutch\n\n"));
}

TEST(AppendLanguageLine, KeepsCommentsBlanksAndHeadersAsSectionLines) {
    EXPECT_EQ(AfterAppend("[language]\n# comment\n   \nde,d,1,German\n[other]\n\nafter\n"),
              Crlf("[language]\n# comment\n   \nde,d,1,German\n[other]\nnl,new.wb,7,Dutch\n\nafter\n"));
    // The header in capitals or with more text after it still opens the section; so does every
    // later header, each getting its own copy.
    EXPECT_EQ(AfterAppend("[LANGUAGE] list\na\n\n[Language]\n\nz\n"),
              Crlf("[LANGUAGE] list\na\nnl,new.wb,7,Dutch\n\n[Language]\nnl,new.wb,7,Dutch\n\nz\n"));
    // Without a "[language]" line the file is copied unchanged.
    EXPECT_EQ(AfterAppend("[languag]\n\n[selected]\n"), Crlf("[languag]\n\n[selected]\n"));
}

TEST(AppendLanguageLine, EndsTheSectionAtTheEndOfTheFile) {
    EXPECT_EQ(AfterAppend("[language]\nde,d,1,German\n"), Crlf("[language]\nde,d,1,German\nnl,new.wb,7,Dutch\n\n"));
    // A last line without a line end is completed, never joined to the new line; a single
    // character there is kept as a section line.
    EXPECT_EQ(AfterAppendBytes("[language]\r\nde,d,1,German"),
              Crlf("[language]\nde,d,1,German\nnl,new.wb,7,Dutch\n\n"));
    EXPECT_EQ(AfterAppendBytes("[language]"), Crlf("[language]\nnl,new.wb,7,Dutch\n\n"));
    EXPECT_EQ(AfterAppendBytes("[language]\r\nx"), Crlf("[language]\nx\nnl,new.wb,7,Dutch\n\n"));
}

TEST(AppendLanguageLine, TheLineFeedOfALineOfExactly209CharactersDoesNotEndTheSection) {
    std::string line209(209, 'w');
    EXPECT_EQ(AfterAppend("[language]\n" + line209 + "\nde,d,1,German\n\nend\n"),
              Crlf("[language]\n" + line209 + "\nde,d,1,German\nnl,new.wb,7,Dutch\n\nend\n"));
}

TEST(AppendLanguageLine, ReadsCrLfAndLfAlikeAndStopsAtCtrlZ) {
    EXPECT_EQ(AfterAppendBytes("[language]\r\na\nb\r\n\n# EOF\r\n\x1a"
                               "ignored\r\n"),
              Crlf("[language]\na\nb\nnl,new.wb,7,Dutch\n\n# EOF\n"));
    // A carriage return not followed by a line feed stays part of its line.
    EXPECT_EQ(AfterAppendBytes("[language]\r\na\rb\n\n"), Crlf("[language]\na\rb\nnl,new.wb,7,Dutch\n\n"));
}

TEST(LanguageLines, RebuildingAListedLanguageMovesItsLineToTheEnd) {
    test::DictIniDir dir;
    dir.WriteDictIni(Crlf(DictIniText("x.wb", "de,d.wb,1,German\nes,e.wb,1,Spanish\n\n")));
    LanguageEntry german = Language("German");
    RemoveLanguageLines(german, dir.paths);
    AppendLanguageLine("de", german, dir.paths);
    EXPECT_EQ(dir.DictIni(), Crlf(DictIniText("x.wb", "es,e.wb,1,Spanish\nde,new.wb,7,German\n\n")));
}

}  // namespace
}  // namespace setup
