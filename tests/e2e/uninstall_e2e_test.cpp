// Installs and their removal, one row each in tests/cases/e2e_uninstall.txt. Besides the sections
// of ui_driver.h, a row has:
//   install <medium> window | install <medium> <switches>   each install, in order
//   entry        the Apps & features entry's values after the installs (<kb>: the size of every
//                file below the target but the record, and of the new shortcuts, in KB rounded up;
//                <checksum>: the record's); no-entry: there is none
//   change <path> (its new text), setini <key=value>, link <directory>   what the user does next:
//                a link replaces the directory, which moves to <root>\outside
//   refused flip <offset> | cut <length> | forge   a record damaged so (forge: a line that names
//                <root>\victim.txt, its checksum made anew), refused by /U /S: exit 1, nothing goes
//   decline      /U answered No: these boxes, exit 0, nothing goes
//   hold <path>  the file is held open (others may read it) while the removal runs
//   uninstall window | quiet <switches> | setup <switches>   the registered command, its quiet
//                one with more switches, or setup.exe started in the target
//   again <exit> once the files are free and the links gone, the quiet removal runs again
//   left         every entry left below the target ("dir\" for a directory or link; none: the
//                target is gone); outside <path>: a file that must still hold its text
//   win.ini      the [Dictionary] keys after the removal (without it: win.ini as before, byte
//                for byte); log: the log, "<key>" for the entry's key
// After each row the Start menu's Programs folder is as before, the entry is gone, and no copy
// of the uninstaller is left in the temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "linux_calls.h"
#include "ui_driver.h"
#include "uninstall/uninstall_services_win32.h"

