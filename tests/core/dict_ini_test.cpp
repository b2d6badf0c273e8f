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
    CreateDictIni(
        EntryFrom("engdeu.wb"), [&skipped] { ++skipped; }, dir.paths);

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
        CreateDictIni(
            EntryFrom("new.wb"), [&skipped] { ++skipped; }, dir.paths);
        EXPECT_EQ(skipped, 1);
        EXPECT_EQ(dir.DictIni(), existing);
    }
}

void ExpectFatal(const std::function<void()>& run, const char* message) {
    try {
        run();
        ADD_FAILURE() << "no fatal error, expected " << message;
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), message);
    }
}

TEST(CreateDictIni, FailsWhenTheFileCanBeNeitherOpenedNorCreated) {
    test::DictIniDir dir;
    int skipped = 0;
    ExpectFatal(
        [&] {
            CreateDictIni(EntryFrom("x.wb"), [&skipped] { ++skipped; },
                          {dir.File("no/dict.ini"), dir.File("no/tmp.ini")});
        },
        "Can't create DICT.INI");
    EXPECT_EQ(skipped, 1);
}

// The three rewrites share one way of replacing dict.ini; each is checked on it here. run says
// whether the rewrite reported dict.ini replaced.
struct Rewrite {
    const char* name;
    std::function<bool(const DictIniPaths&)> run;
};
const LanguageEntry kGerman = EntryFrom("engdeu.wb");
const Rewrite kRewrites[] = {
    {"remove", [](const DictIniPaths& paths) { return RemoveLanguageLines(kGerman, paths); }},
    {"append", [](const DictIniPaths& paths) { return AppendLanguageLine("de", kGerman, paths); }},
    {"sort",
     [](const DictIniPaths& paths) {
         return SortLanguageList([](const std::string& a, const std::string& b) { return CompareAsciiFold(a, b); },
                                 paths) == 0;
     }},
};

const std::string kUnsorted = Crlf(DictIniText("engdeu.wb", "xx,x.wb,1,Spanish\nde,deutsch.wb,1,German\n\n\n"));

TEST(DictIniRewrite, AReadOnlyDictIniStaysUnchangedAndTmpIniStaysBehindWithoutAMessage) {
    for (const Rewrite& rewrite : kRewrites) {
        test::DictIniDir dir;
        dir.WriteDictIni(kUnsorted);
        std::filesystem::permissions(dir.paths.dictIni, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        EXPECT_FALSE(rewrite.run(dir.paths)) << rewrite.name;
        EXPECT_EQ(dir.DictIni(), kUnsorted) << rewrite.name;
        EXPECT_NE(dir.TmpIni(), "") << rewrite.name;
    }
}

TEST(DictIniRewrite, AnIncompleteTmpIniNeverReplacesDictIni) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "needs /dev/full, where every write fails";
    for (const Rewrite& rewrite : kRewrites) {
        test::DictIniDir dir;
        dir.WriteDictIni(kUnsorted);
        std::filesystem::create_symlink("/dev/full", dir.paths.tmpIni);
        rewrite.run(dir.paths);
        // A dict.ini replaced by the link would read zeros without end.
        ASSERT_FALSE(std::filesystem::is_symlink(dir.paths.dictIni)) << rewrite.name;
        EXPECT_EQ(dir.DictIni(), kUnsorted) << rewrite.name;
    }
}

TEST(DictIniRewrite, FailsOnAnUncreatableTmpIniOrAMissingDictIniLeavingTheFilesAsTheyWere) {
    for (const Rewrite& rewrite : kRewrites) {
        test::DictIniDir dir;
        dir.WriteDictIni(kUnsorted);
        std::filesystem::create_directory(dir.paths.tmpIni);
        ExpectFatal([&] { rewrite.run(dir.paths); }, "Can't open TMP.INI");
        EXPECT_EQ(dir.DictIni(), kUnsorted) << rewrite.name;
    }
    for (const Rewrite& rewrite : {kRewrites[0], kRewrites[1]}) {
        test::DictIniDir dir;
        ExpectFatal([&] { rewrite.run(dir.paths); }, "Can't open DICT.INI");
        EXPECT_FALSE(std::filesystem::exists(dir.paths.dictIni) || dir.TmpIniExists()) << rewrite.name;
    }
}

TEST(DictIniRewrite, ALeftOverTmpIniIsTruncatedAndReplacesDictIni) {
    test::DictIniDir dir;
    dir.WriteDictIni(kUnsorted);
    test::WriteFileBytes(dir.paths.tmpIni, std::string(5000, 'z'));
    EXPECT_TRUE(RemoveLanguageLines(kGerman, dir.paths));
    EXPECT_EQ(dir.DictIni(), Crlf(DictIniText("engdeu.wb", "xx,x.wb,1,Spanish\n\n\n")));
    EXPECT_FALSE(dir.TmpIniExists());
}

}  // namespace
}  // namespace setup
