#include <gtest/gtest.h>

#include <filesystem>

#include "setup/install_log.h"
#include "test_files.h"

namespace setup {
namespace {

// Fails every call whose path or key holds "bad"; the search finds a directory and two files.
class FakeServices final : public ScriptServices {
public:
    std::vector<std::string> shown;

    static bool Good(const std::string& text) { return text.find("bad") == std::string::npos; }
    bool MakeDirectory(const std::string& path) override { return Good(path); }
    bool CopyFileReplacing(const std::string& source, const std::string&) override { return Good(source); }
    void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) override {
        if (pattern == "*.hlp")
            for (const char* name : {".", "a.hlp", "b.hlp"}) onEntry({name, name[0] == '.'});
    }
    std::optional<std::string> CurrentDirectory() override { return "C:\\medium"; }
    bool ChangeDirectory(const std::string& path) override { return Good(path); }
    bool WriteProfileKey(const std::string&, const std::string& key, const std::string&, const std::string&) override {
        return Good(key);
    }
    void ShowDestination(const std::string& path) override { shown.push_back(path); }
};

TEST(InstallLog, AppendsEveryStepWithItsResultAndEveryBoxAsOneLineOrNothingWhereItCannotWrite) {
    test::TempDir dir;
    const std::string path = dir.File("setup.log");
    test::WriteFileBytes(path, "earlier run\r\n");
    FakeServices inner;
    std::vector<std::string> found;
    {
        InstallLog log(path);
        LoggingScriptServices services(inner, log);
        EXPECT_TRUE(services.MakeDirectory("T\\language"));
        EXPECT_FALSE(services.MakeDirectory("T\\bad"));
        EXPECT_TRUE(services.CopyFileReplacing("M\\a.txt", "T\\a.txt"));
        EXPECT_FALSE(services.CopyFileReplacing("M\\bad.txt", "T\\b.txt"));
        services.ForEachEntry("*.hlp", [&found](const FoundEntry& entry) { found.push_back(entry.name); });
        services.ForEachEntry("*.x", [&found](const FoundEntry& entry) { found.push_back(entry.name); });
        EXPECT_EQ(services.CurrentDirectory(), "C:\\medium");
        EXPECT_FALSE(services.ChangeDirectory("bad"));
        EXPECT_TRUE(services.WriteProfileKey("Dictionary", "Language", "English = German", "win.ini"));
        services.ShowDestination("T\\a.txt");
        MessageLog(log).Show("Welcome\r\nto it\n", "Install", MessageIcon::None, true);
        EXPECT_TRUE(log.Write("done"));
    }
    EXPECT_EQ(found, (std::vector<std::string>{".", "a.hlp", "b.hlp"}));
    EXPECT_EQ(inner.shown, std::vector<std::string>{"T\\a.txt"});
    EXPECT_EQ(test::ReadFileBytes(path),
              "earlier run\r\nmkdir T\\language: ok\r\nmkdir T\\bad: failed\r\n"
              "copy M\\a.txt -> T\\a.txt: ok\r\ncopy M\\bad.txt -> T\\b.txt: failed\r\n"
              "search *.hlp: 2 files\r\nsearch *.x: 0 files\r\nworking directory bad: failed\r\n"
              "win.ini [Dictionary] Language=English = German: ok\r\nmessage \"Install\": \"Welcome\\r\\nto it\\n\"\r\n"
              "done\r\n");

    EXPECT_FALSE(InstallLog(dir.File("missing/setup.log")).Write("line"));
    EXPECT_FALSE(InstallLog().Write("line"));
    EXPECT_FALSE(InstallLog("/dev/full").Write("line"));
}

}  // namespace
}  // namespace setup
