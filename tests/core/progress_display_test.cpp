#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "progress_recorder.h"
#include "ui/progress_display.h"

namespace setup {
namespace {

using Calls = std::vector<std::string>;

TEST(ProgressBar, SixStepsFillTheInsideFromX31UpToTheFillEdge) {
    const BarDrawing empty = ProgressBarDrawing(155, 0, "0%");
    EXPECT_EQ(empty.outer, (Rect{30, 155, 380, 175}));
    EXPECT_EQ(empty.inside, (Rect{31, 156, 379, 174}));
    EXPECT_FALSE(empty.fill.has_value());
    EXPECT_EQ(empty.text, "0%");

    const int edges[] = {64, 117, 205, 292, 379};
    const int widths[] = {33, 86, 174, 261, 348};
    for (int i = 0; i < 5; ++i) {
        const BarDrawing bar = ProgressBarDrawing(205, edges[i], "x");
        ASSERT_TRUE(bar.fill.has_value());
        EXPECT_EQ(*bar.fill, (Rect{31, 206, edges[i], 224}));
        EXPECT_EQ(bar.fill->right - bar.fill->left, widths[i]);
    }
    EXPECT_EQ(*ProgressBarDrawing(155, 379, "100%").fill, ProgressBarDrawing(155, 379, "100%").inside);
}

// The display sequence of one build, as the builder drives it, with one counter per phase.
void DriveOneBuild(ProgressDisplay& display, const char* name) {
    display.BeginBuildDisplay(name);
    display.DrawProgressBar(BuildStage::Started);
    display.DrawDetailText("Reading FROM wordlist");
    display.DrawProgressBar(BuildStage::ReadingFrom);
    display.DrawCounter(0);
    display.DrawDone();
    display.DrawProgressBar(BuildStage::Finished);
    display.EndBuildDisplay();
}

TEST(ProgressDisplay, OneBuildWithDetailLinesDrawsEveryCallAtTheRowsOfTheFirstEntry) {
    test::RecordingSurface surface;
    ProgressDisplay display(surface, true);
    display.SkipDetailRow();
    EXPECT_TRUE(surface.calls.empty());
    EXPECT_EQ(display.DetailRow(), 195);

    DriveOneBuild(display, "Deutsch");
    const Calls expected = {
        "open",
        "brush 680000",
        "font title",
        "colour 000000",
        "text \"Deutsch\" (30,100)-(480,140)",
        "colour E6E6E6",
        "text \"Deutsch\" (28,98)-(480,140)",
        "wait cursor",
        "bar \"0%\" (30,155)-(380,175) inside (31,156)-(379,174) fill none",
        "font system",
        "colour FFFFFF",
        "text \"Reading FROM wordlist\" (30,195)-(480,225)",
        "bar \"10%\" (30,155)-(380,175) inside (31,156)-(379,174) fill (31,156)-(64,174)",
        "counter box (210,195)-(290,211)",
        "text \"0\" (210,195)-(290,211)",
        "font system",
        "colour FFFFFF",
        "text \"Done.\" (300,195)-(480,225)",
        "bar \"100%\" (30,155)-(380,175) inside (31,156)-(379,174) fill (31,156)-(379,174)",
        "restore cursor",
        "close",
    };
    EXPECT_EQ(surface.calls, expected);
    EXPECT_EQ(display.CaptionRow(), 150);
    EXPECT_EQ(display.BarRow(), 205);
    EXPECT_EQ(display.DetailRow(), 220);
}

TEST(ProgressDisplay, SecondBuildMovesCaptionAndBarDownAndContinuesTheDetailLines) {
    test::RecordingSurface surface;
    ProgressDisplay display(surface, true);
    display.SkipDetailRow();
    DriveOneBuild(display, "First");
    for (int phase = 0; phase < 4; ++phase) {  // the other four phase lines of a real build
        display.DrawDetailText("phase");
        display.DrawDone();
    }
    EXPECT_EQ(display.DetailRow(), 320);
    surface.calls.clear();

    DriveOneBuild(display, "Second");
    const Calls expected = {
        "open",
        "brush 680000",
        "font title",
        "colour 000000",
        "text \"Second\" (30,150)-(480,190)",
        "colour E6E6E6",
        "text \"Second\" (28,148)-(480,190)",
        "wait cursor",
        "bar \"0%\" (30,205)-(380,225) inside (31,206)-(379,224) fill none",
        "font system",
        "colour FFFFFF",
        "text \"Reading FROM wordlist\" (30,320)-(480,350)",
        "bar \"10%\" (30,205)-(380,225) inside (31,206)-(379,224) fill (31,206)-(64,224)",
        "counter box (210,320)-(290,336)",
        "text \"0\" (210,320)-(290,336)",
        "font system",
        "colour FFFFFF",
        "text \"Done.\" (300,320)-(480,350)",
        "bar \"100%\" (30,205)-(380,225) inside (31,206)-(379,224) fill (31,206)-(379,224)",
        "restore cursor",
        "close",
    };
    EXPECT_EQ(surface.calls, expected);
    EXPECT_EQ(display.CaptionRow(), 200);
    EXPECT_EQ(display.BarRow(), 255);
}

TEST(ProgressDisplay, WithoutDetailLinesOnlyCaptionBarsAndCountersAppearAtRow170) {
    test::RecordingSurface surface;
    ProgressDisplay display(surface, false);
    display.SkipDetailRow();
    EXPECT_EQ(display.DetailRow(), 170);

    for (const char* name : {"One", "Two"}) {
        const int barRow = display.BarRow();
        surface.calls.clear();
        DriveOneBuild(display, name);
        const Calls calls = surface.calls;
        ASSERT_EQ(calls.size(), 15u);
        // The counter keeps the caption's title font and light grey: nothing selects others.
        EXPECT_EQ(calls[5], "colour E6E6E6");
        EXPECT_EQ(calls[10], "counter box (210,170)-(290,186)");
        EXPECT_EQ(calls[11], "text \"0\" (210,170)-(290,186)");
        EXPECT_EQ(calls[12], "bar \"100%\" " + test::RectText({30, barRow, 380, barRow + 20}) + " inside " +
                                 test::RectText({31, barRow + 1, 379, barRow + 19}) + " fill " +
                                 test::RectText({31, barRow + 1, 379, barRow + 19}));
        EXPECT_EQ(calls[14], "close");
        for (const std::string& call : calls) {
            EXPECT_EQ(call.find("font system"), std::string::npos);
            EXPECT_EQ(call.find("Done."), std::string::npos);
            EXPECT_EQ(call.find("Reading"), std::string::npos);
        }
    }
    EXPECT_EQ(surface.calls[4], "text \"Two\" (30,150)-(480,190)");
    EXPECT_EQ(display.DetailRow(), 170);
    EXPECT_EQ(display.BarRow(), 255);
}

TEST(ProgressDisplay, CounterShowsTheDecimalDigitsOfSigned32BitValues) {
    test::RecordingSurface surface;
    ProgressDisplay display(surface, true);
    for (std::int32_t value : {0, 100, 2147483647, -2147483647 - 1}) display.DrawCounter(value);
    EXPECT_EQ(surface.Counters(), (std::vector<std::string>{"0", "100", "2147483647", "-2147483648"}));
}

}  // namespace
}  // namespace setup
