// The word-list installation seen from outside: media with language.cf and FROM lists made
// here, setup.exe run on them through the UI driver, every box answered and read, and the
// TO lists and dict.ini read back byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "e2e_support.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr size_t kRecordSize = 84;
constexpr size_t kTranslationsOffset = 31;
constexpr size_t kTrailingOffset = 82;

// One word-list record as this program composes it: both texts zero-padded, trailing field 0.
std::string Record(std::string_view headWord, std::string_view translations) {
    std::string record(kRecordSize, '\0');
    record.replace(0, headWord.size(), headWord);
    record.replace(kTranslationsOffset, translations.size(), translations);
    return record;
}

// A record as another tool may leave it: bytes after both texts and a trailing field that
// the program must not carry into what it writes.
std::string RecordWithLeftovers(std::string_view headWord, std::string_view translations) {
    std::string record = Record(headWord, translations);
    for (size_t i = headWord.size() + 1; i < kTranslationsOffset; ++i) record[i] = 'h';
    for (size_t i = kTranslationsOffset + translations.size() + 1; i < kTrailingOffset; ++i) record[i] = 't';
    record[kTrailingOffset] = '\x34';
    record[kTrailingOffset + 1] = '\x12';
    return record;
}

std::vector<std::string> RecordsOf(const std::string& list) {
    std::vector<std::string> records;
    for (size_t at = 0; at + kRecordSize <= list.size(); at += kRecordSize)
        records.push_back(list.substr(at, kRecordSize));
    return records;
}

std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) text.append(line).append("\r\n");
    return text;
}

const std::string kHeadComment = "# --- dict.ini " + std::string(50, '-');
const std::string kEndComment = "# --- EOF " + std::string(56, '-');

// dict.ini as the program creates it, for a first FROM list of the given name.
std::string Skeleton(std::string_view selected) {
    return CrLfLines(
        {kHeadComment, "", "[AddNew]", "on", "", "[selected]", selected, "", "[language]", "", "", kEndComment});
}

// dict.ini as the program leaves it after a sort: the section's lines, one blank line, the end.
std::string SortedDictIni(std::string_view selected, std::initializer_list<std::string_view> languageLines) {
    std::string text = CrLfLines({kHeadComment, "", "[AddNew]", "on", "", "[selected]", selected, "", "[language]"});
    for (std::string_view line : languageLines) text.append(line).append("\r\n");
    return text + CrLfLines({"", kEndComment});
}

class Medium {
public:
    Medium() : directory_(MakeTempDir("medium")) {
        CreateDirectoryA(JoinPath(directory_, "language").c_str(), nullptr);
    }
    void Add(const std::string& name, const std::string& bytes) const {
        WriteFileBytes(JoinPath(directory_, name), bytes);
    }
    const std::string& Directory() const { return directory_; }

private:
    std::string directory_;
};

struct InstallRun {
    HWND mainWindow = nullptr;
    std::vector<MessageBoxInfo> boxes;
    std::optional<DWORD> exitCode;
};

// Installs from the medium into the target, answering every box with OK until the program
// ends; whileBoxIsUp sees the program and each box (counted from 0) before it is answered.
InstallRun Install(const Medium& medium, const std::string& target,
                   const std::function<void(SetupProcess&, size_t)>& whileBoxIsUp = {}) {
    InstallRun run;
    SetupProcess setup;
    if (!setup.Start(SetupExePath(), medium.Directory())) return run;
    run.mainWindow = setup.WaitForMainWindow();
    if (!run.mainWindow) return run;
    setup.SetEditText(350, target);
    setup.Click(200);
    while (std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000)) {
        if (whileBoxIsUp) whileBoxIsUp(setup, run.boxes.size());
        run.boxes.push_back(*box);
        setup.PressOk(*box);
    }
    run.exitCode = setup.WaitForExit(60000);
    return run;
}

std::string NewTarget() { return JoinPath(MakeTempDir("target"), "Dictionary"); }

void ExpectClosingBox(const InstallRun& run, size_t index, const std::string& text) {
    ASSERT_LT(index, run.boxes.size());
    const MessageBoxInfo& box = run.boxes[index];
    EXPECT_EQ(box.caption, "Install");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, BoxIcon::None);
    EXPECT_EQ(box.owner, run.mainWindow);
}

void ExpectFatalBox(const InstallRun& run, size_t index, const std::string& text) {
    ASSERT_LT(index, run.boxes.size());
    const MessageBoxInfo& box = run.boxes[index];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, BoxIcon::Error);
    EXPECT_EQ(box.owner, run.mainWindow);
}

