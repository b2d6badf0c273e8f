#include "ui_driver.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace setup::e2e {

namespace {

// List-box texts cross the process boundary as UTF-16: an ANSI LB_GETTEXT sent to another
// process's list box without LBS_HASSTRINGS comes back unconverted (twice the bytes), so the
// list messages are sent in their wide form and converted here.
std::wstring WideFromAnsi(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return wide;
}

std::string AnsiFromWide(const std::wstring& wide) {
    int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(length > 0 ? static_cast<size_t>(length) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), length, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    std::string result(name);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::tolower(c); });
    return result;
}

std::string TextOf(HWND window) {
    // WM_GETTEXT works across processes for every control, static and edit alike.
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

struct FindContext {
    DWORD processId;
    const char* className;
    bool wantVisible;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != context->processId) return TRUE;
    if (context->wantVisible && !IsWindowVisible(window)) return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, context->className) != 0) return TRUE;
    context->found = window;
    return FALSE;
}

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != context->processId || !IsWindowVisible(window)) return TRUE;
    context->found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, const char* className) {
    FindContext context{processId, className, true, nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

// Which standard icon the box shows, told from the icon's own colours: the stop sign is red,
// the warning yellow, the information and question icons blue.
BoxIcon ClassifyIcon(HWND box) {
    HWND iconControl = GetDlgItem(box, 1088);
    if (!iconControl || !IsWindowVisible(iconControl)) return BoxIcon::None;
    // Wine keeps the icon control of a box without an icon visible, only empty.
    if (!SendMessageA(iconControl, STM_GETICON, 0, 0)) return BoxIcon::None;
    RECT rect;
    GetWindowRect(iconControl, &rect);
    HDC screen = GetDC(nullptr);
    int red = 0, yellow = 0, blue = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            COLORREF c = GetPixel(screen, x, y);
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r > 150 && g < 100 && b < 100)
                ++red;
            else if (r > 150 && g > 150 && b < 100)
                ++yellow;
            else if (b > 150 && r < 100)
                ++blue;
        }
    }
    ReleaseDC(nullptr, screen);
    if (red > 20 && red >= yellow) return BoxIcon::Error;
    if (yellow > 20) return BoxIcon::Warning;
    if (blue > 20) return BoxIcon::Information;
    return BoxIcon::Unknown;
}

}  // namespace

SetupProcess::~SetupProcess() {
    if (process_) {
        if (Running()) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
}

bool SetupProcess::Start(const std::string& exePath, const std::string& workingDirectory,
                         const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

bool SetupProcess::ShowsAnyWindow() const {
    FindContext context{processId_, nullptr, true, nullptr};
    EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&context));
    return context.found != nullptr;
}

bool SetupProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

HWND SetupProcess::WaitForMainWindow(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        mainWindow_ = FindProcessWindow(processId_, "Install");
        if (mainWindow_) {
            Settle();
            return mainWindow_;
        }
        if (!Running()) return nullptr;
        Sleep(50);
    }
    return nullptr;
}

HWND SetupProcess::Control(int id) const { return mainWindow_ ? GetDlgItem(mainWindow_, id) : nullptr; }

ControlInfo SetupProcess::DescribeControl(int id) const {
    ControlInfo info;
    info.handle = Control(id);
    if (!info.handle) return info;
    info.className = ClassOf(info.handle);
    info.text = TextOf(info.handle);
    GetWindowRect(info.handle, &info.rect);
    MapWindowPoints(nullptr, mainWindow_, reinterpret_cast<POINT*>(&info.rect), 2);
    info.visible = (GetWindowLongA(info.handle, GWL_STYLE) & WS_VISIBLE) != 0;
    info.enabled = IsWindowEnabled(info.handle) != FALSE;
    info.style = GetWindowLongA(info.handle, GWL_STYLE);
    info.exStyle = GetWindowLongA(info.handle, GWL_EXSTYLE);
    return info;
}

std::vector<std::pair<int, HWND>> SetupProcess::Children() const {
    std::vector<std::pair<int, HWND>> children;
    if (!mainWindow_) return children;
    // A new child goes below its older siblings, so the Z order from the top is creation order.
    for (HWND child = GetWindow(mainWindow_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.emplace_back(GetDlgCtrlID(child), child);
    return children;
}

void SetupProcess::SetEditText(int id, const std::string& text) {
    SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string SetupProcess::WindowTextOf(int id) const { return TextOf(Control(id)); }

void SetupProcess::Click(int id) {
    // Real mouse input at the middle of the control: a hidden or disabled control ignores it,
    // exactly as it ignores a user's click.
    RECT rect;
    GetWindowRect(Control(id), &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void SetupProcess::PressKey(int id, UINT virtualKey) {
    HWND control = Control(id);
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(control, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(control, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

bool SetupProcess::SelectListItem(int id, const std::string& text) {
    HWND list = Control(id);
    std::wstring wideText = WideFromAnsi(text);
    LRESULT index =
        SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wideText.c_str()));
    if (index == LB_ERR) return false;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // A user's selection notifies the parent; LB_SETCURSEL alone does not.
    PostMessageA(mainWindow_, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return true;
}

std::vector<std::string> SetupProcess::ListItems(int id) const {
    HWND list = Control(id);
    std::vector<std::string> items;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        items.push_back(AnsiFromWide(item));
    }
    return items;
}

std::optional<MessageBoxInfo> SetupProcess::WaitForMessageBox(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND box = FindProcessWindow(processId_, "#32770");
        if (box) {
            MessageBoxInfo info;
            info.foundAt = GetTickCount();
            Settle(400);
            info.box = box;
            info.caption = TextOf(box);
            HWND text = GetDlgItem(box, 0xFFFF);
            info.text = text ? TextOf(text) : std::string();
            info.icon = ClassifyIcon(box);
            info.owner = GetWindow(box, GW_OWNER);
            return info;
        }
        if (!Running()) return std::nullopt;
        Sleep(5);
    }
    return std::nullopt;
}

void SetupProcess::PressOk(const MessageBoxInfo& box) {
    PostMessageA(box.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // Wait until the box is gone, so that the next wait does not find it again.
    for (int i = 0; i < 200 && IsWindow(box.box) && IsWindowVisible(box.box); ++i) Sleep(25);
}

std::optional<DWORD> SetupProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

ScreenImage CaptureScreen() {
    ScreenImage image;
    image.width = GetSystemMetrics(SM_CXSCREEN);
    image.height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const unsigned char*>(bits);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = RGB(pixels[4 * i + 2], pixels[4 * i + 1], pixels[4 * i]);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

bool SaveScreenshot(const std::string& bmpPath) {
    ScreenImage image = CaptureScreen();
    const int rowBytes = (image.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = image.height;  // bottom-up
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(rowBytes * image.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::FILE* out = std::fopen(bmpPath.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::vector<unsigned char> row(static_cast<size_t>(rowBytes));
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            COLORREF c = image.At(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

void Settle(DWORD ms) { Sleep(ms); }

}  // namespace setup::e2e
