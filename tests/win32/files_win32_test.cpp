// The files the Win32 layer makes on the real system: the program shortcut read back through
// IShellLinkA and the typed target directory; a read-only leftover removed; the uninstaller's
// keys of paths and its record. The replacement of dict.ini and of the TO lists is seen from
// outside, by the end-to-end failure runs and the interrupted upgrade.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "base/files.h"
#include "base/win32_handles.h"
#include "golden_cases.h"
#include "script/shortcut_win32.h"
#include "setup/install_services_win32.h"
#include "shell_link_reader.h"
#include "test_files.h"
#include "uninstall/record_store.h"
#include "uninstall/uninstall_record.h"
#include "uninstall/uninstall_services_win32.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

TEST(CreateProgramShortcut, SavesTheLinkInItsGroupOrElseInTheProgramsFolderAndNoneForTooLongPaths) {
    const ComApartment com;
    char programsFolder[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programsFolder, CSIDL_PROGRAMS, TRUE));
    const std::string programs = programsFolder + std::string("\\");
    // The groups lie in a folder of this process's own; a link in the Programs folder has its name.
    const std::string own = "Setup " + std::to_string(GetCurrentProcessId()), group = own + "\\Words",
                      loose = "W" + own;
    ASSERT_TRUE(fs::create_directory(programs + own));
    // The longest name and program that give a link path and a target path ("C:\Words\" first) of 259 characters.
    const size_t longestName = 259 - programs.size() - group.size() - 5, longestProgram = 259 - 9;
    // Group, shortcut name, program, arguments, and the folder where the link lands (none: no link).
    const std::tuple<std::string, std::string, std::string, std::string, std::optional<std::string>> cases[] = {
        {group, "Words", "bin\\words.exe", "-lang de en", group},  // the group is made (and used again below)
        {own + "\\Missing\\Sub", loose, "app.exe", "-x", ""},      // a group that cannot be made
        {group, std::string(longestName, 'n'), "app.exe", "", group},
        {group, std::string(longestName + 1, 'n'), "app.exe", "", std::nullopt},
        {group, "Long", std::string(longestProgram, 'p'), "", group},
        {group, "Longer", std::string(longestProgram + 1, 'p'), "", std::nullopt},
        {"", loose, "app.exe", "", ""},  // no group (the Programs folder stays the working directory)
    };
    const test::ScopedWorkingDirectory restored(fs::current_path());  // the shortcut changes it
    InstallSettings settings;
    settings.targetPrefix = "C:\\Words\\";
    for (const auto& [groupName, name, program, arguments, folder] : cases) {
        std::tie(settings.groupName, settings.shortcutName, settings.shortcutProgram, settings.shortcutArguments) =
            std::tie(groupName, name, program, arguments);
        const std::string link = programs + folder.value_or(groupName) + (folder == "" ? "" : "\\") + name + ".lnk";
        EXPECT_EQ(CreateProgramShortcut(settings, nullptr).linkPath, folder ? std::optional(link) : std::nullopt);
        EXPECT_EQ(fs::exists(link), folder.has_value()) << link;
        const auto read = folder ? test::ReadLink(link) : std::nullopt;  // a path too long for it is not read
        EXPECT_EQ(read ? read->path + "|" + read->workingDirectory + "|" + read->arguments : "none",
                  folder ? "C:\\Words\\" + program + "|C:\\Words\\|" + arguments : "none");
    }
    fs::remove(loose + ".lnk");
    fs::remove_all(own);
}

// Accepted texts name a directory afterwards; refused ones leave the folder as it was.
TEST(AcceptTargetDirectory, TakesAnAbsoluteTextAsTypedMakesARelativeOneAbsoluteAndRefusesTheRest) {
    const test::TempDir directory;
    const std::string dir = directory.Path().string(), deep(150, 'd');
    ASSERT_TRUE(fs::create_directory(dir + "\\Words") && fs::create_directory(dir + "\\" + deep));
    const test::ScopedWorkingDirectory inside(dir);
    // A relative text whose absolute form has 259 characters.
    const std::string fits = deep + "\\" + std::string(259 - dir.size() - deep.size() - 2, 'r');
    // The text and the target it gives (none: refused).
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {dir + "\\Words\\..\\Words\\.", dir + "\\Words\\..\\Words\\."},
        {dir + "\\New\\", dir + "\\New\\"},
        {"Relative", dir + "\\Relative"},
        {fits, dir + "\\" + fits},
        {fits + "r", std::nullopt},
        {dir + "\\missing\\child", std::nullopt},
        {"", std::nullopt},
    };
    const auto entries = [&dir] { return std::distance(fs::recursive_directory_iterator(dir), {}); };
    for (const auto& [text, target] : cases) {
        const auto before = entries();
        EXPECT_EQ(AcceptTargetDirectory(text), target) << text;
        EXPECT_TRUE(target ? fs::is_directory(*target) : entries() == before) << text;
    }
}

