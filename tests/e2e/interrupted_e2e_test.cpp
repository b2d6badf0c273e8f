// An unattended upgrade killed at the moments of tests/cases/e2e_interrupted.txt: right after
// each kill every file holds its old or its new bytes whole, and the same install run again ends
// like an upgrade that was never interrupted. Each moment's findings are printed as a table row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ios>
#include <map>

#include "linux_calls.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;  // the files below a directory and their bytes

Tree ReadTree(const std::string& directory) {
    Tree tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(directory).string()] = test::ReadFileBytes(entry.path().string());
    return tree;
}

// The Linux process whose command line holds that argument (no blank in it), found in /proc
// through Wine's drive Z:, since Linux knows nothing of Windows process ids; 0 when there is none.
int LinuxPidWithArgument(const std::string& argument) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    int pid = 0;
    for (bool more = search != INVALID_HANDLE_VALUE; more && !pid; more = FindNextFileA(search, &found)) {
        std::string commandLine;
        try {
            commandLine = test::ReadFileBytes("Z:\\proc\\" + std::string(found.cFileName) + "\\cmdline");
        } catch (const std::ios_base::failure&) {
            continue;  // a process that ended while it was read
        }
        if (commandLine.find(argument + '\0') != std::string::npos) pid = std::atoi(found.cFileName);
    }
    FindClose(search);
    return pid;
}

// Runs the upgrade unattended. With a moment ("<file> <bytes> <log text>"), kills it (SIGKILL)
// as soon as the file has that many bytes and the log a line starting with the text, and returns
// once nothing of it runs any more.
std::optional<DWORD> Upgrade(const Workspace& workspace, const std::string& moment = "") {
    const std::string log = workspace.root.File("setup.log"), logSwitch = "/LOG=" + log;
    SetupProcess setup;
    if (!setup.Start(SETUP_EXE, workspace.medium, "/S " + logSwitch + " /D=" + workspace.target)) return {};
    if (moment.empty()) return setup.WaitForExit();
    int pid = 0;  // looked for before the moment: going through /proc takes milliseconds
    while (setup.Running() && !(pid = LinuxPidWithArgument(logSwitch))) Sleep(1);
    const size_t blank = moment.find(' '), second = moment.find(' ', blank + 1);
    const std::string file = workspace.target + "\\" + moment.substr(0, blank);
    std::string text = moment.substr(second);
    text.front() = '\n';  // the start of a line
    std::error_code error;
    while (setup.Running() && (fs::file_size(file, error) < std::stoull(moment.substr(blank)) || error ||
                               test::ReadFileBytes(log).find(text) == std::string::npos))
        Sleep(1);
    EXPECT_TRUE(pid > 0 && setup.Running()) << moment << ": the run ended before the moment";
    if (pid > 0) LinuxKill(pid);  // never 0: that would end this whole process group
    return setup.WaitForExit();
}

TEST(InterruptedUpgrade, LeavesEveryFileWholeAndTheSameRunAgainFinishesIt) {
    const test::GoldenCase run = ReadCase("e2e_interrupted.txt", "an upgrade of English - German");
    std::string fromList;  // long enough a build for every moment
    for (int i = 0; i < 30000; ++i) {
        const std::string n = std::to_string(i);
        fromList += test::RecordBytes("Wort" + n, "word" + n + ", term" + n + ", vocable" + n);
    }
    Tree upgraded;
    for (const std::string& moment : test::Lines("\n" + run.Text("kills"))) {  // first the upgrade never killed
        const Workspace workspace(run);
        fs::create_directory(workspace.medium + "\\language");
        test::WriteFileBytes(workspace.medium + "\\language\\deen.wb", fromList);
        const Tree before = ReadTree(workspace.target);
        const std::optional<DWORD> exitCode = Upgrade(workspace, moment);
        const Tree killed = ReadTree(workspace.target);
        if (moment.empty()) {
            ASSERT_EQ(exitCode, 0u);
            upgraded = killed;
            continue;
        }
        // A file of the finished upgrade holds its old bytes (shown as 0; "-": not there), its new
        // ones (1) or, for dict.ini, a state between its rewrites (2, 3).
        std::string found = moment + " |";
        for (const auto& [name, bytes] : upgraded) {
            std::vector<std::string> whole = {before.count(name) ? before.at(name) : "-", bytes};
            for (const test::GoldenSection& state : run.sections)
                if (state.name == "state" && state.arguments == name) whole.push_back(test::Crlf(state.text));
            const auto at = std::find(whole.begin(), whole.end(), killed.count(name) ? killed.at(name) : "-");
            EXPECT_TRUE(at != whole.end()) << moment << ": " << name;
            if (whole.size() > 2 || whole[0] != whole[1])
                found += " " + name + " " + std::to_string(at - whole.begin());
        }
        for (const auto& [name, bytes] : killed)  // the files the upgrade does not leave
            if (!upgraded.count(name)) found += ", " + name + " " + std::to_string(bytes.size()) + " B";
        const std::optional<DWORD> rerun = Upgrade(workspace);
        const bool finished = ReadTree(workspace.target) == upgraded;
        EXPECT_TRUE(rerun == 0u && finished) << moment;
        std::printf("%s | rerun: exit %d, %s\n", found.c_str(), int(rerun.value_or(99)),
                    finished ? "the tree of the upgrade never killed" : "another tree");
    }
}

}  // namespace
}  // namespace setup::e2e
