// wltool check: the golden media of tests/cases/medium_check.txt, and the sample medium.
#include <gtest/gtest.h>

#include "golden_cases.h"
#include "medium_check.h"
#include "test_files.h"

namespace setup {
namespace {

TEST(CheckMedium, GoldenCasesAndTheCleanSampleMedium) {
    EXPECT_TRUE(wltool::CheckMedium(SAMPLE_MEDIUM).empty());
    for (const test::GoldenCase& c : test::ReadGoldenCases("medium_check.txt")) {
        SCOPED_TRACE(c.name);
        test::TempDir medium;
        for (const test::GoldenSection& file : c.sections) {
            if (file.name != "file") continue;
            std::filesystem::create_directories((medium.Path() / file.arguments).parent_path());
            test::WriteFileBytes(medium.File(file.arguments), file.text);
        }
        std::string report;
        for (std::string line : wltool::CheckMedium(medium.Path())) {
            line.replace(0, medium.Path().string().size(), "<medium>");
            report += line + "\n";
        }
        EXPECT_EQ(report, c.Text("report"));
    }
}

}  // namespace
}  // namespace setup
