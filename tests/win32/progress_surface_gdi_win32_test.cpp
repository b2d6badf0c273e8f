// The progress display drawn with GDI on a real full-screen window, read back pixel by pixel,
// and a whole word-list build on that window with the English collation.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/message_service.h"
#include "base/win32_handles.h"
#include "temp_directory.h"
#include "ui/progress_display.h"
#include "ui/progress_surface_gdi_win32.h"
#include "wordlist/build_word_list.h"
#include "wordlist/collation_win32.h"

namespace setup {
namespace {

constexpr COLORREF kBackground = 0x402000;

// A borderless 640 x 480 window at the screen's corner, painted with one colour.
class TestWindow {
public:
    TestWindow() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = background_.get();
        windowClass.lpszClassName = "ProgressSurfaceTest";
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "ProgressSurfaceTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
        UpdateWindow(window_);
        Pump();
    }
    ~TestWindow() {
        DestroyWindow(window_);
        UnregisterClassA("ProgressSurfaceTest", GetModuleHandleA(nullptr));
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return window_; }
    HFONT TitleFont() const { return titleFont_.get(); }

    COLORREF Pixel(int x, int y) const {
        const WindowDc dc(window_);
        return GetPixel(dc.Dc(), x, y);
    }
    // How many pixels of the rectangle have the colour.
    int Count(const Rect& r, COLORREF colour) const {
        const WindowDc dc(window_);
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) count += GetPixel(dc.Dc(), x, y) == colour;
        return count;
    }

private:
    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

    UniqueBrush background_{CreateSolidBrush(kBackground)};
    UniqueFont titleFont_{CreateFontA(-32, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial")};
    HWND window_ = nullptr;
};

TEST(GdiProgressSurface, DrawsTheBarFrameInsideAndFillAtTheirPixels) {
    TestWindow window;
    GdiProgressSurface surface(window.Handle(), window.TitleFont(), LoadCursor(nullptr, IDC_WAIT));
    ProgressDisplay display(surface, true);
    display.DrawProgressBar(BuildStage::ReadingFrom);
    EXPECT_EQ(window.Pixel(30, 155), 0xFFFFFFu);   // frame, top left
    EXPECT_EQ(window.Pixel(379, 174), 0xFFFFFFu);  // frame, bottom right
    EXPECT_EQ(window.Pixel(380, 175), kBackground);
    EXPECT_EQ(window.Pixel(31, 156), 0x008000u);  // green from x = 31
    EXPECT_EQ(window.Pixel(63, 173), 0x008000u);
    EXPECT_EQ(window.Pixel(64, 156), 0x800000u);  // dark blue from the fill edge on
    EXPECT_EQ(window.Pixel(378, 173), 0x800000u);
    EXPECT_GT(window.Count({190, 156, 230, 174}, 0xFFFFFF), 10);  // the centred "10%"
    EXPECT_EQ(window.Count({31, 156, 170, 174}, 0xFFFFFF), 0);

    display.DrawProgressBar(BuildStage::Started);
    EXPECT_EQ(window.Pixel(31, 156), 0x800000u);
}

// Reads the screen while the closing box is up, as a user would see it.
class ScreenReadingMessages : public MessageService {
public:
    explicit ScreenReadingMessages(const TestWindow& window) : window_(window) {}
    void Show(const std::string& text, const std::string& caption, MessageIcon, bool) override {
        shownText = text + "|" + caption;
        const int barRow = 155;
        captionFace = window_.Count({28, 98, 480, 140}, 0xE6E6E6);
        captionShadow = window_.Count({30, 100, 480, 140}, 0x000000);
        barFrame = window_.Pixel(30, barRow) == 0xFFFFFF && window_.Pixel(379, barRow + 19) == 0xFFFFFF;
        barGreen = window_.Pixel(31, barRow + 1) == 0x008000 && window_.Pixel(378, barRow + 18) == 0x008000;
        detailText = window_.Count({30, 170, 200, 195}, 0xFFFFFF);
        doneText = window_.Count({300, 270, 480, 295}, 0xFFFFFF);
        counterBox = window_.Pixel(289, 285) == 0x680000 && window_.Pixel(250, 270) == 0x680000;
    }
    std::string shownText;
    int captionFace = 0, captionShadow = 0, detailText = 0, doneText = 0;
    bool barFrame = false, barGreen = false, counterBox = false;

private:
    const TestWindow& window_;
};

std::string Record(const std::string& head, const std::string& translations) {
    std::string bytes(84, '\0');
    bytes.replace(0, head.size(), head);
    bytes.replace(31, translations.size(), translations);
    return bytes;
}

TEST(GdiProgressSurface, AWholeBuildLeavesCaptionBarDetailLinesAndCounterOnScreen) {
    test::TempDirectory dir;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    CreateDirectoryA("language", nullptr);
    {
        std::ofstream from("language\\from.wb", std::ios::binary);
        from << Record("Haus", "house, home") << Record("Heim", "Home")
             << Record(
                    "Stra\xDF"
                    "e",
                    "street")
             << Record("\xC4rger", "anger, annoyance");
    }
    TestWindow window;
    GdiProgressSurface surface(window.Handle(), window.TitleFont(), LoadCursor(nullptr, IDC_WAIT));
    LanguageEntry entry;
    entry.displayName = "Deutsch";
    entry.fromListName = "from.wb";
    entry.toListName = "to.wb";
    CollationState collation;
    collation.localeInForce = true;
    Win32Collation collationService;
    ASSERT_TRUE(collationService.SetLocale("english"));
    ProgressDisplay display(surface, true);
    ScreenReadingMessages messages(window);
    BuildWordList({entry, {}, true, collation, collationService, display, messages});
    surface.DeleteCounterBrush();

    EXPECT_EQ(messages.shownText, "Install Finished |Install");
    EXPECT_GT(messages.captionFace, 50);
    EXPECT_GT(messages.captionShadow, 50);
    EXPECT_TRUE(messages.barFrame);
    EXPECT_TRUE(messages.barGreen);
    EXPECT_GT(messages.detailText, 30);
    EXPECT_GT(messages.doneText, 10);
    EXPECT_TRUE(messages.counterBox);

    std::ifstream to("language\\to.wb", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(to)), std::istreambuf_iterator<char>());
    // "Home" and "home" order equal but are not byte-identical: either may come first.
    const std::string homeFirst = Record("anger", "\xC4rger") + Record("annoyance", "\xC4rger") +
                                  Record("home", "Haus") + Record("Home", "Heim") + Record("house", "Haus") +
                                  Record("street",
                                         "Stra\xDF"
                                         "e");
    const std::string upperFirst = Record("anger", "\xC4rger") + Record("annoyance", "\xC4rger") +
                                   Record("Home", "Heim") + Record("home", "Haus") + Record("house", "Haus") +
                                   Record("street",
                                          "Stra\xDF"
                                          "e");
    EXPECT_TRUE(bytes == homeFirst || bytes == upperFirst) << bytes.size();
    EXPECT_EQ(GetFileAttributesA("language\\temp.wb"), INVALID_FILE_ATTRIBUTES);
    to.close();
    SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace setup
