#include <gtest/gtest.h>

#include "golden_cases.h"
#include "setup/command_line.h"

namespace setup {
namespace {

TEST(ParseCommandLine, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("command_line.txt")) {
        const std::optional<CommandLine> options = ParseCommandLine(c.Section("line").arguments);
        std::string read = "not understood";
        if (options) {
            read = options->unattended ? "S" : "window";
            if (options->showHelp) read += " help";
            if (options->uninstall) read += " uninstall";
            if (options->logPath) read += " log<" + *options->logPath + ">";
            if (options->target) read += " target<" + *options->target + ">";
            if (options->finish) read += " finish<" + *options->finish + ">";
        }
        EXPECT_EQ(read, c.Section("read").arguments) << c.name;
    }
    // The exit codes deployment scripts test for.
    EXPECT_EQ(
        (std::vector<int>{kExitDone, kExitFatal, kExitTargetRefused, kExitSwitchNotUnderstood, kExitRemovedKeptFiles}),
        (std::vector<int>{0, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace setup
