// wltool as its users run it: the golden cases of tests/cases/wltool.txt, each a series of
// shell commands in a fresh directory, with the output, exit codes and files they leave.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "golden_cases.h"
#include "test_files.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

TEST(Wltool, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("wltool.txt")) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        int exitCode = -1;
        for (const test::GoldenSection& step : c.sections) {
            std::istringstream words(step.arguments);
            std::string first, second;
            words >> first >> second;
            if (step.name == "file") {
                test::WriteFileBytes(dir.File(first), step.text);
            } else if (step.name == "link") {
                fs::create_hard_link(dir.Path() / first, dir.Path() / second);
            } else if (step.name == "run") {
                const std::string command = "cd '" + dir.Path().string() + "' && PATH='" +
                                            fs::path(WLTOOL).parent_path().string() + "':\"$PATH\" && (" +
                                            step.arguments + ") >stdout 2>stderr";
                exitCode = WEXITSTATUS(std::system(command.c_str()));
            } else if (step.name == "unsanitized") {
#ifdef __SANITIZE_ADDRESS__
                break;
#endif
            } else if (step.name == "exit") {
                EXPECT_EQ(std::to_string(exitCode), step.arguments);
            } else if (step.name == "stdout" || step.name == "stderr" || step.name == "expect-file") {
                EXPECT_EQ(test::ReadFileBytes(dir.File(first.empty() ? step.name : first)), step.text) << step.name;
            } else if (step.name == "same-bytes") {
                EXPECT_EQ(test::ReadFileBytes(dir.File(first)), test::ReadFileBytes(dir.File(second)));
            } else if (step.name == "expect-files") {
                std::set<std::string> names;
                for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path()))
                    names.insert(entry.path().filename().string());
                std::string listed;
                for (const std::string& name : names) listed += name + "\n";
                EXPECT_EQ(listed, step.text);
            }
        }
    }
}

}  // namespace
}  // namespace setup
