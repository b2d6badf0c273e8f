#include "ui/main_window_win32.h"

#include <objbase.h>

#include <array>
#include <exception>

#include "base/win32_handles.h"
#include "setup/install_sequence_win32.h"
#include "ui/chooser_win32.h"
#include "ui/gradient.h"

namespace setup {

MainWindow& TheMainWindow() {
    static MainWindow mainWindow;
    return mainWindow;
}

InstallSettings& TheInstallSettings() {
    static InstallSettings settings;
    return settings;
}

namespace {

constexpr char kClassName[] = "Install";

struct ControlLayout {
    HWND MainWindow::*handle;
    int id;
    const char* className;
    const char* text;  // nullptr: the default target text
    DWORD style;       // besides WS_CHILD
    DWORD exStyle;
    int x, y, width, height;
};

// Creation order fixes the stacking of the siblings.
const std::array<ControlLayout, 10> kControls{{
    {&MainWindow::panelStatic, kPanelStatic, "static", "", WS_VISIBLE | WS_BORDER, 0, 110, 138, 440, 110},
    {&MainWindow::directoryEdit, kDirectoryEdit, "edit", nullptr, WS_VISIBLE | WS_BORDER, WS_EX_CLIENTEDGE, 120, 170, 420, 25},
    {&MainWindow::driveList, kDriveList, "listbox", "", WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_SORT, WS_EX_CLIENTEDGE, 120, 280, 150, 100},
    {&MainWindow::directoryList, kDirectoryList, "listbox", "", WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_SORT, WS_EX_CLIENTEDGE, 280, 280, 260, 180},
    {&MainWindow::startButton, kStartButton, "button", "Start", WS_VISIBLE, 0, 120, 205, 100, 30},
    {&MainWindow::stopButton, kStopButton, "button", "Stop", WS_VISIBLE, 0, 440, 205, 100, 30},
    {&MainWindow::changeDirectoryButton, kChangeDirectoryButton, "button", "Change Directory", WS_VISIBLE, 0, 230, 205, 200, 30},
    {&MainWindow::promptLabel, kPromptLabel, "static", "Install in Directory :", WS_VISIBLE, 0, 120, 148, 420, 22},
    {&MainWindow::driveLabel, kDriveLabel, "static", "Drive :", 0, 0, 120, 260, 150, 20},
    {&MainWindow::directoryLabel, kDirectoryLabel, "static", "Directory :", 0, 0, 280, 260, 260, 20},
}};

void OnCreate(HWND window, const CREATESTRUCTA& create) {
    MainWindow& ui = TheMainWindow();
    ui.window = window;
    ui.waitCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    const std::string& defaultTarget = TheInstallSettings().defaultTarget;
    for (const ControlLayout& c : kControls) {
        const char* text = c.text ? c.text : defaultTarget.c_str();
        ui.*(c.handle) = CreateWindowExA(c.exStyle, c.className, text, WS_CHILD | c.style, c.x, c.y, c.width, c.height,
                                         window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), create.hInstance,
                                         nullptr);
    }
    ui.previousEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(ui.directoryEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DirectoryEditProc)));
    CoInitialize(nullptr);
}

void PaintGradient(HDC dc, int width, int height) {
    int planes = GetDeviceCaps(dc, PLANES);
    int bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    std::array<UniquePen, kGradientPenCount> pens;
    for (int i = 0; i < kGradientPenCount; ++i) pens[i].reset(CreatePen(PS_SOLID, 1, GradientPenColor(i)));
    SelectScope keepPen(dc, pens[0].get());
    for (int y = 0; y < height; ++y) {
        SelectObject(dc, pens[GradientPenIndex(y, height, planes, bitsPerPixel)].get());
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, width, y);
    }
}

// Light grey letters with a black shadow two pixels below and to the right, cut at x = 480.
void DrawShadowedText(HDC dc, const std::string& text, RECT rect) {
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_LEFT | DT_TOP);
    rect.left -= 2;
    rect.top -= 2;
    SetTextColor(dc, RGB(230, 230, 230));
    DrawTextA(dc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void OnPaint(HWND window) {
    PaintScope paint(window);
    RECT client;
    GetClientRect(window, &client);
    PaintGradient(paint.Dc(), client.right, client.bottom);
    SetBkMode(paint.Dc(), TRANSPARENT);
    SelectObject(paint.Dc(), TheMainWindow().titleFont);
    DrawShadowedText(paint.Dc(), TheInstallSettings().titleText, RECT{30, 20, 480, 90});
}

void OnDestroy() {
    MainWindow& ui = TheMainWindow();
    DeleteObject(ui.titleFont);
    ui.titleFont = nullptr;
    ReleaseInstallResources();
    ui.window = nullptr;
    PostQuitMessage(0);
}

void DispatchCommand(WPARAM wParam) {
    MainWindow& ui = TheMainWindow();
    const int code = HIWORD(wParam);
    switch (LOWORD(wParam)) {
        case kStartButton: if (code == BN_CLICKED) RunStartCommand(); break;
        case kStopButton: if (code == BN_CLICKED) OnStopCommand(ui); break;
        case kChangeDirectoryButton: if (code == BN_CLICKED) OnChangeDirectory(ui); break;
        case kDriveList: if (code == LBN_SELCHANGE) OnDriveSelection(ui); break;
        case kDirectoryList: if (code == LBN_SELCHANGE) OnDirectorySelection(ui); break;
        default: break;
    }
}

// Nothing may unwind through the window procedure. The Start command reports its own
// failures; a browse step that runs out of memory fails silently like its other failures.
void OnCommand(WPARAM wParam) {
    try {
        DispatchCommand(wParam);
    } catch (const std::exception&) {
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: OnCreate(window, *reinterpret_cast<CREATESTRUCTA*>(lParam)); return 0;
        case WM_PAINT: OnPaint(window); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_COMMAND: OnCommand(wParam); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

HFONT CreateTitleFont(int height, int weight, const char* faceName) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, faceName);
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, "installicon", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszMenuName = kClassName;
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);

    HWND window = CreateWindowExA(0, kClassName, nullptr, WS_POPUP | WS_CLIPSIBLINGS | WS_MAXIMIZE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  instance, nullptr);
    if (window) {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
    }
    return window;
}

}  // namespace setup
