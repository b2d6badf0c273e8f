#include "ui_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>

#include "shell_link_reader.h"

namespace setup::e2e {

namespace fs = std::filesystem;

namespace {

// The first visible top-level window of the process with that class.
HWND FindProcessWindow(DWORD processId, const char* className) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// Which standard icon a box shows, told by its colours: the error icon is red, its green as low
// as its blue, where the warning icon's orange has green and hardly any blue.
BoxIcon IconOf(HWND box) {
    HWND icon = GetDlgItem(box, 1088);
    // Wine keeps the icon control of a box without an icon visible, only empty.
    if (!IsWindowVisible(icon) || !SendMessageA(icon, STM_GETICON, 0, 0)) return BoxIcon::None;
    RECT rect;
    GetWindowRect(icon, &rect);
    const ScreenImage screen = CaptureScreen();
    int red = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const int r = GetRValue(screen.At(x, y)), g = GetGValue(screen.At(x, y)), b = GetBValue(screen.At(x, y));
            red += r - g > 100 && std::abs(g - b) < 30;
        }
    return red > 20 ? BoxIcon::Error : BoxIcon::Other;
}

// A top-down 32-bit bitmap, as a BMP file may hold it.
BITMAPINFOHEADER BitmapHeader(int width, int height) {
    return {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
}

// A word list (*.wb) is kept one record a line, head word and translations split by a tab.
std::string FileBytes(const test::GoldenSection& file) {
    if (!file.arguments.ends_with(".wb")) return test::Crlf(file.text);
    std::string records;
    for (const std::string& line : test::Lines(file.text))
        records += test::RecordBytes(line.substr(0, line.find('\t')), line.substr(line.find('\t') + 1));
    return records;
}

}  // namespace

// WM_GETTEXT works across processes for every control.
std::string TextOf(HWND window) {
    char text[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

SetupProcess::~SetupProcess() {
    if (!process_) return;
    TerminateProcess(process_, 99);  // when it still runs
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
}

bool SetupProcess::Start(const std::string& exePath, const std::string& workingDirectory,
                         const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + exePath + "\" " + arguments;
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

HWND SetupProcess::WaitForMainWindow(DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); Running() && GetTickCount() - start <= timeoutMs; Sleep(50)) {
        if ((mainWindow_ = FindProcessWindow(processId_, "Install"))) break;
        if (FindProcessWindow(processId_, "#32770")) return nullptr;
    }
    Sleep(300);  // the first paint
    return mainWindow_;
}

void SetupProcess::SetText(int id, const std::string& text) {
    SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// List-box texts cross the process boundary only as UTF-16.
bool SetupProcess::SelectListItem(int id, const std::wstring& item) {
    const LRESULT index = SendMessageW(Control(id), LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(Control(id), LB_SETCURSEL, index, 0);
    // A user's selection notifies the parent; LB_SETCURSEL alone does not.
    PostMessageW(mainWindow_, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(id)));
    Sleep(300);
    return index != LB_ERR;
}

std::optional<MessageBoxInfo> SetupProcess::WaitForMessageBox(DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); Running() && GetTickCount() - start <= timeoutMs; Sleep(5)) {
        if (HWND box = FindProcessWindow(processId_, "#32770")) {
            const DWORD foundAt = GetTickCount();
            Sleep(400);  // painted, icon included
            return MessageBoxInfo{box,         GetWindow(box, GW_OWNER),        foundAt,
                                  TextOf(box), TextOf(GetDlgItem(box, 0xFFFF)), IconOf(box)};
        }
    }
    return std::nullopt;
}

void SetupProcess::PressOk(const MessageBoxInfo& box) {
    const int button = GetDlgItem(box.box, IDYES) ? yesNoAnswer : IDOK;
    PostMessageA(box.box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    // Gone before the next wait, so that it does not find this box again.
    for (int i = 0; i < 200 && IsWindow(box.box) && IsWindowVisible(box.box); ++i) Sleep(25);
}

std::optional<DWORD> SetupProcess::WaitForExit(DWORD timeoutMs) {
    DWORD code = 0;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code)) return {};
    return code;
}

SetupRun RunSetup(SetupProcess& setup, const std::string& target,
                  const std::function<void(const MessageBoxInfo&)>& atBox, int button) {
    SetupRun run{setup.WaitForMainWindow(), 0, {}, std::nullopt};
    if (run.window) {
        setup.SetText(350, target);
        setup.Click(button);
    }
    run.startedAt = GetTickCount();
    // Generous: the benchmark's large builds take minutes.
    while (std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(600000)) {
        if (atBox) atBox(*box);
        run.boxes.push_back(*box);
        setup.PressOk(*box);
    }
    run.exitCode = setup.WaitForExit();
    return run;
}

