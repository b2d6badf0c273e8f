#pragma once
// The phase split of a word-list build, taken from outside the build: a progress surface that
// passes every call on to another surface and notes when the build draws the line that starts
// each phase. The sort's phase line starts the keys; its first comparison counter starts the
// sort proper. Needs the detail lines on. Natively it also counts each phase's minor page
// faults (Wine does not report them).
#ifndef _WIN32
#include <sys/resource.h>
#endif

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
    // The minor page faults of each phase of the last build; -1 where they are not known.
    std::array<long, kPhaseCount> Faults() const {
        std::array<long, kPhaseCount> faults{};
        for (int p = 0; p < kPhaseCount; ++p) faults[p] = faultMarks_[p] < 0 ? -1 : faultMarks_[p + 1] - faultMarks_[p];
        return faults;
    }
    long Counters() const { return counters_; }

private:
    void Mark(int phase) {
        marks_[phase] = Clock::now();
#ifndef _WIN32
        struct rusage self {};
        getrusage(RUSAGE_SELF, &self);
        faultMarks_[phase] = self.ru_minflt;
#endif
        current_ = phase;
    }

    setup::ProgressSurface& inner_;
    std::array<Clock::time_point, kPhaseCount + 1> marks_{};
    std::array<long, kPhaseCount + 1> faultMarks_ = {-1, -1, -1, -1, -1, -1, -1};
    int current_ = kPhaseCount;
    long counters_ = 0;
};

inline void PrintPhases(const std::array<double, kPhaseCount>& seconds, const std::array<long, kPhaseCount>& faults) {
    double total = 0;
    long totalFaults = 0;
    for (int p = 0; p < kPhaseCount; ++p) {
        total += seconds[p];
        totalFaults += faults[p];
    }
    for (int p = 0; p < kPhaseCount; ++p) {
        std::printf("  %-24s %8.1f ms  %5.1f %%", kPhaseNames[p], seconds[p] * 1000, 100 * seconds[p] / total);
        if (faults[p] >= 0) std::printf("  %7ld page faults", faults[p]);
        std::printf("\n");
    }
    std::printf("  %-24s %8.1f ms", "whole build", total * 1000);
    if (faults[0] >= 0) std::printf("  %7ld page faults", totalFaults);
    std::printf("\n");
}

}  // namespace bench