// German to English: separators with and without blanks, doubled commas, an empty field,
// a translation too long to be a head word, and two translations shared by two words.
const std::string kGermanEnglish = Record("Haus", "house, home") + Record("Heim", "home") +
                                   Record("Baum", "tree,,wood") + Record("Zimmer", "room,  chamber") +
                                   Record("lang", "long, a translation far longer than thirty") + Record("leer", "") +
                                   Record("Holz", ",wood,");
const std::string kFrenchEnglish =
    Record("maison", "house") + RecordWithLeftovers("chat", "cat") + Record("arbre", "tree");

const std::string kGermanLine = "ende.wb,en,de,English - German";
const std::string kFrenchLine = "enfr.wb,en,fr,English - French";

// Two jobs, German first, so that the sort has to move the French line before it.
Medium TwoLanguageMedium(const std::string& welcome) {
    Medium medium;
    medium.Add("install.inf",
               "title Dictionary\r\nmkdir language\r\ncopy language.cf language.cf\r\n"
               "copy language\\deen.wb language\\deen.wb\r\ncopy language\\fren.wb language\\fren.wb\r\n"
               "copy welcome.txt welcome.txt\r\ndisplay welcome.txt\r\nmkwlist\r\n");
    medium.Add("language.cf", "# jobs\r\n" + kGermanLine + "\r\ndeen.wb\r\n\r\n# to\r\nende.wb\r\n\r\n" + kFrenchLine +
                                  "\r\nfren.wb\r\nenfr.wb\r\n");
    medium.Add("language\\deen.wb", kGermanEnglish);
    medium.Add("language\\fren.wb", kFrenchEnglish);
    medium.Add("welcome.txt", welcome);
    return medium;
}

void ExpectGermanToList(const std::string& list) {
    EXPECT_EQ(list.size(), 7 * kRecordSize);
    // Records with equal head words are merged in whatever order the sort left them.
    EXPECT_THAT(
        RecordsOf(list),
        ElementsAre(Record("chamber", "Zimmer"), AnyOf(Record("home", "Haus, Heim"), Record("home", "Heim, Haus")),
                    Record("house", "Haus"), Record("long", "lang"), Record("room", "Zimmer"), Record("tree", "Baum"),
                    AnyOf(Record("wood", "Baum, Holz"), Record("wood", "Holz, Baum"))));
}

TEST(WordListInstall, TwoJobsBuildBothListsRecordBothLanguagesSortedAndLeaveNoWorkFiles) {
    const std::string welcome = "Welcome to the dictionary.\r\n\r\nEnjoy it!";
    Medium medium = TwoLanguageMedium(welcome + std::string(1, '\0') + "not shown");
    std::string target = NewTarget();
    const std::vector<int> chooserControls = {200, 201, 202, 249, 250, 251, 252, 300, 301, 350};
    std::vector<std::string> visibleAtFirstBox;
    std::string dictIniAtFirstBox, dictIniAtSecondBox, germanListAtFirstBox;
    bool frenchListAtFirstBox = true, scratchListAtFirstBox = true;

    InstallRun run = Install(medium, target, [&](SetupProcess& setup, size_t index) {
        if (index == 0) {
            for (int id : chooserControls)
                if (setup.DescribeControl(id).visible) visibleAtFirstBox.push_back(std::to_string(id));
            dictIniAtFirstBox = ReadFileBytes(JoinPath(target, "dict.ini"));
            germanListAtFirstBox = ReadFileBytes(JoinPath(target, "language\\ende.wb"));
            frenchListAtFirstBox = PathExists(JoinPath(target, "language\\enfr.wb"));
            scratchListAtFirstBox = PathExists(JoinPath(target, "language\\temp.wb"));
        } else if (index == 1) {
            dictIniAtSecondBox = ReadFileBytes(JoinPath(target, "dict.ini"));
        }
    });

    ASSERT_EQ(run.boxes.size(), 2u);
    ExpectClosingBox(run, 0, welcome);
    ExpectClosingBox(run, 1, welcome);
    EXPECT_EQ(run.exitCode, 0u);

    // The first build is done when its box shows: its list written, the skeleton made, the
    // language not yet recorded, the second list not begun, the scratch list already gone.
    EXPECT_THAT(visibleAtFirstBox, IsEmpty());
    EXPECT_EQ(dictIniAtFirstBox, Skeleton("deen.wb"));
    EXPECT_EQ(dictIniAtFirstBox.size(), 185u + 7u);
    ExpectGermanToList(germanListAtFirstBox);
    EXPECT_FALSE(frenchListAtFirstBox);
    EXPECT_FALSE(scratchListAtFirstBox);
    EXPECT_EQ(dictIniAtSecondBox, CrLfLines({kHeadComment, "", "[AddNew]", "on", "", "[selected]", "deen.wb", "",
                                             "[language]", kGermanLine, "", "", kEndComment}));

    EXPECT_EQ(ReadFileBytes(JoinPath(target, "dict.ini")), SortedDictIni("deen.wb", {kFrenchLine, kGermanLine}));
    ExpectGermanToList(ReadFileBytes(JoinPath(target, "language\\ende.wb")));
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\enfr.wb")),
              Record("cat", "chat") + Record("house", "maison") + Record("tree", "arbre"));
    // The FROM lists are only read; language.cf, temp.wb and tmp.ini are gone.
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\deen.wb")), kGermanEnglish);
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\fren.wb")), kFrenchEnglish);
    EXPECT_THAT(ListDirectory(target), ElementsAre("dict.ini", "language", "welcome.txt"));
    EXPECT_THAT(ListDirectory(JoinPath(target, "language")), ElementsAre("deen.wb", "ende.wb", "enfr.wb", "fren.wb"));
}

