// setup.exe /S seen from outside: the sample medium installed without the window as with it,
// and the runs that end early; never a window or a box, always an exit code and a log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <map>

#include "e2e_support.h"
#include "shell_link_reader.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

using ::testing::ElementsAreArray;

struct UnattendedRun {
    std::optional<DWORD> exitCode;
    bool windowSeen = false;
};

// Runs setup.exe with the arguments in the medium until it ends, watching for any window.
UnattendedRun RunSetup(const std::string& medium, const std::string& arguments) {
    UnattendedRun run;
    SetupProcess setup;
    if (!setup.Start(SetupExePath(), medium, arguments)) return run;
    for (DWORD start = GetTickCount(); setup.Running() && GetTickCount() - start < 60000; Sleep(20))
        run.windowSeen = run.windowSeen || setup.ShowsAnyWindow();
    run.exitCode = setup.WaitForExit(1000);
    return run;
}

// The run with the window: the target typed, Start pressed at once, every box answered.
std::optional<DWORD> InstallWithWindow(const std::string& medium, const std::string& target) {
    SetupProcess setup;
    if (!setup.Start(SetupExePath(), medium) || !setup.WaitForMainWindow()) return std::nullopt;
    setup.SetEditText(350, target);
    setup.Click(200);
    while (std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000)) setup.PressOk(*box);
    return setup.WaitForExit(60000);
}

// Every file below the directory, by its relative path, with its bytes.
void CollectFiles(const std::string& directory, const std::string& prefix, std::map<std::string, std::string>& files) {
    for (const std::string& name : ListDirectory(directory)) {
        std::string path = JoinPath(directory, name);
        if (IsDirectory(path))
            CollectFiles(path, prefix + name + "\\", files);
        else
            files[prefix + name] = ReadFileBytes(path);
    }
}
std::map<std::string, std::string> Files(const std::string& directory) {
    std::map<std::string, std::string> files;
    CollectFiles(directory, "", files);
    return files;
}

// The log's lines, without their CR LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string ProfileValue(const char* key) {
    char value[256];
    GetPrivateProfileStringA("Dictionary", key, "<absent>", value, sizeof value, "win.ini");
    return value;
}

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (char c : text) escaped += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return escaped;
}

TEST(UnattendedInstall, TheSampleMediumInstallsAsWithTheWindowIntoAPathWithBlanks) {
    std::string medium = "Z:" SAMPLE_MEDIUM;
    std::replace(medium.begin(), medium.end(), '/', '\\');
    CoInitialize(nullptr);
    char programs[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE));
    const std::string group = JoinPath(programs, "Bilingual Dictionary");
    const std::string link = JoinPath(group, "Dictionary Readme.lnk");

    // The run with the window is the reference; its win.ini keys and its shortcut go, so that
    // the unattended run has to make them again.
    const std::string withWindow = JoinPath(MakeTempDir("target"), "Dictionary");
    ASSERT_EQ(InstallWithWindow(medium, withWindow), 0u);
    WritePrivateProfileStringA("Dictionary", nullptr, nullptr, "win.ini");
    DeleteFileA(link.c_str());

    const std::string parent = MakeTempDir("target");
    const std::string target = JoinPath(parent, "My  Dictionary files");
    const std::string log = JoinPath(parent, "setup log.txt");
    WriteFileBytes(log, "an earlier run\r\n");
    UnattendedRun run = RunSetup(medium, "/s /LOG=\"" + log + "\" /D=" + target);

    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(run.windowSeen);
    const std::map<std::string, std::string> installed = Files(target);
    EXPECT_EQ(installed, Files(withWindow));
    std::vector<std::string> names;
    for (const auto& [name, bytes] : installed) names.push_back(name);
    EXPECT_THAT(names, ElementsAreArray({"dict.ini", "help\\dict.hlp", "language\\deen.wb", "language\\ende.wb",
                                         "language\\enfr.wb", "language\\fren.wb", "readme.txt", "welcome.txt"}));
    EXPECT_EQ(ProfileValue("Language"), "English - German");
    EXPECT_EQ(ProfileValue("EnglishAviDelay"), "500");
    std::optional<test::LinkProperties> shortcut = test::ReadLink(link);
    ASSERT_TRUE(shortcut.has_value());
    EXPECT_EQ(shortcut->path, target + "\\readme.txt");
    EXPECT_EQ(shortcut->arguments, "/lang=en");
    EXPECT_EQ(shortcut->workingDirectory, target + "\\");

    std::vector<std::string> lines = Lines(ReadFileBytes(log));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "an earlier run");
    EXPECT_THAT(lines[1], ::testing::MatchesRegex("\\d+-\\d+-\\d+ \\d+:\\d+:\\d+ unattended install"));
    const std::string closing =
        "message \"Install\": \"" + Escaped(ReadFileBytes(JoinPath(medium, "welcome.txt"))) + "\"";
    const std::string in = target + "\\";
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 2, lines.end()),
                ElementsAreArray(std::vector<std::string>{
                    "source directory " + medium,
                    "target directory " + target + ": ok",
                    "mkdir " + in + "language: ok",
                    "mkdir " + in + "help: ok",
                    "copy " + medium + "\\readme.txt -> " + in + "readme.txt: ok",
                    "working directory " + medium + "\\: ok",
                    "copy dict.hlp -> " + in + "help\\dict.hlp: ok",
                    "search *.hlp: 1 file",
                    "working directory " + medium + ": ok",
                    "copy " + medium + "\\language.cf -> " + in + "language.cf: ok",
                    "copy " + medium + "\\language\\deen.wb -> " + in + "language\\deen.wb: ok",
                    "copy " + medium + "\\language\\fren.wb -> " + in + "language\\fren.wb: ok",
                    "copy " + medium + "\\welcome.txt -> " + in + "welcome.txt: ok",
                    "win.ini [Dictionary] Language=English - German: ok",
                    "win.ini [Dictionary] EnglishAviDelay=500: ok",
                    "working directory " + target + ": ok",
                    "dict.ini created",
                    "word list English - German: language\\deen.wb -> language\\ende.wb",
                    closing,
                    "dict.ini lines of English - German removed: ok",
                    "dict.ini line of English - German added: ok",
                    "word list English - French: language\\fren.wb -> language\\enfr.wb",
                    closing,
                    "dict.ini lines of English - French removed: ok",
                    "dict.ini line of English - French added: ok",
                    "dict.ini [language] sorted: ok",
                    "shortcut " + link + " -> " + in + "readme.txt: ok",
                    "exit code 0"}));

    WritePrivateProfileStringA("Dictionary", nullptr, nullptr, "win.ini");
    DeleteFileA(link.c_str());
    RemoveDirectoryA(group.c_str());
    CoUninitialize();
}

