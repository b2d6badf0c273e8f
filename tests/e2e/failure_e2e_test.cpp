// Runs that must fail: a full disk at each of the program's own writes, and language.cf list
// names that would write outside the target or over the build's scratch list. Each run is
// checked for its boxes, its exit code and the files it leaves; dict.ini, when it existed,
// byte for byte as it was before the run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace setup::e2e {
namespace {

using ::testing::ElementsAreArray;

// A dict.ini of an earlier install, large enough that its rewrite can be cut short.
std::string LargeDictIni() {
    std::string text = "# --- dict.ini " + std::string(50, '-') + "\r\n\r\n[AddNew]\r\non\r\n\r\n";
    for (int i = 0; i < 3000; ++i) text += "# note " + std::to_string(i) + std::string(60, '.') + "\r\n";
    text += "\r\n[selected]\r\nold.wb\r\n\r\n[language]\r\nold.wb,en,xx,Old Language\r\n\r\n";
    return text + "# --- EOF " + std::string(56, '-') + "\r\n";
}

// A FROM list of 600 records with three translations each: a scratch list of 151,200 bytes.
std::string ThreeTranslationList() {
    std::string list;
    for (int i = 0; i < 600; ++i) {
        const std::string n = std::to_string(i);
        list += WordRecord("w" + n, "a" + n + ", b" + n + ", c" + n);
    }
    return list;
}

// Replaces the FROM list by a sparse file of five gigabytes: more records than a 32-bit
// process can hold.
void MakeFromListLargerThanMemory(const std::string& target) {
    HANDLE file = CreateFileA(JoinPath(target, "language\\from.wb").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 5LL << 30;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
}

struct FailureCase {
    const char* name;
    std::string languageCf;
    std::string fromList;
    bool dictIniExists;
    std::optional<std::uint64_t> fileSizeLimit;
    void (*prepare)(const std::string& target);
    std::vector<std::string> boxes;  // the texts of the boxes shown, in order; the last is the error
    bool toListWritten;
};

void MakeScratchListADirectory(const std::string& target) {
    ASSERT_TRUE(CreateDirectoryA(JoinPath(target, "language\\temp.wb").c_str(), nullptr));
}

void LinkToList(const std::string& target) { ASSERT_TRUE(LinkToFullDevice(JoinPath(target, "language\\to.wb"))); }

const std::string kJob = "de,d,1,German\r\nfrom.wb\r\n";

TEST(FailureRuns, EachFailureShowsItsErrorExitsWithOneAndLeavesDictIniAsItWas) {
    const std::string dictIni = LargeDictIni();
    const std::string oneRecord = WordRecord("Haus", "house");
    const FailureCase cases[] = {
        {"full disk at once, no dict.ini",
         kJob + "to.wb\r\n",
         oneRecord,
         false,
         0,
         {},
         {"Can't create DICT.INI"},
         false},
        {"full disk at once", kJob + "to.wb\r\n", oneRecord, true, 0, {}, {"Write error tempfile"}, false},
        {"scratch list cannot be created",
         kJob + "to.wb\r\n",
         oneRecord,
         true,
         std::nullopt,
         MakeScratchListADirectory,
         {"Can't create tempfile"},
         false},
        {"full disk inside the scratch list",
         kJob + "to.wb\r\n",
         ThreeTranslationList(),
         true,
         100000,
         {},
         {"Write error tempfile"},
         false},
        {"TO list on a full disk",
         kJob + "to.wb\r\n",
         oneRecord,
         true,
         std::nullopt,
         LinkToList,
         {"Write error output file"},
         false},
        {"full disk inside tmp.ini",
         kJob + "to.wb\r\n",
         oneRecord,
         true,
         150000,
         {},
         {"Install Finished ", "Write error TMP.INI"},
         true},
        {"TO list outside the target",
         kJob + "..\\..\\esc_to.wb\r\n",
         oneRecord,
         true,
         std::nullopt,
         {},
         {"Invalid word list name in LANGUAGE.CF: \"..\\..\\esc_to.wb\""},
         false},
        {"FROM list outside the target",
         "de,d,1,German\r\nc:\\from.wb\r\nto.wb\r\n",
         oneRecord,
         true,
         std::nullopt,
         {},
         {"Invalid word list name in LANGUAGE.CF: \"c:\\from.wb\""},
         false},
        {"FROM list larger than memory",
         kJob + "to.wb\r\n",
         "",
         true,
         std::nullopt,
         MakeFromListLargerThanMemory,
         {"Out of memory"},
         false},
        {"TO list named like the scratch list",
         kJob + "TEMP.WB\r\n",
         oneRecord,
         true,
         std::nullopt,
         {},
         {"Invalid word list name in LANGUAGE.CF: \"TEMP.WB\""},
         false},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string medium = MakeTempDir("medium");
        WriteFileBytes(JoinPath(medium, "install.inf"), "mkwlist\r\n");
        // Everything the build reads is in the target already: the script copies nothing.
        const std::string words = JoinPath(MakeTempDir("target"), "words");
        const std::string target = JoinPath(words, "dictionary");
        CreateDirectoryA(words.c_str(), nullptr);
        CreateDirectoryA(target.c_str(), nullptr);
        CreateDirectoryA(JoinPath(target, "language").c_str(), nullptr);
        WriteFileBytes(JoinPath(target, "language.cf"), c.languageCf);
        WriteFileBytes(JoinPath(target, "language\\from.wb"), c.fromList);
        if (c.dictIniExists) WriteFileBytes(JoinPath(target, "dict.ini"), dictIni);
        if (c.prepare) c.prepare(target);

        const InstallRun run = RunInstall(medium, target, c.fileSizeLimit);

        std::vector<std::string> texts;
        for (const MessageBoxInfo& box : run.boxes) texts.push_back(box.text);
        EXPECT_THAT(texts, ElementsAreArray(c.boxes));
        if (!run.boxes.empty()) {
            EXPECT_EQ(run.boxes.back().caption, "Error");
            EXPECT_EQ(run.boxes.back().icon, BoxIcon::Error);
            EXPECT_EQ(run.boxes.back().owner, run.mainWindow);
        }
        EXPECT_EQ(run.exitCode, 1u);
        if (c.dictIniExists) {
            EXPECT_EQ(ReadFileBytes(JoinPath(target, "dict.ini")), dictIni);
        } else {
            EXPECT_FALSE(PathExists(JoinPath(target, "dict.ini")));
        }
        // (A TO list linked to the full device is not read: it would read zeros without end.)
        if (c.prepare != LinkToList) {
            EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\to.wb")),
                      c.toListWritten ? WordRecord("house", "Haus") : "");
        }
        // Nothing escaped the target's language folder, and the FROM list is as it was.
        EXPECT_FALSE(PathExists(JoinPath(words, "esc_to.wb")));
        if (c.prepare != MakeFromListLargerThanMemory) {
            EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\from.wb")), c.fromList);
        }
        // The job stays for a new run.
        EXPECT_TRUE(PathExists(JoinPath(target, "language.cf")));
        DeleteFileA(JoinPath(target, "language\\from.wb").c_str());
    }
}

}  // namespace
}  // namespace setup::e2e