TEST(WordListInstall, ASecondInstallKeepsTheSelectedListAndReplacesTheLanguagesItBuilds) {
    std::string target = NewTarget();
    InstallRun first = Install(TwoLanguageMedium("first"), target);
    ASSERT_EQ(first.exitCode, 0u);
    const std::string germanList = ReadFileBytes(JoinPath(target, "language\\ende.wb"));

    // French again under other fields and another letter case, then a new language.
    const std::string frenchAgain = "enfr.wb,EN,FR,english - french";
    const std::string spanish = "enes.wb,en,es,English - Spanish";
    Medium medium;
    medium.Add("install.inf",
               "copy language.cf language.cf\r\ncopy language\\fren.wb language\\fren.wb\r\n"
               "copy language\\esen.wb language\\esen.wb\r\nmkwlist\r\n");
    medium.Add("language.cf", frenchAgain + "\r\nfren.wb\r\nenfr.wb\r\n" + spanish + "\r\nesen.wb\r\nenes.wb\r\n");
    medium.Add("language\\fren.wb", Record("maison", "house") + Record("chien", "dog"));
    medium.Add("language\\esen.wb", Record("perro", "dog") + Record("casa", "house"));
    InstallRun second = Install(medium, target);

    ASSERT_EQ(second.boxes.size(), 2u);
    ExpectClosingBox(second, 0, "Install Finished ");
    ExpectClosingBox(second, 1, "Install Finished ");
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "dict.ini")),
              SortedDictIni("deen.wb", {frenchAgain, kGermanLine, spanish}));
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\enfr.wb")), Record("dog", "chien") + Record("house", "maison"));
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\enes.wb")), Record("dog", "perro") + Record("house", "casa"));
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\ende.wb")), germanList);
    EXPECT_FALSE(PathExists(JoinPath(target, "language.cf")));
    EXPECT_FALSE(PathExists(JoinPath(target, "tmp.ini")));
}

TEST(WordListInstall, WithoutLanguageCfTheRunStopsWithItsErrorAndCreatesNoDictIni) {
    Medium medium;
    medium.Add("install.inf", "mkdir language\r\ncopy language\\deen.wb language\\deen.wb\r\nmkwlist\r\n");
    medium.Add("language\\deen.wb", kGermanEnglish);
    std::string target = NewTarget();
    InstallRun run = Install(medium, target);
    ASSERT_EQ(run.boxes.size(), 1u);
    ExpectFatalBox(run, 0, "Can't open LANGUAGE.CF");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_THAT(ListDirectory(target), ElementsAre("language"));
    EXPECT_THAT(ListDirectory(JoinPath(target, "language")), ElementsAre("deen.wb"));
}

