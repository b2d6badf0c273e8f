#pragma once
// The phase split of a word-list build, taken from outside the build: a progress surface that
// passes every call on to another surface and notes when the build draws the line that starts
// each phase. The sort's phase line starts the keys; its first comparison counter starts the
// sort proper. Needs the detail lines on.
#include <array>
#include <chrono>
#include <cstdio>
#include <string_view>

#include "ui/progress_display.h"

namespace bench {

enum Phase { kReadFrom, kInvert, kReadScratch, kSortKeys, kSort, kMerge, kPhaseCount };

constexpr std::array<const char*, kPhaseCount> kPhaseNames = {
    "read FROM", "invert + write scratch", "read scratch", "sort keys", "sort", "merge + write TO"};

class PhaseClockSurface final : public setup::ProgressSurface {
public:
    using Clock = std::chrono::steady_clock;

    explicit PhaseClockSurface(setup::ProgressSurface& inner) : inner_(inner) {}

    void OpenBuildContext() override { inner_.OpenBuildContext(); }
    void CloseBuildContext() override { inner_.CloseBuildContext(); }
    void CreateCounterBrush(setup::Colour colour) override { inner_.CreateCounterBrush(colour); }
    void SelectFont(setup::SurfaceFont font) override { inner_.SelectFont(font); }
    void SetTextColour(setup::Colour colour) override { inner_.SetTextColour(colour); }
    void DrawText(std::string_view text, const setup::Rect& rect) override {
        if (text == "Reading FROM wordlist") Mark(kReadFrom);
        if (text == "Writing TEMP wordlist") Mark(kInvert);
        if (text == "Reading TO wordlist") Mark(kReadScratch);
        if (text == "Sorting TO wordlist") Mark(kSortKeys);
        if (text == "Writing TO wordlist") Mark(kMerge);
        inner_.DrawText(text, rect);
    }
    void DrawCounter(std::string_view text, const setup::Rect& box) override {
        ++counters_;
        if (current_ == kSortKeys) Mark(kSort);
        inner_.DrawCounter(text, box);
    }
    void DrawBar(const setup::BarDrawing& bar) override {
        inner_.DrawBar(bar);
        if (bar.text == "100%") Mark(kPhaseCount);
    }
    void ShowWaitCursor() override { inner_.ShowWaitCursor(); }
    void RestoreCursor() override { inner_.RestoreCursor(); }

    // Seconds of each phase of the last build: from its start to the next phase's start, the
    // last one until the 100 % bar has been drawn.
    std::array<double, kPhaseCount> Seconds() const {
        std::array<double, kPhaseCount> seconds{};
        for (int p = 0; p < kPhaseCount; ++p)
            seconds[p] = std::chrono::duration<double>(marks_[p + 1] - marks_[p]).count();
        return seconds;
    }
    long Counters() const { return counters_; }

private:
    void Mark(int phase) {
        marks_[phase] = Clock::now();
        current_ = phase;
    }

    setup::ProgressSurface& inner_;
    std::array<Clock::time_point, kPhaseCount + 1> marks_{};
    int current_ = kPhaseCount;
    long counters_ = 0;
};

inline void PrintPhases(const std::array<double, kPhaseCount>& seconds) {
    double total = 0;
    for (double s : seconds) total += s;
    for (int p = 0; p < kPhaseCount; ++p)
        std::printf("  %-24s %8.1f ms  %5.1f %%\n", kPhaseNames[p], seconds[p] * 1000, 100 * seconds[p] / total);
    std::printf("  %-24s %8.1f ms\n", "whole build", total * 1000);
}

}  // namespace bench