// Windows deletes no read-only file, even under Wine as root (where writing it succeeds).
TEST(RemoveLeftover, RemovesAReadOnlyFile) {
    const test::TempDir directory;
    const std::string file = directory.File("tempout.wb");
    test::WriteFileBytes(file, "left over");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    RemoveLeftover(file);
    EXPECT_FALSE(fs::exists(file));
}

// Folded as Windows folds names, non-ASCII too, and compared by IsBelow as the golden case of
// the paths below a directory says.
TEST(PathKey, FoldsNamesAsWindowsAndFindsThePathsBelowADirectory) {
    Win32UninstallServices services;
    EXPECT_EQ(services.PathKey("c:\\caf\xE9\\x"), "C:\\CAF\xC3\x89\\X");
    for (const test::GoldenCase& c : test::ReadGoldenCases("uninstall_record.txt"))
        for (const std::string& line : test::Lines(c.Has("below") ? c.Text("below") : "")) {
            const size_t bar = line.find('|'), last = line.rfind('|');
            EXPECT_EQ(
                IsBelow(services.PathKey(line.substr(0, bar)), services.PathKey(line.substr(bar + 1, last - bar - 1))),
                line.ends_with("yes"))
                << line;
        }
}

// The record and its entry are replaced one after the other: between the two, and after a run
// that ended there, the new record is accepted; once the entry is written, only that record is.
TEST(StoreRecord, KeepsTheNewRecordAcceptedUntilItsEntryIsWritten) {
    const test::TempDir directory;
    Win32UninstallServices services;
    const std::string target = *services.FullPath(directory.Path().string());
    UninstallRecord record{"Record store test", "SetupTest.RecordStore", target, {}, {}, {}};
    services.DeleteEntry(record.key);
    auto problem = [&] { return LoadRecord(target, services).problem; };

    const std::optional<std::string> first = StoreRecord(record, services);
    ASSERT_TRUE(first);
    EXPECT_EQ(problem(), "") << "a first install that ended before its entry";
    const std::string firstBytes = test::ReadFileBytes(directory.File("uninstall.dat"));
    UninstallEntry entry{record.name, "u", "u /S", target, "i", 1, *first, {}};
    ASSERT_TRUE(services.WriteEntry(record.key, entry));
    EXPECT_EQ(services.ReadEntry(record.key)->nextRecordSha256, "");
    EXPECT_EQ(problem(), "");

    record.directories.push_back(target + "\\sub");
    const std::optional<std::string> second = StoreRecord(record, services);
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *first);
    EXPECT_EQ(problem(), "") << "a second install that ended before its entry";
    entry.recordSha256 = *second;
    ASSERT_TRUE(services.WriteEntry(record.key, entry));
    test::WriteFileBytes(directory.File("uninstall.dat"), firstBytes);
    EXPECT_EQ(problem(), "The uninstall record is damaged: it differs from the one registered on this machine");

    EXPECT_TRUE(services.DeleteEntry(record.key));
}

// A value is read as it stands in the file, quotes kept, so that the uninstaller compares and
// gives back the text that was written; a key without a value is told from a missing one.
TEST(ReadProfileKey, GivesTheValueAsWrittenAndNothingForAMissingKey) {
    const test::TempDir directory;
    const std::string file = directory.File("test.ini");
    test::WriteFileBytes(file, "[Other]\r\nGone=1\r\n[S]\r\nQuoted=\"C:\\a b\"\r\nEmpty=\r\n; Gone=2\r\nplain = x \r\n");
    Win32UninstallServices services;
    const std::tuple<const char*, std::optional<std::string>> cases[] = {
        {"Quoted", "\"C:\\a b\""}, {"QUOTED", "\"C:\\a b\""}, {"Empty", ""}, {"Plain", "x"}, {"Gone", std::nullopt}};
    for (const auto& [key, value] : cases) EXPECT_EQ(services.ReadProfileKey("S", key, file), value) << key;
}

}  // namespace
}  // namespace setup