TEST(WordListInstall, ADescriptionLineOfThreeFieldsStopsTheRunAfterTheJobsBeforeIt) {
    Medium medium;
    medium.Add("install.inf",
               "mkdir language\r\ncopy language.cf language.cf\r\ncopy language\\deen.wb language\\deen.wb\r\n"
               "copy language\\fren.wb language\\fren.wb\r\nmkwlist\r\n");
    const std::string languageCf = kGermanLine + "\r\ndeen.wb\r\nende.wb\r\nenfr.wb,,en,fr,\r\nfren.wb\r\nenfr.wb\r\n";
    medium.Add("language.cf", languageCf);
    medium.Add("language\\deen.wb", kGermanEnglish);
    medium.Add("language\\fren.wb", kFrenchEnglish);
    std::string target = NewTarget();
    InstallRun run = Install(medium, target);

    ASSERT_EQ(run.boxes.size(), 2u);
    ExpectClosingBox(run, 0, "Install Finished ");
    ExpectFatalBox(run, 1, "Too few fields in LANGUAGE.CF: \"enfr.wb,,en,fr,\"");
    EXPECT_EQ(run.exitCode, 1u);
    // The job before the bad line is complete; language.cf stays for another run.
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language.cf")), languageCf);
    ExpectGermanToList(ReadFileBytes(JoinPath(target, "language\\ende.wb")));
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "dict.ini")),
              CrLfLines({kHeadComment, "", "[AddNew]", "on", "", "[selected]", "deen.wb", "", "[language]", kGermanLine,
                         "", "", kEndComment}));
    EXPECT_THAT(ListDirectory(target), ElementsAre("dict.ini", "language", "language.cf"));
    EXPECT_THAT(ListDirectory(JoinPath(target, "language")), ElementsAre("deen.wb", "ende.wb", "fren.wb"));
}

TEST(WordListInstall, TheClosingBoxFallsBackToTheStandardTextAndShowsAnEmptyFileAsIs) {
    struct Case {
        const char* displayLine;
        const char* emptyFile;
        std::string expected;
    };
    for (const Case& c : {Case{"display nosuch.txt\r\n", nullptr, "Install Finished "},
                          Case{"", nullptr, "Install Finished "}, Case{"display empty.txt\r\n", "empty.txt", ""}}) {
        SCOPED_TRACE(c.displayLine);
        Medium medium;
        medium.Add("install.inf",
                   std::string("mkdir language\r\ncopy language.cf language.cf\r\n"
                               "copy language\\fren.wb language\\fren.wb\r\ncopy empty.txt empty.txt\r\n") +
                       c.displayLine + "mkwlist\r\n");
        medium.Add("language.cf", kFrenchLine + "\r\nfren.wb\r\nenfr.wb\r\n");
        medium.Add("language\\fren.wb", kFrenchEnglish);
        if (c.emptyFile) medium.Add(c.emptyFile, "");
        std::string target = NewTarget();
        InstallRun run = Install(medium, target);
        ASSERT_EQ(run.boxes.size(), 1u);
        ExpectClosingBox(run, 0, c.expected);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\enfr.wb")),
                  Record("cat", "chat") + Record("house", "maison") + Record("tree", "arbre"));
    }
}

// dict.ini met in the target: sorted by an install without word lists, never created by one,
// left whole when it cannot be replaced.
TEST(DictIniInstall, AnInstallWithoutWordListsSortsAnExistingListAndCreatesNone) {
    Medium medium;
    medium.Add("install.inf", "mkdir data\r\n");
    const std::string before =
        "# mine\r\n\r\n[selected]\r\nold.wb\r\n\r\n[language]\r\n"
        "zuen.wb,zu,en,Zulu - English\r\nafen.wb,af,en,afrikaans - English\r\n"
        "\r\n# --- EOF\r\n[later]\r\nlost\r\n";
    std::string withDictIni = MakeTempDir("target");
    WriteFileBytes(JoinPath(withDictIni, "dict.ini"), before);
    InstallRun run = Install(medium, withDictIni);
    EXPECT_THAT(run.boxes, IsEmpty());
    EXPECT_EQ(run.exitCode, 0u);
    // Case is ignored: the small "a" orders before the capital "Z".
    EXPECT_EQ(ReadFileBytes(JoinPath(withDictIni, "dict.ini")),
              "# mine\r\n\r\n[selected]\r\nold.wb\r\n\r\n[language]\r\n"
              "afen.wb,af,en,afrikaans - English\r\nzuen.wb,zu,en,Zulu - English\r\n\r\n" +
                  kEndComment + "\r\n");
    EXPECT_THAT(ListDirectory(withDictIni), ElementsAre("data", "dict.ini"));

    std::string withoutDictIni = NewTarget();
    run = Install(medium, withoutDictIni);
    EXPECT_THAT(run.boxes, IsEmpty());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_THAT(ListDirectory(withoutDictIni), ElementsAre("data"));
}

