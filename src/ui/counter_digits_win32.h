#pragma once
// The progress display's counters drawn from cached images of their characters (Win32).
#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

namespace setup {

// Draws a counter exactly as a fill of its box with the counter brush and DrawTextA of its
// text (one line, left- and top-aligned, clipped to the box, transparent background) in the
// context's font and text colour would, but composed from images of "0123456789-" that GDI
// drew once on the brush's colour, and copied to the screen in one piece: the fill and the
// text cost about fifteen microseconds a counter under Wine, a large part of a word-list
// build. There is one set of images for each font, text colour, brush colour and box size.
// A set whose characters would not compose exactly (ink outside a character's advance, or a
// composed text that differs from the same text drawn) is not used, nor is any text or
// context the images cannot serve: those counters are drawn the old way. Fonts are told apart
// by their handles, so a font drawn with must outlive the cache.
class CounterDigits {
public:
    CounterDigits();
    ~CounterDigits();
    CounterDigits(const CounterDigits&) = delete;
    CounterDigits& operator=(const CounterDigits&) = delete;

    // True when the counter was composed from the images, false when it was drawn the old way.
    bool Draw(HDC dc, HBRUSH brush, std::string_view text, const RECT& box);

private:
    struct ImagesKey;
    class Images;
    // The usable images for the context's font and text colour, the brush and the box size,
    // made at their first counter; nothing when they cannot serve.
    Images* ImagesFor(HDC dc, HBRUSH brush, const RECT& box);

    std::vector<std::unique_ptr<Images>> images_;
};

}  // namespace setup
