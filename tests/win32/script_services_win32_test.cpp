// The script actions on the real Win32 file and profile services.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <set>
#include <vector>

#include "script/install_script.h"
#include "script/script_actions.h"
#include "script/script_services_win32.h"
#include "temp_directory.h"

namespace setup {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

// Names in a directory, without "." and "..".
std::set<std::string> Names(const std::string& directory) {
    std::set<std::string> names;
    ForEachFoundEntry(directory + "\\*", [&names](const FoundEntry& entry) {
        if (entry.name != "." && entry.name != "..") names.insert(entry.name);
    });
    return names;
}

std::string ProfileValue(const char* key) {
    char value[256];
    GetPrivateProfileStringA("Dictionary", key, "<absent>", value, sizeof value, "win.ini");
    return value;
}

// A hidden parent window with an edit box, standing in for the main window and DirectoryEdit.
class EditWindow {
public:
    EditWindow()
        : parent_(CreateWindowExA(0, "static", "", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr)),
          edit_(CreateWindowExA(0, "edit", "", WS_CHILD, 0, 0, 400, 25, parent_, nullptr, nullptr, nullptr)) {}
    ~EditWindow() { DestroyWindow(parent_); }
    EditWindow(const EditWindow&) = delete;
    EditWindow& operator=(const EditWindow&) = delete;

    HWND Parent() const { return parent_; }
    HWND Edit() const { return edit_; }
    std::string Text() const {
        char text[1024];
        GetWindowTextA(edit_, text, sizeof text);
        return text;
    }

private:
    HWND parent_;
    HWND edit_;
};

std::string WorkingDirectory() { return QueryCurrentDirectory().value_or("<none>"); }

class ScriptServicesWin32Test : public ::testing::Test {
protected:
    void Run(const std::string& script) {
        test::WriteFileBytes(InstallScriptPath(medium.Path()), script);
        settings.sourceDirectory = medium.Path();
        settings.targetDirectory = target.Path();
        Win32ScriptServices services(window.Edit(), window.Parent());
        RunScriptActions(settings, services);
    }