COLORREF ScreenImage::At(int x, int y) const {
    const DWORD pixel = pixels[static_cast<size_t>(y) * width + x];
    return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
}

int ScreenImage::Count(const RECT& area, COLORREF colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += At(x, y) == colour;
    return count;
}

ScreenImage CaptureScreen() {
    ScreenImage image{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), {}};
    const BITMAPINFO info{BitmapHeader(image.width, image.height), {}};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    image.pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + image.width * image.height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    // Opaque: a BMP reader may take the fourth byte of each pixel for its alpha.
    for (DWORD& pixel : image.pixels) pixel |= 0xFF000000;
    return image;
}

bool SaveScreenshot(const ScreenImage& image, const std::string& bmpPath) {
    const BITMAPINFOHEADER header = BitmapHeader(image.width, image.height);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(offset + 4 * image.pixels.size()), 0, 0, offset};
    std::FILE* out = std::fopen(bmpPath.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(image.pixels.data(), 4, image.pixels.size(), out);
    return std::fclose(out) == 0;
}

Workspace::Workspace(const test::GoldenCase& run) : medium(root.File("medium")), target(root.File("My  Dictionary")) {
    if (run.Has("shortcut")) ForgetInstall(run);
    fs::create_directory(medium);
    for (const test::GoldenSection& section : run.sections) {
        if (section.name != "medium" && section.name != "second" && section.name != "target") continue;
        const fs::path path = fs::path(section.name == "target" ? target : root.File(section.name)) / section.arguments;
        fs::create_directories(path.parent_path());
        test::WriteFileBytes(path.string(), FileBytes(section));
    }
}

test::GoldenCase ReadCase(const std::string& file, const std::string& name) {
    for (test::GoldenCase& run : test::ReadGoldenCases(file))
        if (run.name == name) return run;
    throw std::runtime_error("no case \"" + name + "\" in " + file);
}

std::string ProgramsFolder() {
    return std::getenv("APPDATA") + std::string("\\Microsoft\\Windows\\Start Menu\\Programs");
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void ExpectBoxesAndExit(const test::GoldenCase& run, const char* section, const std::vector<MessageBoxInfo>& boxes,
                        std::optional<DWORD> exitCode, HWND owner) {
    std::string shown;
    for (const MessageBoxInfo& box : boxes) {
        shown += box.caption + ": " + box.text + "\n";
        EXPECT_EQ(box.icon, box.caption == "Error" ? BoxIcon::Error : BoxIcon::None) << box.text;
        EXPECT_EQ(box.owner, owner) << box.text;
    }
    EXPECT_EQ(shown, run.Has(section) ? run.Text(section) : "");
    EXPECT_EQ(exitCode, std::stoul(run.Section("exit").arguments));
}

std::string MaskedLog(const std::string& path, const std::string& root) {
    const std::string timed =
        std::regex_replace(test::ReadFileBytes(path), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"), "<time>");
    return Replace(Replace(timed, root, "<root>"), ProgramsFolder(), "<programs>");
}

void ExpectFiles(const test::GoldenCase& run, const std::string& target) {
    std::vector<std::string> files;
    if (fs::exists(target))
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(target))
            if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(target).string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, test::Lines(run.Text("files")));
    for (const std::string& name : files) {
        const test::GoldenSection* expected = nullptr;
        for (const char* kind : {"medium", "target", "expect"})  // the later kinds count
            for (const test::GoldenSection& section : run.sections)
                if (section.name == kind && section.arguments == name) expected = &section;
        if (!expected) continue;
        EXPECT_EQ(test::ReadFileBytes(target + "\\" + name), FileBytes(*expected)) << name;
    }
}

std::string DictionaryKeys() {
    char keys[4096] = {};
    std::string lines(keys, GetProfileSectionA("Dictionary", keys, sizeof keys));
    std::replace(lines.begin(), lines.end(), '\0', '\n');
    return lines;
}

void ExpectWinIniAndShortcut(const test::GoldenCase& run, const Workspace& workspace) {
    EXPECT_EQ(DictionaryKeys(), run.Text("win.ini"));
    CoInitialize(nullptr);
    const auto link = test::ReadLink(ProgramsFolder() + "\\" + run.Section("shortcut").arguments);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->path + "\n" + link->arguments + "\n" + link->workingDirectory + "\n",
              Replace(run.Text("shortcut"), "<root>", workspace.root.Path().string()));
    ForgetInstall(run);
}

void ForgetInstall(const test::GoldenCase& run) {
    WriteProfileStringA("Dictionary", nullptr, nullptr);
    const std::string link = ProgramsFolder() + "\\" + run.Section("shortcut").arguments;
    DeleteFileA(link.c_str());
    RemoveDirectoryA(link.substr(0, link.rfind('\\')).c_str());
}

}  // namespace setup::e2e
