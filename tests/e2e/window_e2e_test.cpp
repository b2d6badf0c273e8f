// The window, its painting and controls, Stop, and the start-up failure, seen from outside.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "ui_driver.h"

namespace setup::e2e {
namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

COLORREF GradientAt(int y) { return RGB(0, 0, 200 - 3 * ((63 * y) / kScreenHeight)); }

std::string MediumWithScript(const std::string& script) {
    std::string medium = MakeTempDir("medium");
    WriteFileBytes(JoinPath(medium, "install.inf"), script);
    return medium;
}

TEST(MainWindow, CoversTheScreenWithTheGradientAndTheShadowedTitle) {
    // Wider than its rectangle: it must be cut at x = 480.
    std::string medium = MediumWithScript("title Installing the Bilingual Dictionary Program\r\n");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), medium));
    HWND window = setup.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, kScreenWidth);
    EXPECT_EQ(rect.bottom, kScreenHeight);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);

    ScreenImage screen = CaptureScreen();
    for (int y : {0, 12, 13, 384, 600, 767}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(screen.At(700, y), GradientAt(y));
        EXPECT_EQ(screen.At(0, y), GradientAt(y));
        EXPECT_EQ(screen.At(1023, y), GradientAt(y));
    }

    int face = 0, shadow = 0;
    for (int y = 18; y < 90; ++y) {
        for (int x = 28; x < 480; ++x) {
            if (screen.At(x, y) == RGB(230, 230, 230)) ++face;
            if (screen.At(x, y) == RGB(0, 0, 0)) ++shadow;
        }
        for (int x = 480; x < kScreenWidth; ++x) {
            ASSERT_EQ(screen.At(x, y), GradientAt(y)) << "at " << x << "," << y;
        }
    }
    EXPECT_GT(face, 500);
    EXPECT_GT(shadow, 100);

    setup.Click(201);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    LONG style;  // besides WS_CHILD and WS_VISIBLE
    LONG exStyle;
    RECT rect;
    bool visible;
};

TEST(MainWindow, HasTheTenControlsInCreationOrder) {
    std::string medium = MediumWithScript("dir d:\\words\r\n");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), medium));
    ASSERT_NE(setup.WaitForMainWindow(), nullptr);

    const ExpectedControl expected[] = {
        {249, "static", "", WS_BORDER, 0, {110, 138, 550, 248}, true},
        {350, "edit", "d:\\words", WS_BORDER, WS_EX_CLIENTEDGE, {120, 170, 540, 195}, true},
        {300,
         "listbox",
         "",
         WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_SORT,
         WS_EX_CLIENTEDGE,
         {120, 280, 270, 380},
         false},
        {301,
         "listbox",
         "",
         WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_SORT,
         WS_EX_CLIENTEDGE,
         {280, 280, 540, 460},
         false},
        {200, "button", "Start", 0, 0, {120, 205, 220, 235}, true},
        {201, "button", "Stop", 0, 0, {440, 205, 540, 235}, true},
        {202, "button", "Change Directory", 0, 0, {230, 205, 430, 235}, true},
        {250, "static", "Install in Directory :", 0, 0, {120, 148, 540, 170}, true},
        {251, "static", "Drive :", 0, 0, {120, 260, 270, 280}, false},
        {252, "static", "Directory :", 0, 0, {280, 260, 540, 280}, false},
    };
    auto children = setup.Children();
    ASSERT_EQ(children.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const ExpectedControl& e = expected[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(children[i].first, e.id);
        ControlInfo c = setup.DescribeControl(e.id);
        ASSERT_NE(c.handle, nullptr);
        EXPECT_EQ(c.className, e.className);
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(c.visible, e.visible);
        // A list box clears WS_VSCROLL itself while it has nothing to scroll.
        const LONG checked = WS_BORDER | LBS_NOTIFY | LBS_SORT | WS_POPUP | WS_CHILD;
        EXPECT_EQ(c.style & checked, (e.style | WS_CHILD) & checked);
        EXPECT_EQ(c.exStyle & WS_EX_CLIENTEDGE, e.exStyle);
        EXPECT_EQ(c.rect.left, e.rect.left);
        EXPECT_EQ(c.rect.top, e.rect.top);
        EXPECT_EQ(c.rect.right, e.rect.right);
        // A list box without LBS_NOINTEGRALHEIGHT rounds its height down to whole items.
        if (std::string(e.className) == "listbox") {
            EXPECT_LE(c.rect.bottom, e.rect.bottom);
            EXPECT_GT(c.rect.bottom, e.rect.bottom - 20);
        } else {
            EXPECT_EQ(c.rect.bottom, e.rect.bottom);
        }
    }
    EXPECT_EQ(setup.DescribeControl(350).style & ES_AUTOHSCROLL, 0);

    setup.Click(201);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST(MainWindow, StopEndsWithExitCodeZeroAndCreatesNothing) {
    std::string medium = MediumWithScript("title Stop test\r\ndir C:\\stop-test-never-made\r\nmkdir data\r\n");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), medium));
    ASSERT_NE(setup.WaitForMainWindow(), nullptr);
    EXPECT_EQ(setup.WindowTextOf(350), "C:\\stop-test-never-made");
    setup.Click(201);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    EXPECT_FALSE(PathExists("C:\\stop-test-never-made"));
    EXPECT_EQ(ListDirectory(medium), std::vector<std::string>{"install.inf"});
}

TEST(MainWindow, MissingInstallScriptIsAnUnownedErrorAndExitCodeOne) {
    std::string medium = MakeTempDir("empty-medium");
    SetupProcess setup;
    ASSERT_TRUE(setup.Start(SetupExePath(), medium));
    auto box = setup.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "Can't open INSTALL.INF");
    EXPECT_EQ(box->icon, BoxIcon::Error);
    EXPECT_EQ(box->owner, nullptr);
    setup.PressOk(*box);
    EXPECT_EQ(setup.WaitForExit(), 1u);
}

}  // namespace
}  // namespace setup::e2e
