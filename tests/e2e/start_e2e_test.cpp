// The Start command's validation of the target and its end, seen from outside.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

std::string PlainMedium() {
    std::string medium = MakeTempDir("medium");
    WriteFileBytes(JoinPath(medium, "install.inf"), "title Start test\r\n");
    return medium;
}

TEST(StartCommand, TargetWithAMissingParentIsRefusedAndTheChooserStays) {
    std::string parent = MakeTempDir("target");
    std::string target = JoinPath(parent, "missing\\child");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), PlainMedium()));
    HWND window = setup.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    setup.SetEditText(350, target);
    setup.Click(200);

    auto box = setup.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "Invalid Directory");
    EXPECT_EQ(box->icon, BoxIcon::Error);
    EXPECT_EQ(box->owner, window);
    setup.PressOk(*box);

    Settle();
    EXPECT_TRUE(setup.Running());
    EXPECT_EQ(setup.WindowTextOf(350), target);
    EXPECT_TRUE(setup.DescribeControl(200).visible);
    EXPECT_TRUE(setup.DescribeControl(202).visible);
    EXPECT_FALSE(PathExists(JoinPath(parent, "missing")));

    // A text longer than a path may be is refused as well, and nothing is cut and used.
    std::string tooLong = JoinPath(parent, std::string(300, 'x'));
    setup.SetEditText(350, tooLong);
    setup.Click(200);
    box = setup.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Invalid Directory");
    setup.PressOk(*box);
    EXPECT_EQ(setup.WindowTextOf(350), tooLong);
    EXPECT_TRUE(ListDirectory(parent).empty());

    setup.Click(201);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST(StartCommand, NewDirectoryUnderAnExistingOneIsCreatedAndTheRunEndsWithZero) {
    std::string parent = MakeTempDir("target");
    std::string target = JoinPath(parent, "Words");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), PlainMedium()));
    ASSERT_NE(setup.WaitForMainWindow(), nullptr);
    setup.SetEditText(350, target);
    setup.Click(200);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    EXPECT_TRUE(IsDirectory(target));
}

TEST(StartCommand, TargetThatExistsAsAFileIsAccepted) {
    std::string parent = MakeTempDir("target");
    std::string file = JoinPath(parent, "plain.txt");
    WriteFileBytes(file, "x");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), PlainMedium()));
    ASSERT_NE(setup.WaitForMainWindow(), nullptr);
    setup.SetEditText(350, file);
    setup.PressKey(350, VK_RETURN);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    EXPECT_EQ(ReadFileBytes(file), "x");
}

}  // namespace
}  // namespace setup::e2e