    test::TempDirectory medium;
    test::TempDirectory target;
    EditWindow window;
    InstallSettings settings;
};

TEST_F(ScriptServicesWin32Test, DirectoriesAndSingleCopiesInScriptOrder) {
    test::WriteFileBytes(medium.File("x.dat"), "x data");
    test::WriteFileBytes(medium.File("new.txt"), "new");
    test::WriteFileBytes(target.File("old.txt"), "old contents");
    Run("copy x.dat early\\x.dat\r\n"
        "mkdir early\r\n"
        "mkdir data\r\n"
        "copy x.dat data\\x.dat\r\n"
        "mkdir a\\b\r\n"
        "mkdir a\r\n"
        "copy   new.txt    old.txt\r\n"
        "copy missing.dat missing.dat\r\n");
    EXPECT_EQ(test::ReadFileBytes(target.File("data\\x.dat")), "x data");
    EXPECT_TRUE(Names(target.File("early")).empty());
    EXPECT_TRUE(Names(target.File("a")).empty());
    EXPECT_EQ(test::ReadFileBytes(target.File("old.txt")), "new");
    EXPECT_THAT(Names(target.Path()), UnorderedElementsAre("a", "data", "early", "old.txt"));
    // The last destination shown is that of the failed copy: shown before it was tried.
    EXPECT_EQ(window.Text(), target.File("missing.dat"));
}

TEST_F(ScriptServicesWin32Test, XcopyCopiesMatchingFilesOfEveryAttributeButNoDirectories) {
    test::WriteFileBytes(medium.File("a.hlp"), "a");
    test::WriteFileBytes(medium.File("hidden.hlp"), "h");
    test::WriteFileBytes(medium.File("system.hlp"), "s");
    test::WriteFileBytes(medium.File("readonly.hlp"), "r");
    test::WriteFileBytes(medium.File("other.txt"), "o");
    CreateDirectoryA(medium.File("folder.hlp").c_str(), nullptr);
    SetFileAttributesA(medium.File("hidden.hlp").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(medium.File("system.hlp").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA(medium.File("readonly.hlp").c_str(), FILE_ATTRIBUTE_READONLY);
    std::string before = WorkingDirectory();

    Run("mkdir help\r\nxcopy *.hlp help\r\nxcopy *.none help\r\n");

    EXPECT_THAT(Names(target.File("help")), UnorderedElementsAre("a.hlp", "hidden.hlp", "system.hlp", "readonly.hlp"));
    EXPECT_EQ(test::ReadFileBytes(target.File("help\\hidden.hlp")), "h");
    EXPECT_EQ(test::ReadFileBytes(target.File("help\\system.hlp")), "s");
    EXPECT_EQ(test::ReadFileBytes(target.File("help\\readonly.hlp")), "r");
    // The full destination path of one of the copies; the pattern without a match showed nothing.
    EXPECT_THAT(window.Text(), ::testing::StartsWith(target.Path() + "\\help\\"));
    EXPECT_EQ(WorkingDirectory(), before);
}

TEST_F(ScriptServicesWin32Test, XcopyOfEverythingIntoTheTargetItself) {
    test::WriteFileBytes(medium.File("a.dat"), "a");
    Run("xcopy *.* .\r\n");
    EXPECT_THAT(Names(target.Path()), UnorderedElementsAre("a.dat", "install.inf"));
    EXPECT_EQ(test::ReadFileBytes(target.File("install.inf")), "xcopy *.* .\r\n");
    EXPECT_THAT(window.Text(), ::testing::StartsWith(target.Path() + "\\.\\"));
}

TEST_F(ScriptServicesWin32Test, SndcopyCopiesOneLevelAndNothingFromAMissingDirectory) {
    CreateDirectoryA(medium.File("sounds").c_str(), nullptr);
    CreateDirectoryA(medium.File("sounds\\deeper").c_str(), nullptr);
    test::WriteFileBytes(medium.File("sounds\\a.wav"), "wave a");
    test::WriteFileBytes(medium.File("sounds\\b.wav"), "wave b");
    test::WriteFileBytes(medium.File("sounds\\deeper\\c.wav"), "wave c");
    std::string before = WorkingDirectory();

    Run("mkdir snd\r\nsndcopy sounds snd\r\nmkdir none\r\nsndcopy nosuch none\r\n");

    EXPECT_THAT(Names(target.File("snd")), UnorderedElementsAre("a.wav", "b.wav"));
    EXPECT_EQ(test::ReadFileBytes(target.File("snd\\b.wav")), "wave b");
    EXPECT_TRUE(Names(target.File("none")).empty());
    EXPECT_EQ(WorkingDirectory(), before);
}

TEST_F(ScriptServicesWin32Test, WinIniKeysOfTheDictionarySectionReadBack) {
    Run("avidelay 500\r\nsetini A=B=C\r\nsetini Key = 5\r\n");
    EXPECT_EQ(ProfileValue("EnglishAviDelay"), "500");
    EXPECT_EQ(ProfileValue("A"), "B=C");
    // The reader trims blanks around names and values. The file keeps the name's trailing
    // blank; the profile service itself drops the leading blanks of the value it is given.
    EXPECT_EQ(ProfileValue("Key"), "5");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_THAT(test::ReadFileBytes(std::string(windows) + "\\win.ini"), ::testing::HasSubstr("\r\nKey =5\r\n"));
    WritePrivateProfileStringA("Dictionary", nullptr, nullptr, "win.ini");
    EXPECT_EQ(ProfileValue("A"), "<absent>");
}

TEST(ForEachFoundEntry, ReportsNamesWithTheirDirectoryAndHiddenBits) {
    test::TempDirectory dir;
    test::WriteFileBytes(dir.File("plain.txt"), "");
    test::WriteFileBytes(dir.File("secret.txt"), "");
    SetFileAttributesA(dir.File("secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA(dir.File("sub").c_str(), nullptr);
    std::vector<std::string> seen;
    ForEachFoundEntry(dir.File("*.*"), [&seen](const FoundEntry& entry) {
        seen.push_back(entry.name + (entry.isDirectory ? " dir" : "") + (entry.isHidden ? " hidden" : ""));
    });
    EXPECT_THAT(seen, UnorderedElementsAre(". dir", ".. dir", "plain.txt", "secret.txt hidden", "sub dir"));

    seen.clear();
    ForEachFoundEntry(dir.File("*.none"), [&seen](const FoundEntry& entry) { seen.push_back(entry.name); });
    EXPECT_THAT(seen, ElementsAre());
}

}  // namespace
}  // namespace setup