TEST(UnattendedInstall, RunsThatEndEarlySayWhyInTheExitCodeAndTheLogAndNeverShowABox) {
    // The script's own "dir" is the target when there is no /D=; the FROM list is not copied.
    const std::string scriptTarget = JoinPath(MakeTempDir("target"), "Words");
    const std::string medium = MakeTempDir("medium");
    WriteFileBytes(JoinPath(medium, "install.inf"),
                   "dir " + scriptTarget +
                       "\r\nmkdir language\r\ncopy language.cf language.cf\r\ncopy language\\deen.wb "
                       "language\\deen.wb\r\nmkwlist\r\n");
    WriteFileBytes(JoinPath(medium, "language.cf"), "ende.wb,en,de,English - German\r\ndeen.wb\r\nende.wb\r\n");
    const std::string missingParent = JoinPath(MakeTempDir("target"), "missing\\Words");
    const std::string unknownTarget = JoinPath(MakeTempDir("target"), "Words");

    struct Case {
        std::string what;
        std::string switches;  // the /LOG= switch goes first
        DWORD exitCode;
        std::vector<std::string> logEnd;  // empty: no log written at all
        std::string target;
        std::vector<std::string> installed;
    };
    const Case cases[] = {
        {"a missing FROM list",
         "/S",
         1,
         {"copy " + medium + "\\language\\deen.wb -> " + scriptTarget + "\\language\\deen.wb: failed",
          "working directory " + scriptTarget + ": ok", "dict.ini created",
          "word list English - German: language\\deen.wb -> language\\ende.wb",
          "message \"Error\": \"Input file \"language\\deen.wb\" missing\"", "exit code 1"},
         scriptTarget,
         {"dict.ini", "language", "language.cf"}},
        {"a refused target",
         "/S /D=" + missingParent,
         2,
         {"target directory " + missingParent + ": refused", "message \"Error\": \"Invalid Directory\"", "exit code 2"},
         missingParent,
         {}},
        {"an unknown switch", "/S /X /D=" + unknownTarget, 3, {}, unknownTarget, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string log = JoinPath(MakeTempDir("log"), "setup.log");
        UnattendedRun run = RunSetup(medium, "/LOG=" + log + " " + c.switches);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_FALSE(run.windowSeen);
        std::vector<std::string> lines = Lines(ReadFileBytes(log));
        EXPECT_EQ(PathExists(log), !c.logEnd.empty());
        if (lines.size() >= c.logEnd.size()) {
            EXPECT_THAT(std::vector<std::string>(lines.end() - c.logEnd.size(), lines.end()),
                        ElementsAreArray(c.logEnd));
        }
        EXPECT_EQ(PathExists(c.target) ? ListDirectory(c.target) : std::vector<std::string>(), c.installed);
    }

    // The one box an unattended user may ask for: the list of the switches.
    SetupProcess help;
    ASSERT_TRUE(help.Start(SetupExePath(), medium, "/?"));
    std::optional<MessageBoxInfo> box = help.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Install");
    EXPECT_THAT(box->text, ::testing::StartsWith("setup [/S] [/LOG=<file>] [/D=<directory>]"));
    help.PressOk(*box);
    EXPECT_EQ(help.WaitForExit(), 0u);
}

}  // namespace
}  // namespace setup::e2e
