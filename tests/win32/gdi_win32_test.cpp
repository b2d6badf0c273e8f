// The progress display drawn with GDI on a real window and read back pixel by pixel, and the
// counters composed from cached character images against FillRect and DrawTextA.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base/win32_handles.h"
#include "ui/counter_digits_win32.h"
#include "ui/main_window_win32.h"
#include "ui/progress_surface_gdi_win32.h"

namespace setup {
namespace {

// A borderless 640 x 480 window of one colour at the screen's corner.
auto CreateTestWindow() {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "static", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
    if (!window) ADD_FAILURE() << "no window: is DISPLAY set?";
    UpdateWindow(window);  // painted now, so that no later paint covers what a test draws
    return std::unique_ptr<HWND__, decltype(&DestroyWindow)>(window, &DestroyWindow);
}

std::vector<COLORREF> ReadPixels(HDC dc, const RECT& r) {
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

int Count(HDC dc, const RECT& r, COLORREF colour) {
    const std::vector<COLORREF> pixels = ReadPixels(dc, r);
    return int(std::count(pixels.begin(), pixels.end(), colour));
}

// The colours are written here as 0xBBGGRR, not taken from the code under test.
TEST(GdiProgressSurface, DrawsTheBarInItsColoursAndADetailLineInTheSystemFont) {
    const auto window = CreateTestWindow();
    const UniqueFont titleFont(CreateTitleFont(40, FW_BOLD, "Times New Roman"));
    GdiProgressSurface surface(window.get(), titleFont.get(), LoadCursor(nullptr, IDC_WAIT));
    ProgressDisplay display(surface, true);
    display.BeginBuildDisplay("Deutsch");
    display.DrawProgressBar(BuildStage::ReadingFrom);  // bar at row 155, filled up to x = 64
    display.SkipDetailRow();                           // detail line at row 195
    display.DrawDetailText("Reading");
    display.EndBuildDisplay();
    const WindowDc dc(window.get());
    const auto at = [&dc](int x, int y) { return GetPixel(dc.Dc(), x, y); };
    const COLORREF white = 0xFFFFFF, darkBlue = 0x800000, green = 0x008000;

    for (auto [x, y] : {std::pair{30, 155}, {379, 155}, {30, 174}, {379, 174}}) EXPECT_EQ(at(x, y), white);
    for (auto [x, y] : {std::pair{31, 156}, {63, 173}}) EXPECT_EQ(at(x, y), green);
    for (auto [x, y] : {std::pair{64, 156}, {378, 173}}) EXPECT_EQ(at(x, y), darkBlue);
    EXPECT_GT(Count(dc.Dc(), {190, 156, 230, 174}, white), 10) << "10% centred";
    // The detail line in the white system font, within 16 rows (the end-to-end run sees the
    // caption and the counters on the screen).
    EXPECT_GT(Count(dc.Dc(), {30, 195, 200, 211}, white), 30);
    EXPECT_EQ(Count(dc.Dc(), {30, 211, 200, 240}, white), 0);
}

TEST(CounterDigits, ComposesCountersPixelForPixelAsFillRectAndDrawTextAndDrawsTheRestTheOldWay) {
    const auto window = CreateTestWindow();
    const WindowDc dc(window.get());
    const UniqueBrush brush(CreateSolidBrush(0x680000)), magenta(CreateSolidBrush(0xFF00FF));
    const UniqueFont titleFont(CreateTitleFont(40, FW_BOLD, "Times New Roman"));
    std::vector<std::string> values = {"0", "-1", std::to_string(INT_MIN), std::to_string(INT_MAX)};
    // Digits on a line turned by 15 degrees each sit lower than the one before: no row of images.
    const UniqueFont turned(CreateFontA(16, 0, 3450, 3450, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans"));
    for (std::mt19937 random(7); values.size() < 500;)
        values.push_back(std::to_string(std::int32_t(random()) >> (random() % 32)));
    // Font, text colour, background mode, texts, and whether the images serve them: not characters
    // outside the images, an opaque text background or a turned font.
    const std::tuple<HGDIOBJ, COLORREF, int, std::vector<std::string>, bool> cases[] = {
        {GetStockObject(SYSTEM_FONT), 0xFFFFFF, TRANSPARENT, values, true},
        {titleFont.get(), 0xE6E6E6, TRANSPARENT, values, true},
        {GetStockObject(SYSTEM_FONT), 0xFFFFFF, TRANSPARENT, {"+12", "12 a", "1.5"}, false},
        {GetStockObject(SYSTEM_FONT), 0xFFFFFF, OPAQUE, {"1234"}, false},
        {turned.get(), 0xFFFFFF, TRANSPARENT, {"1234", "1"}, false},
    };
    // The box and a margin around it: nothing may be drawn there either.
    constexpr RECT kBox = {210, 195, 290, 211}, kAround = {204, 189, 296, 217};
    CounterDigits digits;
    for (const auto& [font, colour, backgroundMode, texts, composed] : cases) {
        const SelectScope selected(dc.Dc(), font);
        SetBkMode(dc.Dc(), backgroundMode);
        SetTextColor(dc.Dc(), colour);
        for (const std::string& text : texts) {
            FillRect(dc.Dc(), &kAround, magenta.get());
            FillRect(dc.Dc(), &kBox, brush.get());
            RECT r = kBox;
            DrawTextA(dc.Dc(), text.data(), int(text.size()), &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
            const std::vector<COLORREF> expected = ReadPixels(dc.Dc(), kAround);
            FillRect(dc.Dc(), &kAround, magenta.get());
            ASSERT_EQ(digits.Draw(dc.Dc(), brush.get(), text, kBox), composed) << text;
            ASSERT_EQ(ReadPixels(dc.Dc(), kAround), expected) << text;
        }
    }
}

}  // namespace
}  // namespace setup
