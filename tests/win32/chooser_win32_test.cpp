// The directory chooser on real controls and the real file system of drive C:.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "base/ascii.h"
#include "script/script_services_win32.h"
#include "temp_directory.h"
#include "ui/chooser_win32.h"

namespace setup {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

std::vector<std::string> events;
bool destroyOnCommand = false;
WNDPROC standardEditProc = nullptr;

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        events.push_back("command " + std::to_string(LOWORD(wParam)) + " code " + std::to_string(HIWORD(wParam)) +
                         " lparam " + std::to_string(lParam));
        if (destroyOnCommand) DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Stands between the Enter-key procedure and the edit box's standard one, recording key-downs.
LRESULT CALLBACK RecordingEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) events.push_back("key " + std::to_string(wParam));
    return CallWindowProcA(standardEditProc, edit, message, wParam, lParam);
}

HWND Child(HWND parent, const char* className, DWORD style, int id) {
    return CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, 100, 100, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

std::vector<std::string> Items(HWND list) {
    std::vector<std::string> items;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[MAX_PATH];
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

void Select(HWND list, const std::string& text) {
    LRESULT index =
        SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_NE(index, LB_ERR) << text;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string TextOf(HWND window) {
    char text[1024];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool Visible(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// The chooser's controls under a hidden test window, registered as the process's main window;
// directories made in C:\ for the listing (one visible, one with the system bit, one hidden).
class ChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = RecordingParentProc;
        windowClass.lpszClassName = "ChooserTest";
        RegisterClassExA(&windowClass);
        ui.window = CreateWindowExA(0, "ChooserTest", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ui.panelStatic = Child(ui.window, "static", WS_VISIBLE | WS_BORDER, 249);
        ui.directoryEdit = Child(ui.window, "edit", WS_VISIBLE | WS_BORDER, 350);
        ui.driveList = Child(ui.window, "listbox", WS_VSCROLL | LBS_NOTIFY | LBS_SORT, 300);
        ui.directoryList = Child(ui.window, "listbox", WS_VSCROLL | LBS_NOTIFY | LBS_SORT, 301);
        ui.changeDirectoryButton = Child(ui.window, "button", WS_VISIBLE, 202);
        ui.driveLabel = Child(ui.window, "static", 0, 251);
        ui.directoryLabel = Child(ui.window, "static", 0, 252);
        events.clear();
        destroyOnCommand = false;

        before = QueryCurrentDirectory().value_or("C:\\");
        std::string unique = std::to_string(GetCurrentProcessId());
        visible = "chooser visible " + unique;
        system = "chooser system " + unique;
        hidden = "chooser hidden " + unique;
        for (const std::string& name : {visible, system, hidden}) CreateDirectoryA(("C:\\" + name).c_str(), nullptr);
        SetFileAttributesA(("C:\\" + system).c_str(), FILE_ATTRIBUTE_SYSTEM);
        SetFileAttributesA(("C:\\" + hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
        CreateDirectoryA(("C:\\" + visible + "\\inner").c_str(), nullptr);
        CreateDirectoryA(("C:\\" + visible + "\\secret").c_str(), nullptr);
        SetFileAttributesA(("C:\\" + visible + "\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
        CloseHandle(
            CreateFileA(("C:\\" + visible + "\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    }

    void TearDown() override {
        if (IsWindow(ui.window)) DestroyWindow(ui.window);
        SetCurrentDirectoryA(before.c_str());
        for (const std::string& name : {visible, system, hidden}) test::RemoveTree("C:\\" + name);
    }

    MainWindow ui;
    std::string before;
    std::string visible;
    std::string system;
    std::string hidden;
};

TEST_F(ChooserTest, ChangeDirectoryExpandsOnceAndListsTheVisibleDirectoriesOfC) {
    SetWindowTextA(ui.directoryEdit, "typed text");
    OnChangeDirectory(ui);

    EXPECT_FALSE(IsWindowEnabled(ui.changeDirectoryButton));
    RECT panel;
    GetWindowRect(ui.panelStatic, &panel);
    EXPECT_EQ(panel.right - panel.left, 440);
    EXPECT_EQ(panel.bottom - panel.top, 320);
    for (HWND control : {ui.driveList, ui.directoryList, ui.driveLabel, ui.directoryLabel})
        EXPECT_TRUE(Visible(control));

    std::vector<std::string> drives = Items(ui.driveList);
    EXPECT_THAT(drives, Contains(::testing::AnyOf("C:\\", "c:\\")));
    EXPECT_EQ(SendMessageA(ui.driveList, LB_GETCURSEL, 0, 0), LB_ERR);

    std::string shown = TextOf(ui.directoryEdit);
    EXPECT_THAT(shown, ::testing::AnyOf("C:\\", "c:\\"));
    EXPECT_EQ(QueryCurrentDirectory(), shown);
    std::vector<std::string> listed = Items(ui.directoryList);
    EXPECT_THAT(listed, Contains(visible));
    EXPECT_THAT(listed, Contains(system));
    EXPECT_THAT(listed, Not(Contains(hidden)));
    EXPECT_THAT(listed, Not(Contains(".")));
    EXPECT_THAT(listed, Not(Contains("..")));

    // A second command changes nothing: the drives are not added again.
    OnChangeDirectory(ui);
    EXPECT_EQ(Items(ui.driveList), drives);
}

TEST_F(ChooserTest, DirectorySelectionMovesDownAndDotDotMovesUp) {
    OnChangeDirectory(ui);
    Select(ui.directoryList, visible);
    OnDirectorySelection(ui);
    EXPECT_EQ(TextOf(ui.directoryEdit), QueryCurrentDirectory());
    EXPECT_TRUE(EqualsIgnoreCase(TextOf(ui.directoryEdit), "C:\\" + visible));
    EXPECT_THAT(Items(ui.directoryList), UnorderedElementsAre("..", "inner"));

    Select(ui.directoryList, "..");
    OnDirectorySelection(ui);
    EXPECT_THAT(TextOf(ui.directoryEdit), ::testing::AnyOf("C:\\", "c:\\"));
    EXPECT_THAT(Items(ui.directoryList), Contains(visible));
    EXPECT_THAT(Items(ui.directoryList), Not(Contains("..")));
}

TEST_F(ChooserTest, ADriveThatCannotBeEnteredRelistsTheUnchangedDirectoryWithDot) {
    OnChangeDirectory(ui);
    Select(ui.directoryList, visible);
    OnDirectorySelection(ui);
    std::string below = TextOf(ui.directoryEdit);

    DWORD drives = GetLogicalDrives();
    char letter = 'Y';
    while (letter > 'D' && (drives & (1u << (letter - 'A')))) --letter;
    std::string missing = std::string(1, letter) + ":\\";
    SendMessageA(ui.driveList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(missing.c_str()));
    Select(ui.driveList, missing);
    OnDriveSelection(ui);
    EXPECT_EQ(TextOf(ui.directoryEdit), below);
    EXPECT_THAT(Items(ui.directoryList), UnorderedElementsAre(".", "..", "inner"));

    for (const std::string& drive : Items(ui.driveList))
        if (EqualsIgnoreCase(drive, "C:\\")) Select(ui.driveList, drive);
    OnDriveSelection(ui);
    EXPECT_THAT(TextOf(ui.directoryEdit), ::testing::AnyOf("C:\\", "c:\\"));
    EXPECT_THAT(Items(ui.directoryList), Contains(visible));
}

TEST_F(ChooserTest, EnterSendsStartFirstAndThenPassesTheKeyOn) {
    standardEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(ui.directoryEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingEditProc)));
    SubclassDirectoryEdit(ui.directoryEdit);
    const std::string lowHandle = std::to_string(LOWORD(reinterpret_cast<UINT_PTR>(ui.directoryEdit)));

    SendMessageA(ui.directoryEdit, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(ui.directoryEdit, WM_KEYDOWN, 'A', 0);
    SendMessageA(ui.directoryEdit, WM_KEYUP, VK_RETURN, 0);
    EXPECT_THAT(events, ElementsAre("command 200 code 0 lparam " + lowHandle, "key 13", "key 65"));

    // Start destroyed the window: the key has nowhere to go.
    events.clear();
    destroyOnCommand = true;
    HWND edit = ui.directoryEdit;
    EXPECT_EQ(SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0), 0);
    EXPECT_THAT(events, ElementsAre("command 200 code 0 lparam " + lowHandle));
    EXPECT_FALSE(IsWindow(edit));
}

TEST_F(ChooserTest, StopDestroysTheMainWindow) {
    OnStopCommand(ui);
    EXPECT_FALSE(IsWindow(ui.window));
    EXPECT_FALSE(IsWindow(ui.directoryEdit));
}

}  // namespace
}  // namespace setup
