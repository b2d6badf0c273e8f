#pragma once
// How a word-list build shows its progress. The user interface implements it (the progress
// display on the main window); tests record the calls.
#include <cstdint>
#include <string_view>

namespace setup {

// The six positions of a build's progress bar, in the order a build reaches them.
enum class BuildStage { Started, ReadingFrom, WritingScratch, ReadingScratch, WritingTo, Finished };

class WordListProgress {
public:
    virtual ~WordListProgress() = default;
    // Start of one build: the language's caption and the wait cursor.
    virtual void BeginBuildDisplay(std::string_view name) = 0;
    virtual void DrawProgressBar(BuildStage stage) = 0;
    // One phase line, and "Done." at its end; nothing while the detail lines are off.
    virtual void DrawDetailText(std::string_view text) = 0;
    virtual void DrawDone() = 0;
    // A running count of records or comparisons; the callers decide which values are shown.
    virtual void DrawCounter(std::int32_t value) = 0;
    // End of one build, after the last bar.
    virtual void EndBuildDisplay() = 0;
    // Leaves the next detail line empty (dict.ini's step before the first build).
    virtual void SkipDetailRow() = 0;
};

// The progress of a build that nobody watches (the unattended run, the word-list tool): shown
// nowhere.
class NoProgress : public WordListProgress {
public:
    void BeginBuildDisplay(std::string_view) override {}
    void DrawProgressBar(BuildStage) override {}
    void DrawDetailText(std::string_view) override {}
    void DrawDone() override {}
    void DrawCounter(std::int32_t) override {}
    void EndBuildDisplay() override {}
    void SkipDetailRow() override {}
};

}  // namespace setup
