#pragma once
// The main window's background: 64 shades of blue from the top row down, or one flat
// blue on surfaces with fewer than 24 bits per pixel.
#include <cstdint>

namespace setup {

constexpr int kGradientPenCount = 64;
constexpr int kFlatPenIndex = 32;

// Colour of pen i as 0x00BBGGRR: RGB(0, 0, 200 - 3i).
constexpr std::uint32_t GradientPenColor(int i) { return static_cast<std::uint32_t>(200 - 3 * i) << 16; }

// The pen that paints row y of an area of the given height.
int GradientPenIndex(int y, int height, int planes, int bitsPerPixel);

}  // namespace setup
