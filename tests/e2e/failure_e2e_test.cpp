// Runs with the window that fail or stop, one row each in tests/cases/e2e_failures.txt: a full
// disk at each of the program's own writes, list names it must refuse, a missing install.inf or
// language.cf, a word list it cannot use, a TO list it cannot create, a dict.ini it cannot
// replace, Stop. Each row is checked for its boxes, its exit code and every file it leaves.
// A row with "stop" presses Stop instead of Start. Besides its files, a row may plant a fault:
//   limit <bytes>       no file can grow beyond that size, as on a full disk
//   full-device <path>  the file is a link to the Linux device /dev/full, where writes fail
//   directory <path>    a directory stands where the program writes a file
//   huge <path>         the file grows (sparse) to 200 GiB: more records than a list's 32-bit
//                       record counter reaches, more than the 32-bit or the 64-bit build can hold
//   read-only <path>
// A row whose box comes before any window says "no-window"; its box then has no owner.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "linux_calls.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

// Makes the file that long without writing it (mingw's resize_file refuses more than the disk
// has free).
bool GrowSparse(const std::string& path, std::uint64_t size) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return grown;
}

TEST(FailureRuns, EachRowShowsItsBoxesEndsWithItsExitCodeAndLeavesItsFiles) {
    for (const test::GoldenCase& run : test::ReadGoldenCases("e2e_failures.txt")) {
        SCOPED_TRACE(run.name);
        const Workspace workspace(run);
        std::vector<std::string> unreadable;  // planted files that go before the check
        for (const test::GoldenSection& fault : run.sections) {
            const std::string path = workspace.target + "\\" + fault.arguments;
            const bool planted = fault.name == "directory"     ? std::filesystem::create_directory(path)
                                 : fault.name == "full-device" ? LinuxSymlink("/dev/full", UnixPath(path).c_str())
                                 : fault.name == "read-only"
                                     ? SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY) != 0
                                 : fault.name == "huge" ? GrowSparse(path, 200ULL << 30)
                                                        : true;
            EXPECT_TRUE(planted) << fault.name;
            if (fault.name == "full-device" || fault.name == "huge") unreadable.push_back(path);
        }
        SetupProcess setup;
        if (run.Has("limit")) LimitFileSize(std::stoull(run.Section("limit").arguments));
        const bool started = setup.Start(SETUP_EXE, workspace.medium);
        LimitFileSize(~std::uint64_t{0});
        ASSERT_TRUE(started);
        const SetupRun result = RunSetup(setup, workspace.target, {}, run.Has("stop") ? 201 : 200);
        for (const std::string& path : unreadable) LinuxUnlink(UnixPath(path).c_str());
        if (run.Has("read-only"))
            SetFileAttributesA((workspace.target + "\\" + run.Section("read-only").arguments).c_str(),
                               FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(result.window == nullptr, run.Has("no-window"));
        ExpectBoxesAndExit(run, "boxes", result.boxes, result.exitCode, result.window);
        ExpectFiles(run, workspace.target);
    }
}

}  // namespace
}  // namespace setup::e2e
