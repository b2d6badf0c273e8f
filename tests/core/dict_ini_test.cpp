#include <gtest/gtest.h>

#include <filesystem>

#include "base/ascii.h"
#include "base/fatal.h"
#include "dict_ini_test_support.h"
#include "dictini/dict_ini.h"

namespace setup {
namespace {

using test::Crlf;
using test::DictIniText;

LanguageEntry EntryFrom(const std::string& fromListName) {
    LanguageEntry entry;
    entry.firstFieldText = "de";
    entry.secondField = "deutsch.wb";
    entry.thirdField = "1";
    entry.displayName = "German";
    entry.fromListName = fromListName;
    return entry;
}

TEST(CreateDictIni, WritesTheTwelveLineSkeletonNamingTheFirstFromList) {
    test::DictIniDir dir;
    int skipped = 0;
    CreateDictIni(EntryFrom("engdeu.wb"), [&skipped] { ++skipped; }, dir.paths);

    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(dir.DictIni(),
              "# --- dict.ini --------------------------------------------------\r\n"
              "\r\n"
              "[AddNew]\r\n"
              "on\r\n"
              "\r\n"
              "[selected]\r\n"
              "engdeu.wb\r\n"
              "\r\n"
              "[language]\r\n"
              "\r\n"
              "\r\n"
              "# --- EOF --------------------------------------------------------\r\n");
    EXPECT_EQ(dir.DictIni().size(), 185u + 9u);
    EXPECT_FALSE(dir.TmpIniExists());
}

TEST(CreateDictIni, LeavesAnExistingFileAsItIsAndStillSkipsTheDetailRow) {
    for (const std::string& existing : {std::string(), std::string("unrelated\r\n[selected]\nold.wb\n")}) {
        test::DictIniDir dir;
        dir.WriteDictIni(existing);
        int skipped = 0;
        CreateDictIni(EntryFrom("new.wb"), [&skipped] { ++skipped; }, dir.paths);
        EXPECT_EQ(skipped, 1);
        EXPECT_EQ(dir.DictIni(), existing);
    }
}

TEST(CreateDictIni, FailsWhenTheFileCanBeNeitherOpenedNorCreated) {
    test::DictIniDir dir;
    DictIniPaths missingDirectory{dir.File("no/dict.ini"), dir.File("no/tmp.ini")};
    int skipped = 0;
    try {
        CreateDictIni(EntryFrom("engdeu.wb"), [&skipped] { ++skipped; }, missingDirectory);
        FAIL() << "no fatal error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Can't create DICT.INI");
    }
    EXPECT_EQ(skipped, 1);
}

int CompareFolded(const std::string& a, const std::string& b) { return CompareAsciiFold(a, b); }

// The three rewrites share one way of replacing dict.ini; each is checked on it here.
void RunEachRewrite(const DictIniPaths& paths, const std::function<void(const std::string&)>& check) {
    LanguageEntry german = EntryFrom("engdeu.wb");
    RemoveLanguageLines(german, paths);
    check("remove");
    AppendLanguageLine("de", german, paths);
    check("append");
    SortLanguageList(CompareFolded, paths);
    check("sort");
}

const std::string kUnsorted = Crlf(DictIniText("engdeu.wb", "xx,x.wb,1,Spanish\nde,deutsch.wb,1,German\n\n\n"));

TEST(DictIniRewrite, AReadOnlyDictIniStaysUnchangedAndTmpIniStaysBehindWithoutAMessage) {
    test::DictIniDir dir;
    dir.WriteDictIni(kUnsorted);
    std::filesystem::permissions(dir.paths.dictIni, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                        std::filesystem::perms::others_read);
    RunEachRewrite(dir.paths, [&dir](const std::string& step) {
        EXPECT_EQ(dir.DictIni(), kUnsorted) << step;
        EXPECT_TRUE(dir.TmpIniExists()) << step;
    });
    // The sort reports that it left the file as it was; the last tmp.ini is its complete result.
    EXPECT_EQ(SortLanguageList(CompareFolded, dir.paths), -1);
    EXPECT_EQ(dir.TmpIni(), Crlf(DictIniText("engdeu.wb", "de,deutsch.wb,1,German\nxx,x.wb,1,Spanish\n\n")));
}

TEST(DictIniRewrite, AnIncompleteTmpIniNeverReplacesDictIni) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "needs /dev/full, where every write fails";
    LanguageEntry german = EntryFrom("engdeu.wb");
    for (const std::function<void(const DictIniPaths&)>& rewrite :
         std::initializer_list<std::function<void(const DictIniPaths&)>>{
             [&](const DictIniPaths& paths) { RemoveLanguageLines(german, paths); },
             [&](const DictIniPaths& paths) { AppendLanguageLine("de", german, paths); },
             [](const DictIniPaths& paths) { EXPECT_EQ(SortLanguageList(CompareFolded, paths), -1); }}) {
        test::DictIniDir dir;
        dir.WriteDictIni(kUnsorted);
        std::filesystem::create_symlink("/dev/full", dir.paths.tmpIni);
        rewrite(dir.paths);
        // A dict.ini replaced by the link would read zeros without end.
        ASSERT_FALSE(std::filesystem::is_symlink(dir.paths.dictIni));
        EXPECT_EQ(dir.DictIni(), kUnsorted);
    }
}

TEST(DictIniRewrite, AnUncreatableTmpIniIsFatalAndLeavesDictIniUnchanged) {
    test::DictIniDir dir;
    dir.WriteDictIni(kUnsorted);
    std::filesystem::create_directory(dir.paths.tmpIni);
    LanguageEntry german = EntryFrom("engdeu.wb");
    for (const std::function<void()>& rewrite : std::initializer_list<std::function<void()>>{
             [&] { RemoveLanguageLines(german, dir.paths); },
             [&] { AppendLanguageLine("de", german, dir.paths); },
             [&] { SortLanguageList(CompareFolded, dir.paths); }}) {
        try {
            rewrite();
            ADD_FAILURE() << "no fatal error";
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.what(), "Can't open TMP.INI");
        }
        EXPECT_EQ(dir.DictIni(), kUnsorted);
    }
}

TEST(DictIniRewrite, AMissingDictIniIsFatalForTheLanguageSteps) {
    test::DictIniDir dir;
    LanguageEntry german = EntryFrom("engdeu.wb");
    for (const std::function<void()>& rewrite : std::initializer_list<std::function<void()>>{
             [&] { RemoveLanguageLines(german, dir.paths); }, [&] { AppendLanguageLine("de", german, dir.paths); }}) {
        try {
            rewrite();
            ADD_FAILURE() << "no fatal error";
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.what(), "Can't open DICT.INI");
        }
        EXPECT_FALSE(std::filesystem::exists(dir.paths.dictIni));
        EXPECT_FALSE(dir.TmpIniExists());
    }
}

TEST(DictIniRewrite, ALeftOverTmpIniIsTruncatedAndReplacesDictIni) {
    test::DictIniDir dir;
    dir.WriteDictIni(kUnsorted);
    test::WriteFileBytes(dir.paths.tmpIni, std::string(5000, 'z'));
    RemoveLanguageLines(EntryFrom("engdeu.wb"), dir.paths);
    EXPECT_EQ(dir.DictIni(), Crlf(DictIniText("engdeu.wb", "xx,x.wb,1,Spanish\n\n\n")));
    EXPECT_FALSE(dir.TmpIniExists());
}

}  // namespace
}  // namespace setup
