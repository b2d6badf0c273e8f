// Installs seen from outside: a full two-language install with the window, on the screen and in
// its files; the chooser (browsing, a refused and an accepted target); and setup.exe with
// switches, the same install unattended and the runs that end early.
#include <gtest/gtest.h>

#include "ui_driver.h"

namespace setup::e2e {
namespace {

TEST(FullInstall, TheWindowTheProgressDisplayTheBoxesAndEveryFile) {
    const test::GoldenCase run = ReadCase("e2e_install.txt", "two languages");
    const Workspace workspace(run);
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SETUP_EXE, workspace.medium));
    ASSERT_NE(setup.WaitForMainWindow(), nullptr);
    // The window covers the screen with the gradient and the shadowed title, and shows the chooser.
    const ScreenImage window = CaptureScreen();
    for (POINT p : {POINT{0, 0}, POINT{1023, 300}, POINT{600, 767}})
        EXPECT_EQ(window.At(p.x, p.y), RGB(0, 0, 200 - 3 * (63 * p.y / window.height))) << p.x << "," << p.y;
    EXPECT_GT(window.Count({28, 18, 480, 90}, RGB(230, 230, 230)), 500);
    EXPECT_GT(window.Count({28, 18, 480, 90}, RGB(0, 0, 0)), 100);
    EXPECT_EQ(TextOf(setup.Control(350)), "c:\\dictionary");
    for (int id : {200, 201, 202, 350}) EXPECT_TRUE(IsWindowVisible(setup.Control(id))) << id;
    EXPECT_FALSE(IsWindowVisible(setup.Control(301)));

    ScreenImage atFirstBox;
    bool controlsShown = false;
    const SetupRun result = RunSetup(setup, workspace.target, [&](const MessageBoxInfo&) {
        if (atFirstBox.pixels.empty()) atFirstBox = CaptureScreen();
        for (int id : {200, 201, 202, 249, 250, 350}) controlsShown |= IsWindowVisible(setup.Control(id)) != 0;
    });
    ExpectBoxesAndExit(run, "boxes", result.boxes, result.exitCode, result.window);
    EXPECT_FALSE(controlsShown);
    // The first build's caption, its bar at 100 %, and five detail lines, each with its text,
    // a counter and "Done.".
    ASSERT_FALSE(atFirstBox.pixels.empty());
    EXPECT_GT(atFirstBox.Count({28, 98, 480, 140}, RGB(230, 230, 230)), 300);
    EXPECT_GT(atFirstBox.Count({28, 98, 480, 140}, RGB(0, 0, 0)), 100);
    EXPECT_EQ(atFirstBox.At(30, 155), RGB(255, 255, 255));
    EXPECT_GT(atFirstBox.Count({31, 156, 379, 174}, RGB(0, 128, 0)), 5000);
    for (int row = 195; row <= 295; row += 25) {
        EXPECT_GT(atFirstBox.Count({30, row, 200, row + 25}, RGB(255, 255, 255)), 30) << row;
        EXPECT_GT(atFirstBox.Count({210, row, 290, row + 16}, RGB(0, 0, 104)), 300) << row;
        EXPECT_GT(atFirstBox.Count({210, row, 290, row + 16}, RGB(255, 255, 255)), 5) << row;
        EXPECT_GT(atFirstBox.Count({300, row, 380, row + 25}, RGB(255, 255, 255)), 20) << row;
    }
    ExpectFiles(run, workspace.target);
    ExpectWinIniAndShortcut(run, workspace);
}

TEST(Chooser, BrowsesRefusesATargetAndInstallsWithTheEnterKey) {
    const test::GoldenCase run = ReadCase("e2e_install.txt", "chooser");
    const Workspace workspace(run);
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SETUP_EXE, workspace.medium));
    HWND window = setup.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    setup.Click(202);
    Sleep(300);
    for (int id : {251, 252, 300, 301}) EXPECT_TRUE(IsWindowVisible(setup.Control(id))) << id;
    ASSERT_TRUE(setup.SelectListItem(301, L"windows"));
    EXPECT_EQ(TextOf(setup.Control(350)), "c:\\windows");
    ASSERT_TRUE(setup.SelectListItem(301, L".."));
    EXPECT_EQ(TextOf(setup.Control(350)), "c:\\");

    const std::string refused = workspace.root.File("missing\\Words");
    setup.SetText(350, refused);
    setup.Click(200);
    const std::optional<MessageBoxInfo> box = setup.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    setup.PressOk(*box);
    Sleep(300);
    EXPECT_TRUE(setup.Running());
    EXPECT_EQ(TextOf(setup.Control(350)), refused);
    setup.SetText(350, workspace.target);
    PostMessageA(setup.Control(350), WM_KEYDOWN, VK_RETURN, 1);
    ExpectBoxesAndExit(run, "boxes", {*box}, setup.WaitForExit(), window);
    ExpectFiles(run, workspace.target);
}

// Every case with an "unattended <switches>" section runs once: no window ever, no box but the
// one that "help-box" names, the exit code, the files, win.ini and the shortcut of a full
// install, and the log ("log", with "<time>" and "<programs>" masked), which holds a line of an
// earlier run.
TEST(Unattended, EachRunSaysHowItEndedInItsExitCodeAndItsLogAndShowsNoWindow) {
    for (const test::GoldenCase& run : test::ReadGoldenCases("e2e_install.txt")) {
        if (!run.Has("unattended")) continue;
        SCOPED_TRACE(run.name);
        const Workspace workspace(run);
        const std::string root = workspace.root.Path().string();
        const std::string log = workspace.root.File("setup log.txt");
        test::WriteFileBytes(log, "an earlier run\r\n");
        SetupProcess setup;
        ASSERT_TRUE(
            setup.Start(SETUP_EXE, workspace.medium, Replace(run.Section("unattended").arguments, "<root>", root)));
        const SetupRun result = RunSetup(setup, "");
        EXPECT_EQ(result.window, nullptr);
        ExpectBoxesAndExit(run, "help-box", result.boxes, result.exitCode, nullptr);
        ExpectFiles(run, workspace.target);
        EXPECT_EQ(MaskedLog(log, root), test::Crlf(run.Text("log")));
        if (run.Has("shortcut")) ExpectWinIniAndShortcut(run, workspace);
    }
}

}  // namespace
}  // namespace setup::e2e
