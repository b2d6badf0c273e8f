#include "ui/progress_display.h"

#include <array>
#include <charconv>

namespace setup {

namespace {

constexpr int kTextLeft = 30;
constexpr int kTextRight = 480;
constexpr int kTextHeight = 30;
constexpr int kCaptionHeight = 40;
constexpr int kShadowOffset = 2;
constexpr int kBarLeft = 30;
constexpr int kBarRight = 380;
constexpr int kBarHeight = 20;
constexpr int kDoneLeft = 300;
constexpr int kCounterLeft = 210;
constexpr int kCounterRight = 290;
constexpr int kCounterHeight = 16;

// The bar at each stage of a build: its fill edge (x, excluded) and its text.
struct BarStage {
    int fillEdge;
    std::string_view text;
};
constexpr std::array<BarStage, 6> kBarStages{{
    {0, "0%"},      // Started
    {64, "10%"},    // ReadingFrom
    {117, "25%"},   // WritingScratch
    {205, "50%"},   // ReadingScratch
    {292, "75%"},   // WritingTo
    {379, "100%"},  // Finished
}};

BarDrawing ProgressBarDrawing(int barRow, int fillEdge, std::string_view text) {
    BarDrawing bar;
    bar.outer = {kBarLeft, barRow, kBarRight, barRow + kBarHeight};
    bar.inside = {bar.outer.left + 1, bar.outer.top + 1, bar.outer.right - 1, bar.outer.bottom - 1};
    if (fillEdge > 0) bar.fill = Rect{bar.inside.left, bar.inside.top, fillEdge, bar.inside.bottom};
    bar.text = text;
    return bar;
}

}  // namespace

ProgressDisplay::ProgressDisplay(ProgressSurface& surface, bool detailFlag)
    : surface_(surface), detailFlag_(detailFlag) {}

void ProgressDisplay::BeginBuildDisplay(std::string_view name) {
    surface_.OpenBuildContext();
    surface_.CreateCounterBrush(kCounterBrushColour);
    DrawLanguageCaption(name);
    surface_.ShowWaitCursor();
}

void ProgressDisplay::DrawLanguageCaption(std::string_view name) {
    // Light grey letters over a black shadow two pixels below and to the right, like the title.
    surface_.SelectFont(SurfaceFont::Title);
    surface_.SetTextColour(kCaptionShadowColour);
    surface_.DrawText(name, {kTextLeft, captionRow_, kTextRight, captionRow_ + kCaptionHeight});
    surface_.SetTextColour(kCaptionFaceColour);
    surface_.DrawText(
        name, {kTextLeft - kShadowOffset, captionRow_ - kShadowOffset, kTextRight, captionRow_ + kCaptionHeight});
    captionRow_ += kCaptionStep;
}

void ProgressDisplay::DrawProgressBar(BuildStage stage) {
    const BarStage& bar = kBarStages[static_cast<size_t>(stage)];
    surface_.DrawBar(ProgressBarDrawing(barRow_, bar.fillEdge, bar.text));
}

void ProgressDisplay::SelectDetailStyle() {
    surface_.SelectFont(SurfaceFont::System);
    surface_.SetTextColour(kProgressTextColour);
}

void ProgressDisplay::DrawDetailText(std::string_view text) {
    if (!detailFlag_) return;
    SelectDetailStyle();
    surface_.DrawText(text, {kTextLeft, detailRow_, kTextRight, detailRow_ + kTextHeight});
}

void ProgressDisplay::DrawDone() {
    if (!detailFlag_) return;
    SelectDetailStyle();
    surface_.DrawText("Done.", {kDoneLeft, detailRow_, kTextRight, detailRow_ + kTextHeight});
    detailRow_ += kDetailStep;
}

void ProgressDisplay::DrawCounter(std::int32_t value) {
    // Drawn in whatever font and colour the build context holds: the white system font of
    // the detail line, or the caption's title font when the detail lines are off.
    const auto end = std::to_chars(counterText_, counterText_ + sizeof counterText_, value).ptr;
    const Rect box{kCounterLeft, detailRow_, kCounterRight, detailRow_ + kCounterHeight};
    surface_.DrawCounter(std::string_view(counterText_, static_cast<size_t>(end - counterText_)), box);
}

void ProgressDisplay::EndBuildDisplay() {
    barRow_ += kBarStep;
    surface_.RestoreCursor();
    surface_.CloseBuildContext();
}

void ProgressDisplay::SkipDetailRow() {
    if (detailFlag_) detailRow_ += kDetailStep;
}

}  // namespace setup
