#include "ui/main_window_win32.h"

#include <objbase.h>

#include <array>
#include <exception>

#include "ui/chooser_win32.h"
#include "ui/gradient.h"

namespace setup {

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

// Creation order fixes the stacking of the siblings. One control a line:
// clang-format off
const std::array<ControlLayout, 10> kControls{{
    {&MainWindow::panelStatic, kPanelStatic, "static", "", WS_VISIBLE | WS_BORDER, 0, kCompactPanel.x, kCompactPanel.y,
     kCompactPanel.width, kCompactPanel.height},
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
// clang-format on

// The run that the window belongs to; nothing before WM_NCCREATE has stored it.
RunState* RunOf(HWND window) { return reinterpret_cast<RunState*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

void Hide(std::initializer_list<HWND> windows) {
    for (HWND w : windows) ShowWindow(w, SW_HIDE);
}

void OnCreate(RunState& run, HWND window, const CREATESTRUCTA& create) {
    MainWindow& ui = run.ui;
    ui.window = window;
    run.waitCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    for (const ControlLayout& c : kControls) {
        const char* text = c.text ? c.text : run.settings.defaultTarget.c_str();
        ui.*(c.handle) =
            CreateWindowExA(c.exStyle, c.className, text, WS_CHILD | c.style, c.x, c.y, c.width, c.height, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), create.hInstance, nullptr);
    }
    SubclassDirectoryEdit(ui.directoryEdit);
    run.progressSurface = std::make_unique<GdiProgressSurface>(window, run.titleFont.get(), run.waitCursor);
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

void OnPaint(const RunState& run, HWND window) {
    PaintScope paint(window);
    RECT client;
    GetClientRect(window, &client);
    PaintGradient(paint.Dc(), client.right, client.bottom);
    SetBkMode(paint.Dc(), TRANSPARENT);
    SelectObject(paint.Dc(), run.titleFont.get());
    DrawShadowedText(paint.Dc(), run.settings.titleText, RECT{30, 20, 480, 90});
}

void OnDestroy(RunState& run) {
    run.titleFont.reset();
    run.progressSurface.reset();
    run.ui.window = nullptr;
    PostQuitMessage(0);
}

void DispatchCommand(RunState& run, WPARAM wParam) {
    MainWindow& ui = run.ui;
    const int code = HIWORD(wParam);
    // One control a line:
    // clang-format off
    switch (LOWORD(wParam)) {
        case kStartButton: if (code == BN_CLICKED && run.startCommand) run.startCommand(run); break;
        case kStopButton: if (code == BN_CLICKED) OnStopCommand(ui); break;
        case kChangeDirectoryButton: if (code == BN_CLICKED) OnChangeDirectory(ui); break;
        case kDriveList: if (code == LBN_SELCHANGE) OnDriveSelection(ui); break;
        case kDirectoryList: if (code == LBN_SELCHANGE) OnDirectorySelection(ui); break;
        default: break;
    }
    // clang-format on
}

// Nothing may unwind through the window procedure. The Start command reports its own
// failures; a browse step that runs out of memory fails silently like its other failures.
void OnCommand(RunState& run, WPARAM wParam) {
    try {
        DispatchCommand(run, wParam);
    } catch (const std::exception&) {
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto& create = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create.lpCreateParams));
    }
    RunState* run = RunOf(window);
    if (!run) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE: OnCreate(*run, window, *reinterpret_cast<CREATESTRUCTA*>(lParam)); return 0;
        case WM_PAINT: OnPaint(*run, window); return 0;
        case WM_DESTROY: OnDestroy(*run); return 0;
        case WM_COMMAND: OnCommand(*run, wParam); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void MovePanel(const MainWindow& mainWindow, const PanelRect& rect) {
    MoveWindow(mainWindow.panelStatic, rect.x, rect.y, rect.width, rect.height, TRUE);
}

void ShowCopyingLayout(const MainWindow& ui) {
    MovePanel(ui, kCompactPanel);
    Hide({ui.driveList, ui.directoryList, ui.startButton, ui.changeDirectoryButton, ui.driveLabel, ui.directoryLabel});
    SetWindowTextA(ui.promptLabel, "Copying files...");
    UpdateWindow(ui.window);
}

void HideRemainingControls(const MainWindow& ui) {
    Hide({ui.stopButton, ui.promptLabel, ui.panelStatic, ui.directoryEdit});
    UpdateWindow(ui.window);
}

HFONT CreateTitleFont(int height, int weight, const char* faceName) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, faceName);
}

HWND CreateMainWindow(RunState& run, int showCommand) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.hInstance = run.instance;
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageA(run.instance, "installicon", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszMenuName = kClassName;
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);

    HWND window = CreateWindowExA(0, kClassName, nullptr, WS_POPUP | WS_CLIPSIBLINGS | WS_MAXIMIZE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  run.instance, &run);
    if (window) {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
    }
    return window;
}

}  // namespace setup
