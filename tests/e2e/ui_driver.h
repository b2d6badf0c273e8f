#pragma once
// Drives setup.exe from outside, as a user would: starts it in a chosen directory, finds its
// window and controls, types, clicks, selects list entries, reads and answers message boxes,
// reads the screen, and collects the exit code; and runs described by golden cases, checked
// afterwards. Used by the end-to-end tests and by uidriver.exe.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "golden_cases.h"
#include "test_files.h"

namespace setup::e2e {

enum class BoxIcon { None, Error, Other };

struct MessageBoxInfo {
    HWND box = nullptr;
    HWND owner = nullptr;  // nullptr: the box has no owner
    DWORD foundAt = 0;     // GetTickCount() when the box was first seen
    std::string caption, text;
    BoxIcon icon = BoxIcon::None;
};

class SetupProcess {
public:
    SetupProcess() = default;
    ~SetupProcess();  // ends a program that still runs
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    // The arguments follow the quoted program name on the command line as given.
    bool Start(const std::string& exePath, const std::string& workingDirectory, const std::string& arguments = "");
    // The program's window of class "Install"; nullptr when a box shows first, or nothing.
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    HWND Control(int id) const { return GetDlgItem(mainWindow_, id); }
    void SetText(int id, const std::string& text);
    void Click(int id) { PostMessageA(Control(id), BM_CLICK, 0, 0); }
    // Selects the list entry of exactly that text as a user would; false when there is none.
    bool SelectListItem(int id, const std::wstring& item);
    // The next box, looked for every 5 ms; nothing when none shows in time or the program ends.
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs = 20000);
    // OK, or on a box that asks, the button yesNoAnswer names.
    void PressOk(const MessageBoxInfo& box);
    int yesNoAnswer = IDYES;
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = 60000);
    bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND mainWindow_ = nullptr;
};

std::string TextOf(HWND window);

struct SetupRun {
    HWND window = nullptr;  // nullptr: no window showed before a box or the end
    DWORD startedAt = 0;    // GetTickCount() when Start was pressed
    std::vector<MessageBoxInfo> boxes;
    std::optional<DWORD> exitCode;
};

// Waits for the window and, when it shows, types the target and presses the button (Start
// unless told); answers every box with OK until the program ends. atBox sees each box before
// it is answered.
SetupRun RunSetup(SetupProcess& setup, const std::string& target,
                  const std::function<void(const MessageBoxInfo&)>& atBox = {}, int button = 200);

struct ScreenImage {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;  // 0xFFRRGGBB, row by row from the top
    COLORREF At(int x, int y) const;
    int Count(const RECT& area, COLORREF colour) const;
};
ScreenImage CaptureScreen();
bool SaveScreenshot(const ScreenImage& image, const std::string& bmpPath);

// Runs described by golden cases (tests/cases/e2e_*.txt, format in golden_cases.h). Sections
// read here (the tests name the others they read):
//   medium <path>, target <path>  a file on the medium, or in the target before the run
//   second <path>                 a file on a second medium
//   expect <path>                 a file's bytes in the target after the run
//   files                         every file below the target after the run, sorted
//   boxes                         "caption: text" of every box shown, in order
//   exit <code>
//   win.ini                       the keys of its [Dictionary] section after the run
//   shortcut <path below Programs>  the link's program, arguments and working directory
// A word list (*.wb) is written one record a line, the head word and the translations split by
// a tab; any other file is text, stored with CR LF. A file in the target after the run without
// an expect section holds what the target had before, or else the medium, under its name.
// "<root>" stands for the directory that holds the medium and the target ("My  Dictionary").
struct Workspace {
    explicit Workspace(const test::GoldenCase& run);
    test::TempDir root;
    std::string medium, target;
};

test::GoldenCase ReadCase(const std::string& file, const std::string& name);
// The Start menu's Programs folder of the user.
std::string ProgramsFolder();
std::string Replace(std::string text, const std::string& from, const std::string& to);
// The log file's text, its time stamps, the root and the Programs folder masked ("<time>",
// "<root>", "<programs>").
std::string MaskedLog(const std::string& path, const std::string& root);
// The boxes as the section of that name lists them (none without it), and the exit code.
void ExpectBoxesAndExit(const test::GoldenCase& run, const char* section, const std::vector<MessageBoxInfo>& boxes,
                        std::optional<DWORD> exitCode, HWND owner);
void ExpectFiles(const test::GoldenCase& run, const std::string& target);
// The keys of win.ini's [Dictionary] section, one "key=value" line each.
std::string DictionaryKeys();
// The win.ini section and the shortcut outlive the target: a workspace removes them before
// the run, this check after it.
void ExpectWinIniAndShortcut(const test::GoldenCase& run, const Workspace& workspace);
void ForgetInstall(const test::GoldenCase& run);

}  // namespace setup::e2e