namespace setup::e2e {
namespace {

constexpr const char* kUninstallKeys = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Every entry below the directory that matches the pattern, sorted; links are listed, never
// followed.
std::vector<std::string> Tree(const std::string& directory, const char* pattern = "*", const std::string& prefix = "") {
    std::vector<std::string> entries;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((directory + "\\" + pattern).c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        entries.push_back(prefix + name + (folder ? "\\" : ""));
        if (folder && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            for (const std::string& inner : Tree(directory + "\\" + name, "*", prefix + name + "\\"))
                entries.push_back(inner);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string Value(HKEY key, const char* name) {
    char text[1024] = {};
    DWORD size = sizeof text, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) return "-";
    return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(text)) : std::string(text);
}

// The key of the entry that names the target, and its values as "name=value" lines.
std::pair<std::string, std::string> FindEntry(const std::string& target) {
    HKEY all = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeys, 0, KEY_READ | KEY_WOW64_32KEY, &all);
    char name[256];
    for (DWORD i = 0, size = sizeof name; RegEnumKeyExA(all, i, name, &size, 0, 0, 0, 0) == 0;
         size = sizeof name, ++i) {
        HKEY entry = nullptr;
        RegOpenKeyExA(all, name, 0, KEY_READ, &entry);
        std::string values;
        for (const char* value : {"DisplayName", "UninstallString", "QuietUninstallString", "InstallLocation",
                                  "DisplayIcon", "EstimatedSize", "NoModify", "NoRepair", "RecordSha256"})
            values += std::string(value) + "=" + Value(entry, value) + "\n";
        const bool ours = lstrcmpiA(Value(entry, "InstallLocation").c_str(), target.c_str()) == 0;
        RegCloseKey(entry);
        if (ours) return RegCloseKey(all), std::pair{std::string(name), values};
    }
    RegCloseKey(all);
    return {};
}

std::string WinIni() {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    return test::ReadFileBytes(folder + std::string("\\win.ini"));
}

std::vector<std::string> UninstallerCopies() {
    char folder[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return Tree(std::string(folder, length - 1), "dun*.tmp");
}

// The value of that name among "name=value" lines.
std::string ValueOf(const std::string& values, const std::string& name) {
    const size_t at = values.find(name + "=");
    if (at == std::string::npos) return "";
    const size_t start = at + name.size() + 1;
    return values.substr(start, values.find('\n', start) - start);
}

// Runs a command line "<quoted program> <arguments>" in the directory; its boxes and exit code.
SetupRun RunCommand(const std::string& command, const std::string& directory, int answer = IDYES) {
    const size_t end = command.find('"', 1);
    SetupProcess program;
    program.yesNoAnswer = answer;
    EXPECT_TRUE(program.Start(command.substr(1, end - 1), directory, command.substr(std::min(end + 2, command.size()))))
        << command;
    return RunSetup(program, "");
}

TEST(Uninstall, EachRowRemovesWhatItsInstallsWroteAndNothingElse) {
    for (const test::GoldenCase& run : test::ReadGoldenCases("e2e_uninstall.txt")) {
        SCOPED_TRACE(run.name);
        const Workspace workspace(run);
        const std::string root = workspace.root.Path().string(), target = workspace.target;
        const std::string winIni = WinIni();
        const std::vector<std::string> programs = Tree(ProgramsFolder());
        for (const test::GoldenSection& install : run.sections) {
            if (install.name != "install") continue;
            const size_t blank = install.arguments.find(' ');
            const std::string how = Replace(install.arguments.substr(blank + 1), "<root>", root);
            SetupProcess setup;
            ASSERT_TRUE(
                setup.Start(SETUP_EXE, root + "\\" + install.arguments.substr(0, blank), how == "window" ? "" : how));
            EXPECT_EQ(RunSetup(setup, how == "window" ? target : "").exitCode, 0u) << install.arguments;
        }
        if (run.Has("files")) ExpectFiles(run, target);
        const auto [key, values] = FindEntry(target);
        const std::string record = test::ReadFileBytes(target + "\\uninstall.dat");
        EXPECT_EQ(key.empty(), run.Has("no-entry"));
        if (run.Has("entry")) {
            std::uint64_t bytes = 0;
            std::error_code directory;  // a directory has no size
            for (const std::string& file : Tree(target))
                if (file != "uninstall.dat") bytes += std::filesystem::file_size(target + "\\" + file, directory);
            for (const std::string& link : Tree(ProgramsFolder()))
                if (link.ends_with(".lnk") && !std::count(programs.begin(), programs.end(), link))
                    bytes += std::filesystem::file_size(ProgramsFolder() + "\\" + link);
            const std::string expected = Replace(run.Text("entry"), "<kb>", std::to_string((bytes + 1023) / 1024));
            ASSERT_GT(record.size(), 66u);
            EXPECT_EQ(Replace(Replace(values, root, "<root>"), record.substr(record.size() - 66, 64), "<checksum>"),
                      expected);
        }
        for (const test::GoldenSection& step : run.sections) {
            const std::string path = target + "\\" + step.arguments;
            if (step.name == "change") test::WriteFileBytes(path, test::Crlf(step.text));
            if (step.name == "setini")
                WriteProfileStringA("Dictionary", step.arguments.substr(0, step.arguments.find('=')).c_str(),
                                    step.arguments.substr(step.arguments.find('=') + 1).c_str());
            if (step.name == "link") {
                const std::string outside = root + "\\outside\\" + step.arguments;
                std::filesystem::create_directory(root + "\\outside");
                ASSERT_TRUE(MoveFileA(path.c_str(), outside.c_str()));
                ASSERT_TRUE(LinuxSymlink(UnixPath(outside).c_str(), UnixPath(path).c_str()));
            }
        }
        const std::vector<std::string> installed = Tree(target);
        const std::string quiet = ValueOf(values, "QuietUninstallString") + " /LOG=\"" + root + "\\setup log.txt\"";
        for (const test::GoldenSection& damage : run.sections) {
            if (damage.name != "refused") continue;
            std::string bytes = record;
            if (damage.arguments.starts_with("flip")) bytes[std::stoul(damage.arguments.substr(5))] ^= 1;
            if (damage.arguments.starts_with("cut")) bytes.resize(std::stoul(damage.arguments.substr(4)));
            if (damage.arguments == "forge") {
                const std::string victim = root + "\\victim.txt";
                test::WriteFileBytes(victim, "not the dictionary's");
                Win32UninstallServices platform;
                bytes.resize(bytes.size() - 73);  // the checksum line
                bytes += "file\tnew\t20\t" + platform.Sha256("not the dictionary's") + "\t" + victim + "\r\n";
                bytes += "sha256\t" + platform.Sha256(bytes) + "\r\n";
            }
            test::WriteFileBytes(target + "\\uninstall.dat", bytes);
            EXPECT_EQ(RunCommand(quiet, root).exitCode, 1u) << damage.arguments;
            EXPECT_EQ(Tree(target), installed) << damage.arguments;
            EXPECT_TRUE(std::filesystem::exists(root + "\\victim.txt") || damage.arguments != "forge");
            test::WriteFileBytes(target + "\\uninstall.dat", record);
        }
        if (run.Has("decline")) {
            const SetupRun declined = RunCommand(ValueOf(values, "UninstallString"), root, IDNO);
            EXPECT_EQ(declined.boxes.size(), 1u);
            EXPECT_EQ(declined.exitCode, 0u);
            EXPECT_EQ(Tree(target), installed);
        }
        std::vector<HANDLE> held;
        for (const test::GoldenSection& step : run.sections)
            if (step.name == "hold")
                held.push_back(CreateFileA((target + "\\" + step.arguments).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
        const std::string how = run.Section("uninstall").arguments;
        const std::string more = Replace(how.substr(how.find(' ') + 1), "<root>", root);
        const SetupRun removal = how == "window" ? RunCommand(ValueOf(values, "UninstallString"), root)
                                 : how.starts_with("quiet ")
                                     ? RunCommand(ValueOf(values, "QuietUninstallString") + " " + more, root)
                                     : RunCommand("\"" SETUP_EXE "\" " + more, target);
        ExpectBoxesAndExit(run, "boxes", removal.boxes, removal.exitCode, nullptr);
        // The uninstaller's end (kept waiting while uninstall.exe is held) keeps no handle of the log.
        const HANDLE log = CreateFileA((root + "\\setup log.txt").c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
        EXPECT_TRUE(log != INVALID_HANDLE_VALUE || !run.Has("log"));
        CloseHandle(log);
        for (HANDLE file : held) CloseHandle(file);
        if (run.Has("again")) {
            for (const test::GoldenSection& step : run.sections)
                if (step.name == "link") LinuxUnlink(UnixPath(target + "\\" + step.arguments).c_str());
            EXPECT_EQ(RunCommand(quiet, root).exitCode, std::stoul(run.Section("again").arguments));
        }
        // The uninstaller's own file and the target go just after it has ended.
        const std::vector<std::string> left = test::Lines(run.Has("left") ? run.Text("left") : "");
        for (int wait = 0; wait < 100 && (!UninstallerCopies().empty() || Tree(target) != left); ++wait) Sleep(100);
        EXPECT_EQ(Tree(target), left);
        EXPECT_EQ(std::filesystem::exists(target), run.Has("left"));
        EXPECT_EQ(UninstallerCopies(), std::vector<std::string>());
        EXPECT_EQ(FindEntry(target).first, "");
        for (const test::GoldenSection& step : run.sections) {
            if (step.name == "outside") {
                EXPECT_EQ(test::ReadFileBytes(root + "\\outside\\" + step.arguments), test::Crlf(step.text));
            }
            // Wine follows a link when the workspace is removed: it goes first.
            if (step.name == "link") LinuxUnlink(UnixPath(target + "\\" + step.arguments).c_str());
        }
        if (run.Has("log")) {
            EXPECT_EQ(Replace(MaskedLog(root + "\\setup log.txt", root), key.empty() ? "<key>" : key, "<key>"),
                      test::Crlf(run.Text("log")));
        }
        if (run.Has("win.ini")) {
            EXPECT_EQ(DictionaryKeys(), run.Text("win.ini"));
        } else {
            EXPECT_EQ(WinIni(), winIni);
        }
        if (run.Has("shortcut")) ForgetInstall(run);
        WriteProfileStringA("Dictionary", nullptr, nullptr);
        EXPECT_EQ(Tree(ProgramsFolder()), programs);
    }
}

}  // namespace
}  // namespace setup::e2e
