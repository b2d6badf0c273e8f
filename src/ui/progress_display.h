#pragma once
// The progress display of the word-list builds: captions, bars, detail lines and counters
// drawn straight onto the main window. The rows and rectangles are computed here; a
// ProgressSurface executes the drawing (GDI in the program, a recorder in the tests).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "wordlist/word_list_progress.h"

namespace setup {

using Colour = std::uint32_t;  // 0x00BBGGRR

constexpr Colour kCaptionShadowColour = 0x000000;
constexpr Colour kCaptionFaceColour = 0xE6E6E6;
constexpr Colour kBarFrameColour = 0xFFFFFF;
constexpr Colour kBarInsideColour = 0x800000;
constexpr Colour kBarFillColour = 0x008000;
constexpr Colour kProgressTextColour = 0xFFFFFF;
constexpr Colour kCounterBrushColour = 0x680000;

// A rectangle of the main window's client area; right and bottom edges excluded.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

enum class SurfaceFont { Title, System };

// One progress bar: a frame round the outer rectangle, the inside filled, the fill from the
// inside's left up to the fill edge, the text centred in the outer rectangle.
struct BarDrawing {
    Rect outer;
    Rect inside;
    std::optional<Rect> fill;
    std::string_view text;
    Colour frameColour = kBarFrameColour;
    Colour insideColour = kBarInsideColour;
    Colour fillColour = kBarFillColour;
    Colour textColour = kProgressTextColour;
    bool operator==(const BarDrawing&) const = default;
};

// What the display needs from the window. The build context is the drawing context obtained
// once per build; fonts, text colours, texts and the counter box go to it.
class ProgressSurface {
public:
    virtual ~ProgressSurface() = default;
    // Obtains the build context, with a transparent text background.
    virtual void OpenBuildContext() = 0;
    virtual void CloseBuildContext() = 0;
    // Replaces the counter brush by a new solid brush.
    virtual void CreateCounterBrush(Colour colour) = 0;
    virtual void SelectFont(SurfaceFont font) = 0;
    virtual void SetTextColour(Colour colour) = 0;
    // One line, left- and top-aligned, clipped to the rectangle, in the build context.
    virtual void DrawText(std::string_view text, const Rect& rect) = 0;
    // Fills the box with the counter brush and draws the counter text on it like DrawText, in
    // the build context's current font and text colour.
    virtual void DrawCounter(std::string_view text, const Rect& box) = 0;
    // Draws the bar in a fresh context of its own (default font), then updates the window:
    // white frame, dark blue inside, green fill, white text centred in the outer rectangle.
    virtual void DrawBar(const BarDrawing& bar) = 0;
    // Shows the hourglass and remembers the cursor shown before; RestoreCursor shows that again.
    virtual void ShowWaitCursor() = 0;
    virtual void RestoreCursor() = 0;
};

constexpr int kFirstCaptionRow = 100;
constexpr int kFirstBarRow = 155;
constexpr int kFirstDetailRow = 170;
constexpr int kCaptionStep = 50;
constexpr int kBarStep = 50;
constexpr int kDetailStep = 25;

// The display state of the run: one instance, living as long as the main window.
class ProgressDisplay final : public WordListProgress {
public:
    // detailFlag: the detail lines, "Done." and the row skip are shown (the "debug" setting).
    ProgressDisplay(ProgressSurface& surface, bool detailFlag);
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    void BeginBuildDisplay(std::string_view name) override;
    void DrawProgressBar(BuildStage stage) override;
    void DrawDetailText(std::string_view text) override;
    void DrawDone() override;
    void DrawCounter(std::int32_t value) override;
    void EndBuildDisplay() override;
    void SkipDetailRow() override;

private:
    void DrawLanguageCaption(std::string_view name);
    void SelectDetailStyle();

    ProgressSurface& surface_;
    const bool detailFlag_;
    int captionRow_ = kFirstCaptionRow;
    int barRow_ = kFirstBarRow;
    int detailRow_ = kFirstDetailRow;
    char counterText_[11] = {};  // the sign and digits of a signed 32-bit value
};

}  // namespace setup
