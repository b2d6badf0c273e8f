#pragma once
// Drives setup.exe from outside, as a user would: starts it in a chosen directory, finds
// its window and controls, types, clicks, presses keys, reads and answers message boxes,
// reads screen pixels, and collects the exit code. Used by the end-to-end tests and by the
// sample run.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace setup::e2e {

enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };

struct MessageBoxInfo {
    HWND box = nullptr;
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
    HWND owner = nullptr;  // nullptr: the box has no owner
    DWORD foundAt = 0;     // GetTickCount() when the box was first seen
};

struct ControlInfo {
    HWND handle = nullptr;
    std::string className;  // lower case, as the platform reports it
    std::string text;
    RECT rect{};  // in the main window's client coordinates
    bool visible = false;
    bool enabled = false;
    LONG style = 0;
    LONG exStyle = 0;
};

class SetupProcess {
public:
    SetupProcess() = default;
    ~SetupProcess();  // ends a process that is still running
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    // Starts the program with the given working directory (the distribution medium); arguments
    // follow the quoted program name on its command line, exactly as given.
    bool Start(const std::string& exePath, const std::string& workingDirectory, const std::string& arguments = "");

    // The program's visible top-level window of class "Install"; nullptr after the timeout.
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    HWND MainWindow() const { return mainWindow_; }

    HWND Control(int id) const;
    ControlInfo DescribeControl(int id) const;
    // Every child of the main window in Z order from the top, as (id, handle).
    std::vector<std::pair<int, HWND>> Children() const;

    void SetEditText(int id, const std::string& text);
    std::string WindowTextOf(int id) const;
    // A user's click: a button-down and button-up at the middle of the control.
    void Click(int id);
    // A key pressed and released while the control has the keyboard focus.
    void PressKey(int id, UINT virtualKey);
    // Selects the list entry with exactly this text, as a user's click on it would.
    bool SelectListItem(int id, const std::string& text);
    std::vector<std::string> ListItems(int id) const;

    // The next message box of the program; nothing after the timeout or when the program ends.
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs = 20000);
    void PressOk(const MessageBoxInfo& box);

    // Exit code, or nothing when the program still runs after the timeout.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = 20000);
    bool Running() const;
    // Whether a top-level window of the program (the main window, a box) is visible now.
    bool ShowsAnyWindow() const;
    DWORD ProcessId() const { return processId_; }

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND mainWindow_ = nullptr;
};

// Screen reading.
COLORREF ScreenPixel(int x, int y);
// The screen as a 24-bit BMP file.
bool SaveScreenshot(const std::string& bmpPath);
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // row by row from the top
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
ScreenImage CaptureScreen();

// Lets the program finish pending paints before pixels are read.
void Settle(DWORD ms = 300);

}  // namespace setup::e2e
