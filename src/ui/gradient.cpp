#include "ui/gradient.h"

namespace setup {

int GradientPenIndex(int y, int height, int planes, int bitsPerPixel) {
    if (planes * bitsPerPixel < 24) return kFlatPenIndex;
    if (height <= 0) return 0;
    // 64-bit product: no overflow on very tall surfaces.
    return static_cast<int>((static_cast<long long>(kGradientPenCount - 1) * y) / height);
}

}  // namespace setup
