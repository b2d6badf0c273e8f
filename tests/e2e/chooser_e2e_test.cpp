// The directory chooser, seen from outside: browsing drive C:, the Enter key and its refusal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

using ::testing::AnyOf;
using ::testing::Contains;
using ::testing::Not;

std::string PlainMedium(const std::string& script) {
    std::string medium = MakeTempDir("medium");
    WriteFileBytes(JoinPath(medium, "install.inf"), script);
    return medium;
}

// Directories in C:\ for the listing: one plain, one with the system bit, one hidden; the
// plain one holds a subdirectory and a hidden one. Removed afterwards.
class ChooserRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::string unique = std::to_string(GetCurrentProcessId());
        visible = "e2e visible " + unique;
        system = "e2e system " + unique;
        hidden = "e2e hidden " + unique;
        for (const std::string& name : {visible, system, hidden}) CreateDirectoryA(("C:\\" + name).c_str(), nullptr);
        CreateDirectoryA(("C:\\" + visible + "\\inner").c_str(), nullptr);
        CreateDirectoryA(("C:\\" + visible + "\\secret").c_str(), nullptr);
        SetFileAttributesA(("C:\\" + visible + "\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA(("C:\\" + system).c_str(), FILE_ATTRIBUTE_SYSTEM);
        SetFileAttributesA(("C:\\" + hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    void TearDown() override {
        for (const std::string& name : {visible + "\\inner", visible + "\\secret", visible, system, hidden}) {
            SetFileAttributesA(("C:\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            RemoveDirectoryA(("C:\\" + name).c_str());
        }
    }

    std::string visible;
    std::string system;
    std::string hidden;
};

TEST_F(ChooserRun, ChangeDirectoryListsCOnceAndBrowsingMovesDownAndUp) {
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), PlainMedium("title Chooser\r\n")));
    ASSERT_NE(setup.WaitForMainWindow(), nullptr);
    setup.Click(202);
    Settle();

    EXPECT_FALSE(setup.DescribeControl(202).enabled);
    ControlInfo panel = setup.DescribeControl(249);
    EXPECT_EQ(panel.rect.right - panel.rect.left, 440);
    EXPECT_EQ(panel.rect.bottom - panel.rect.top, 320);
    for (int id : {251, 252, 300, 301}) EXPECT_TRUE(setup.DescribeControl(id).visible) << id;
    EXPECT_THAT(setup.WindowTextOf(350), AnyOf("C:\\", "c:\\"));
    std::vector<std::string> drives = setup.ListItems(300);
    EXPECT_THAT(drives, Contains(AnyOf("C:\\", "c:\\")));
    std::vector<std::string> listed = setup.ListItems(301);
    EXPECT_THAT(listed, Contains(visible));
    EXPECT_THAT(listed, Contains(system));
    EXPECT_THAT(listed, Not(Contains(hidden)));
    EXPECT_THAT(listed, Not(Contains("..")));

    // The button is greyed: a second click does nothing.
    setup.Click(202);
    Settle();
    EXPECT_EQ(setup.ListItems(300), drives);

    ASSERT_TRUE(setup.SelectListItem(301, visible));
    Settle();
    EXPECT_THAT(setup.WindowTextOf(350), AnyOf("C:\\" + visible, "c:\\" + visible));
    EXPECT_EQ(setup.ListItems(301), (std::vector<std::string>{"..", "inner"}));

    ASSERT_TRUE(setup.SelectListItem(301, ".."));
    Settle();
    EXPECT_THAT(setup.WindowTextOf(350), AnyOf("C:\\", "c:\\"));
    EXPECT_THAT(setup.ListItems(301), Contains(visible));
    EXPECT_THAT(setup.ListItems(301), Not(Contains("..")));

    setup.Click(201);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST_F(ChooserRun, EnterInstallsIntoAValidTargetAndRefusesAnInvalidOne) {
    std::string parent = MakeTempDir("target");
    std::string invalid = JoinPath(parent, "missing\\child");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), PlainMedium("mkdir data\r\n")));
    ASSERT_NE(setup.WaitForMainWindow(), nullptr);
    setup.SetEditText(350, invalid);
    setup.PressKey(350, VK_RETURN);
    std::optional<MessageBoxInfo> box = setup.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "Invalid Directory");
    setup.PressOk(*box);
    Settle();
    EXPECT_TRUE(setup.Running());
    EXPECT_EQ(setup.WindowTextOf(350), invalid);

    std::string target = JoinPath(parent, "Words");
    setup.SetEditText(350, target);
    setup.PressKey(350, VK_RETURN);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    EXPECT_TRUE(IsDirectory(JoinPath(target, "data")));
}

}  // namespace
}  // namespace setup::e2e