TEST(DictIniInstall, AHandEditedDictIniIsUsedAsItStands) {
    Medium medium;
    medium.Add(
        "install.inf",
        "mkdir language\r\ncopy language.cf language.cf\r\ncopy language\\fren.wb language\\fren.wb\r\nmkwlist\r\n");
    medium.Add("language.cf", kFrenchLine + "\r\nfren.wb\r\nenfr.wb\r\n");
    medium.Add("language\\fren.wb", kFrenchEnglish);
    struct Case {
        const char* what;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        // Without a [language] section the language is not recorded, and its old line
        // elsewhere is gone all the same.
        {"no language section", "[selected]\r\nx.wb\r\n\r\n[other]\r\nenfr.wb,old,old,ENGLISH - FRENCH\r\nkeep\r\n",
         "[selected]\r\nx.wb\r\n\r\n[other]\r\nkeep\r\n"},
        // A section after [language] survives the recording and is dropped by the sort.
        {"section after it", "[language]\r\n" + kGermanLine + "\r\n\r\n[extra]\r\nkept until a sort\r\n",
         "[language]\r\n" + kFrenchLine + "\r\n" + kGermanLine + "\r\n\r\n" + kEndComment + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string target = MakeTempDir("target");
        WriteFileBytes(JoinPath(target, "dict.ini"), c.before);
        InstallRun run = Install(medium, target);
        ASSERT_EQ(run.boxes.size(), 1u);
        ExpectClosingBox(run, 0, "Install Finished ");
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(ReadFileBytes(JoinPath(target, "dict.ini")), c.after);
        EXPECT_THAT(ListDirectory(target), ElementsAre("dict.ini", "language"));
    }
}

TEST(DictIniInstall, OddHandWrittenLinesAreKeptReplacedOrSortedByTheirKeys) {
    // A display name of 250 characters on a line of 264: one piece for the sort, two for the
    // recording, and a key compared whole.
    const std::string longLine = "xxen.wb,xx,en,Lingua " + std::string(243, 'a');
    std::string target = MakeTempDir("target");
    // Line ends mixed: LF alone and CR LF.
    WriteFileBytes(JoinPath(target, "dict.ini"),
                   "# mine\n\r\n[AddNew]\r\non\n\r\n[selected]\nmy.wb\r\n\r\n[language]\r\n"
                   ",,,\n" +  // no field: the empty key
                       longLine +
                       "\r\n"                                // keyed by its fourth field
                       "english\n"                           // no comma: keyed by its whole text
                       "Zulu,zu\r\n"                         // two fields: keyed by the first
                       "ENFR.wb,old,old,english - FRENCH\n"  // French, replaced
                       "English - German,stale\r\n"          // German by its first field, replaced
                       "\r\n# after the list, with, four, parts\n[extra]\r\nkept until the sort\n");
    InstallRun run = Install(TwoLanguageMedium("done"), target);

    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_EQ(run.exitCode, 0u);
    // Both languages at the section's end, then the sort: every line ends in CR LF, the keys
    // order case-insensitively ("english" before "English - French", "Lingua" before "Zulu"),
    // and nothing after the section survives.
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "dict.ini")),
              CrLfLines({"# mine", "", "[AddNew]", "on", "", "[selected]", "my.wb", "", "[language]", ",,,", "english",
                         kFrenchLine, kGermanLine, longLine, "Zulu,zu", "", kEndComment}));
    // No tmp.ini and no language.cf left behind.
    EXPECT_THAT(ListDirectory(target), ElementsAre("dict.ini", "language", "welcome.txt"));
}

TEST(DictIniInstall, AReadOnlyDictIniStaysAsItWasAndTheRunGoesOn) {
    Medium medium;
    medium.Add(
        "install.inf",
        "mkdir language\r\ncopy language.cf language.cf\r\ncopy language\\fren.wb language\\fren.wb\r\nmkwlist\r\n");
    medium.Add("language.cf", kFrenchLine + "\r\nfren.wb\r\nenfr.wb\r\n");
    medium.Add("language\\fren.wb", kFrenchEnglish);
    std::string target = MakeTempDir("target");
    const std::string dictIni = JoinPath(target, "dict.ini");
    const std::string before = SortedDictIni("deen.wb", {kGermanLine});
    WriteFileBytes(dictIni, before);
    ASSERT_TRUE(SetFileAttributesA(dictIni.c_str(), FILE_ATTRIBUTE_READONLY));

    InstallRun run = Install(medium, target);
    SetFileAttributesA(dictIni.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_EQ(run.boxes.size(), 1u);
    ExpectClosingBox(run, 0, "Install Finished ");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dictIni), before);
    // The last rewrite, the French line added to the file as it stood, waits in tmp.ini.
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "tmp.ini")), SortedDictIni("deen.wb", {kGermanLine, kFrenchLine}));
    EXPECT_EQ(ReadFileBytes(JoinPath(target, "language\\enfr.wb")),
              Record("cat", "chat") + Record("house", "maison") + Record("tree", "arbre"));
    EXPECT_THAT(ListDirectory(target), ElementsAre("dict.ini", "language", "tmp.ini"));
}

}  // namespace
}  // namespace setup::e2e
