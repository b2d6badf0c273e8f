#include <gtest/gtest.h>

#include <filesystem>

#include "core_fakes.h"
#include "setup/install_log.h"
#include "test_files.h"

namespace setup {
namespace {

// What a run with the window shows, the log writes as lines; a log that cannot be written
// takes no line and stops nothing.
TEST(InstallLog, AppendsEachStepWithItsResultAndEachBoxAsALine) {
    test::TempDir dir;
    const std::string path = dir.File("setup.log");
    test::WriteFileBytes(path, "earlier run\r\n");
    std::string calls;
    test::RecordingScriptServices inner(calls);
    inner.listings[{"C:\\Start", "*.hlp"}] = {{".", true}, {"a.hlp"}, {"b.hlp"}};
    size_t found = 0;
    {
        InstallLog log(path);
        LoggingScriptServices services(inner, log);
        EXPECT_FALSE(services.MakeDirectory("T\\bad"));
        EXPECT_FALSE(services.CopyFileReplacing("M\\bad.txt", "T\\b.txt"));
        services.ForEachEntry("*.hlp", [&found](const FoundEntry&) { ++found; });
        EXPECT_EQ(services.CurrentDirectory(), "C:\\Start");
        EXPECT_FALSE(services.ChangeDirectory("bad"));
        EXPECT_FALSE(services.WriteProfileKey("Dictionary", "bad", "x", "win.ini"));
        services.ShowDestination("T\\a.txt");
        MessageLog(log).Show("Welcome\r\nto it\n", "Install", MessageIcon::None, true);
    }
    EXPECT_EQ(found, 3u);
    EXPECT_NE(calls.find("show T\\a.txt\n"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(path),
              "earlier run\r\nmkdir T\\bad: failed\r\ncopy M\\bad.txt -> T\\b.txt: failed\r\nsearch *.hlp: 2 files\r\n"
              "working directory bad: failed\r\nwin.ini [Dictionary] bad=x: failed\r\n"
              "message \"Install\": \"Welcome\\r\\nto it\\n\"\r\n");
    EXPECT_FALSE(InstallLog(dir.File("missing/setup.log")).Write("line"));
    EXPECT_FALSE(InstallLog().Write("line"));
    EXPECT_FALSE(InstallLog("/dev/full").Write("line"));
}

}  // namespace
}  // namespace setup
