// Counters composed from cached character images against the same counters drawn with FillRect
// and DrawTextA, read back from a real window and compared byte for byte: both fonts the counter
// shows in, the extremes, every width from 1 to 11 characters and a few thousand other values;
// and the texts, fonts and contexts the images cannot serve, drawn the old way.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "ui/counter_digits_win32.h"
#include "ui/main_window_win32.h"

namespace setup {
namespace {

constexpr COLORREF kCounterBrush = 0x680000;
constexpr COLORREF kWash = 0xFF00FF;  // drawn by neither way: every pixel left of it shows
constexpr RECT kBox = {210, 195, 290, 211};
constexpr RECT kAround = {200, 185, 300, 221};  // the box and ten pixels on each side

class CounterWindow {
public:
    CounterWindow() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = background_.get();
        windowClass.lpszClassName = "CounterDigitsTest";
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "CounterDigitsTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        UpdateWindow(window_);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    ~CounterWindow() {
        DestroyWindow(window_);
        UnregisterClassA("CounterDigitsTest", GetModuleHandleA(nullptr));
    }
    CounterWindow(const CounterWindow&) = delete;
    CounterWindow& operator=(const CounterWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    UniqueBrush background_{CreateSolidBrush(0x402000)};
    HWND window_ = nullptr;
};

// The window's pixels in the rectangle, row by row, as 32-bit values.
std::vector<std::uint32_t> ReadPixels(HDC dc, const RECT& r) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    const UniqueBitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const SelectScope selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, dc, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    return std::vector<std::uint32_t>(pixels, pixels + width * height);
}

void DrawTheOldWay(HDC dc, HBRUSH brush, const std::string& text) {
    FillRect(dc, &kBox, brush);
    RECT r = kBox;
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

// 0, the extremes, one value of each width from 1 to 11 characters with every digit, and
// random values of every magnitude.
std::vector<std::string> CounterTexts() {
    std::vector<std::string> texts = {"0", std::to_string(INT_MIN), std::to_string(INT_MAX), "-1"};
    const std::string digits = "1234567890";
    for (size_t width = 1; width <= 10; ++width) {
        texts.push_back(digits.substr(0, width));
        texts.push_back(digits.substr(10 - width));
        texts.push_back(std::string("-").append(digits, 0, width));
    }
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        const std::int32_t value = static_cast<std::int32_t>(random()) >> (random() % 32);
        texts.push_back(std::to_string(value));
    }
    return texts;
}

TEST(CounterDigits, ComposesEveryCounterPixelForPixelAsFillRectAndDrawTextDraw) {
    CounterWindow window;
    const UniqueBrush brush(CreateSolidBrush(kCounterBrush));
    const UniqueBrush wash(CreateSolidBrush(kWash));
    const UniqueFont titleFont(CreateTitleFont(40, FW_BOLD, "Times New Roman"));
    const struct {
        const char* name;
        HGDIOBJ font;
        COLORREF colour;
    } styles[] = {
        {"white system font", GetStockObject(SYSTEM_FONT), 0xFFFFFF},
        {"title font in light grey", titleFont.get(), 0xE6E6E6},
    };
    const std::vector<std::string> texts = CounterTexts();
    for (const auto& style : styles) {
        const WindowDc dc(window.Handle());
        const SelectScope font(dc.Dc(), style.font);
        SetBkMode(dc.Dc(), TRANSPARENT);
        SetTextColor(dc.Dc(), style.colour);
        CounterDigits digits;
        for (const std::string& text : texts) {
            FillRect(dc.Dc(), &kAround, wash.get());
            DrawTheOldWay(dc.Dc(), brush.get(), text);
            const std::vector<std::uint32_t> expected = ReadPixels(dc.Dc(), kAround);
            FillRect(dc.Dc(), &kAround, wash.get());
            ASSERT_TRUE(digits.Draw(dc.Dc(), brush.get(), text, kBox)) << style.name << ": " << text;
            ASSERT_EQ(ReadPixels(dc.Dc(), kAround), expected) << style.name << ": " << text;
        }
    }
}

TEST(CounterDigits, DrawsTheOldWayWhatTheImagesCannotServe) {
    CounterWindow window;
    const UniqueBrush brush(CreateSolidBrush(kCounterBrush));
    const UniqueBrush wash(CreateSolidBrush(kWash));
    // Text on a line turned by 15 degrees: each digit leaves its advance and sits lower than
    // the one before, so no row of images side by side can show it.
    const UniqueFont turned(CreateFontA(16, 0, 3450, 3450, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                        "DejaVu Sans"));
    const struct {
        const char* what;
        HGDIOBJ font;
        int backgroundMode;
        std::string text;
    } cases[] = {
        {"a sign the images do not hold", GetStockObject(SYSTEM_FONT), TRANSPARENT, "+12"},
        {"a text that is no number", GetStockObject(SYSTEM_FONT), TRANSPARENT, "12 a"},
        {"an opaque text background", GetStockObject(SYSTEM_FONT), OPAQUE, "1234"},
        {"a turned font", turned.get(), TRANSPARENT, "1234"},
        {"a turned font, one digit", turned.get(), TRANSPARENT, "1"},
    };
    CounterDigits digits;
    for (const auto& c : cases) {
        const WindowDc dc(window.Handle());
        const SelectScope font(dc.Dc(), c.font);
        SetBkMode(dc.Dc(), c.backgroundMode);
        SetBkColor(dc.Dc(), 0x00FF00);
        SetTextColor(dc.Dc(), 0xFFFFFF);
        FillRect(dc.Dc(), &kAround, wash.get());
        DrawTheOldWay(dc.Dc(), brush.get(), c.text);
        const std::vector<std::uint32_t> expected = ReadPixels(dc.Dc(), kAround);
        FillRect(dc.Dc(), &kAround, wash.get());
        EXPECT_FALSE(digits.Draw(dc.Dc(), brush.get(), c.text, kBox)) << c.what;
        EXPECT_EQ(ReadPixels(dc.Dc(), kAround), expected) << c.what;
    }
}

}  // namespace
}  // namespace setup
