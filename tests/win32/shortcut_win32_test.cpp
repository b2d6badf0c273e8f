// The program-group shortcut on the real shell: saved files read back through IShellLinkA.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "script/script_services_win32.h"
#include "script/shortcut_win32.h"
#include "shell_link_reader.h"
#include "temp_directory.h"

namespace setup {
namespace {

using test::LinkProperties;
using test::ReadLink;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// COM for the thread, names unique to this process inside the Programs folder, and everything
// made there removed afterwards, with the working directory put back first.
class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        char path[MAX_PATH];
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, TRUE));
        programs = path;
        before = QueryCurrentDirectory().value_or("C:\\");
        unique = " " + std::to_string(GetCurrentProcessId());
        settings.targetDirectory = "C:\\Words";
        settings.targetPrefix = "C:\\Words\\";
        settings.shortcutFlag = true;
        settings.shortcutName = "My Program" + unique;
        settings.groupName = "My Group" + unique;
        settings.shortcutProgram = "app.exe";
    }

    void TearDown() override {
        SetCurrentDirectoryA(before.c_str());
        DeleteFileA(InPrograms(settings.shortcutName + ".lnk").c_str());
        for (const std::string& made : madeHere) test::RemoveTree(made);
        CoUninitialize();
    }

    std::string InPrograms(const std::string& name) const { return programs + "\\" + name; }
    std::string Group(const std::string& name) {
        madeHere.push_back(InPrograms(name));
        return InPrograms(name);
    }

    std::string programs;
    std::string before;
    std::string unique;
    std::vector<std::string> madeHere;
    InstallSettings settings;
};

TEST_F(ShortcutTest, TheFirstExampleLandsInItsGroupWithTargetArgumentsAndWorkingDirectory) {
    std::string group = Group(settings.groupName);
    std::string link = group + "\\My Program" + unique + ".lnk";
    EXPECT_EQ(CreateProgramShortcut(settings, nullptr), link);
    ASSERT_TRUE(Exists(link));
    std::optional<LinkProperties> properties = ReadLink(link);
    ASSERT_TRUE(properties.has_value());
    EXPECT_EQ(properties->path, "C:\\Words\\app.exe");
    EXPECT_EQ(properties->arguments, "");
    EXPECT_EQ(properties->workingDirectory, "C:\\Words\\");
    EXPECT_FALSE(Exists(InPrograms(settings.shortcutName + ".lnk")));

    // The group exists now: it is reused, its contents stay, and the arguments are stored.
    WriteShellLink("C:\\x.exe", group + "\\keep.lnk", "C:\\", "");
    settings.shortcutArguments = "-lang de en";
    settings.shortcutProgram = "bin\\words.exe";
    CreateProgramShortcut(settings, nullptr);
    properties = ReadLink(link);
    ASSERT_TRUE(properties.has_value());
    EXPECT_EQ(properties->path, "C:\\Words\\bin\\words.exe");
    EXPECT_EQ(properties->arguments, "-lang de en");
    EXPECT_TRUE(Exists(group + "\\keep.lnk"));
}

TEST_F(ShortcutTest, WithoutAUsableGroupTheShortcutLiesInTheProgramsFolder) {
    settings.groupName = "";
    CreateProgramShortcut(settings, nullptr);
    std::string link = InPrograms(settings.shortcutName + ".lnk");
    ASSERT_TRUE(Exists(link));
    EXPECT_EQ(ReadLink(link)->path, "C:\\Words\\app.exe");
    DeleteFileA(link.c_str());

    // Two levels whose first is missing: neither is made.
    std::string first = Group("Missing" + unique);
    settings.groupName = "Missing" + unique + "\\Sub";
    CreateProgramShortcut(settings, nullptr);
    EXPECT_FALSE(Exists(first));
    EXPECT_TRUE(Exists(link));
}

TEST_F(ShortcutTest, WithoutAProgramTheTargetIsTheTargetPrefix) {
    std::string group = Group(settings.groupName);
    settings.shortcutProgram = "";
    CreateProgramShortcut(settings, nullptr);
    std::optional<LinkProperties> properties = ReadLink(group + "\\" + settings.shortcutName + ".lnk");
    ASSERT_TRUE(properties.has_value());
    EXPECT_EQ(properties->path, "C:\\Words\\");
    EXPECT_EQ(properties->workingDirectory, "C:\\Words\\");
}

TEST_F(ShortcutTest, OverLongPathsMakeNoShortcutAndNoPartialOne) {
    std::string group = Group(settings.groupName);
    // Link path: group folder + "\" + name + ".lnk" beyond 259 characters.
    settings.shortcutName = std::string(260 - group.size(), 'n');
    EXPECT_EQ(CreateProgramShortcut(settings, nullptr), std::nullopt);
    std::vector<std::string> inGroup;
    ForEachFoundEntry(group + "\\*", [&inGroup](const FoundEntry& entry) {
        if (!entry.isDirectory) inGroup.push_back(entry.name);
    });
    EXPECT_THAT(inGroup, ::testing::IsEmpty());

    // Target path beyond 259 characters: nothing at all is made.
    settings.shortcutName = "Long target" + unique;
    settings.shortcutProgram = std::string(260 - settings.targetPrefix.size(), 'p');
    std::string otherGroup = Group("Other" + unique);
    settings.groupName = "Other" + unique;
    CreateProgramShortcut(settings, nullptr);
    EXPECT_FALSE(Exists(otherGroup));
    EXPECT_FALSE(Exists(InPrograms(settings.shortcutName + ".lnk")));
}

TEST_F(ShortcutTest, WriteShellLinkReportsTheSaveResult) {
    test::TempDirectory dir;
    EXPECT_EQ(WriteShellLink("C:\\Words\\app.exe", dir.File("ok.lnk"), "C:\\Words\\", "-x"), S_OK);
    std::optional<LinkProperties> properties = ReadLink(dir.File("ok.lnk"));
    ASSERT_TRUE(properties.has_value());
    EXPECT_EQ(properties->arguments, "-x");
    EXPECT_TRUE(FAILED(WriteShellLink("C:\\Words\\app.exe", dir.File("missing\\no.lnk"), "C:\\Words\\", "")));
    EXPECT_FALSE(Exists(dir.File("missing\\no.lnk")));
}

}  // namespace
}  // namespace setup
