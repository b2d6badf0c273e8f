#include "ui/counter_digits_win32.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/win32_handles.h"

namespace setup {

namespace {

constexpr std::string_view kCharacters = "0123456789-";
constexpr UINT kTextFormat = DT_SINGLELINE | DT_LEFT | DT_TOP;

int CharacterIndex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return c == '-' ? 10 : -1;
}

bool IsCounterText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return CharacterIndex(c) >= 0; });
}

// The state in which the images were drawn: anything else would place or paint text otherwise.
bool HasPlainTextState(HDC dc) {
    return GetBkMode(dc) == TRANSPARENT && GetTextAlign(dc) == (TA_LEFT | TA_TOP | TA_NOUPDATECP) &&
           GetMapMode(dc) == MM_TEXT && GetTextCharacterExtra(dc) == 0;
}

void DrawLine(HDC dc, std::string_view text, RECT rect, UINT format) {
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

BITMAPINFOHEADER BitmapHeader(int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;  // top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

// A top-down 32-bit DIB section in a memory DC of its own: GDI draws into it, and its pixels
// are read and written directly.
class PixelBuffer {
public:
    PixelBuffer(HDC like, int width, int height) : dc_(CreateCompatibleDC(like)), width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = BitmapHeader(width, height);
        void* bits = nullptr;
        if (dc_) bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap_) return;
        selected_.emplace(dc_.get(), bitmap_.get());
        SetBkMode(dc_.get(), TRANSPARENT);
        bits_ = static_cast<std::uint32_t*>(bits);
    }

    bool Valid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_.get(); }
    int Width() const { return width_; }
    RECT Whole() const { return RECT{0, 0, width_, height_}; }
    // GDI may still be drawing into the pixels until GdiFlush: callers flush before touching them.
    std::uint32_t* Row(int y) const { return bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_); }

private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    std::optional<SelectScope> selected_;  // given back before the bitmap and the DC go
    int width_;
    int height_;
    std::uint32_t* bits_ = nullptr;
};

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

}  // namespace

// What a set of images was drawn for.
struct CounterDigits::ImagesKey {
    HFONT font;
    COLORREF text;
    COLORREF background;
    int width;
    int height;
    bool operator==(const ImagesKey&) const = default;
};

class CounterDigits::Images {
public:
    Images(HDC dc, const ImagesKey& key, HBRUSH brush) : key_(key) { usable_ = Make(dc, brush); }
    Images(const Images&) = delete;
    Images& operator=(const Images&) = delete;

    const ImagesKey& Key() const { return key_; }
    bool Usable() const { return usable_; }

    // The text composed in memory and copied to the box: copying plain pixels to the screen
    // costs half of a BitBlt out of a memory DC under Wine.
    void Draw(HDC dc, std::string_view text, const RECT& box) {
        Compose(text, boxPixels_.data(), key_.width);
        SetDIBitsToDevice(dc, box.left, box.top, static_cast<DWORD>(key_.width), static_cast<DWORD>(key_.height), 0, 0,
                          0, static_cast<UINT>(key_.height), boxPixels_.data(), &boxInfo_, DIB_RGB_COLORS);
    }

private:
    bool Make(HDC dc, HBRUSH brush) {
        // Pixels are composed as 32-bit values: only on a screen of that depth is a copy of
        // them exactly what GDI draws there.
        if (GetDeviceCaps(dc, BITSPIXEL) != 32) return false;
        return MeasureAdvances(dc) && InkStaysInAdvances(dc) && DrawStrip(dc, brush) && ComposesLikeDrawing(dc, brush);
    }

    bool MeasureAdvances(HDC dc) {
        const UniqueMemoryDc measuring(CreateCompatibleDC(dc));
        if (!measuring) return false;
        const SelectScope font(measuring.get(), key_.font);
        int left = 0;
        for (size_t i = 0; i < kCharacters.size(); ++i) {
            SIZE size{};
            if (!GetTextExtentPoint32A(measuring.get(), &kCharacters[i], 1, &size) || size.cx <= 0) return false;
            advance_[i] = size.cx;
            cellLeft_[i] = left;
            left += size.cx;
        }
        return true;
    }

    // Each character drawn alone, unclipped, white on black: no pixel outside its advance may
    // be touched, or neighbours would blend where the images only lie side by side.
    bool InkStaysInAdvances(HDC dc) const {
        const int margin = key_.height + *std::max_element(advance_.begin(), advance_.end());
        for (size_t i = 0; i < kCharacters.size(); ++i) {
            PixelBuffer probe(dc, advance_[i] + 2 * margin, key_.height);
            if (!probe.Valid()) return false;
            const RECT whole = probe.Whole();
            FillRect(probe.Dc(), &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            const SelectScope font(probe.Dc(), key_.font);
            SetTextColor(probe.Dc(), RGB(255, 255, 255));
            DrawLine(probe.Dc(), kCharacters.substr(i, 1), {margin, 0, margin + advance_[i], key_.height},
                     kTextFormat | DT_NOCLIP);
            GdiFlush();
            for (int y = 0; y < key_.height; ++y) {
                const std::uint32_t* row = probe.Row(y);
                for (int x = 0; x < probe.Width(); ++x) {
                    const bool inCell = x >= margin && x < margin + advance_[i];
                    if (!inCell && (row[x] & kRgbMask) != 0) return false;
                }
            }
        }
        return true;
    }

    // The characters side by side, each drawn into its own cell on the brush's colour.
    bool DrawStrip(HDC dc, HBRUSH brush) {
        strip_.emplace(dc, cellLeft_.back() + advance_.back(), key_.height);
        if (!strip_->Valid()) return false;
        boxPixels_.resize(static_cast<size_t>(key_.width) * static_cast<size_t>(key_.height));
        boxInfo_.bmiHeader = BitmapHeader(key_.width, key_.height);
        const RECT whole = strip_->Whole();
        FillRect(strip_->Dc(), &whole, brush);
        GdiFlush();
        background_ = strip_->Row(0)[0];
        for (int y = 0; y < key_.height; ++y) {
            const std::uint32_t* row = strip_->Row(y);
            if (std::any_of(row, row + strip_->Width(), [&](std::uint32_t pixel) { return pixel != background_; }))
                return false;  // a dithered brush: not one colour to fill with
        }
        const SelectScope font(strip_->Dc(), key_.font);
        SetTextColor(strip_->Dc(), key_.text);
        for (size_t i = 0; i < kCharacters.size(); ++i) {
            DrawLine(strip_->Dc(), kCharacters.substr(i, 1), {cellLeft_[i], 0, cellLeft_[i] + advance_[i], key_.height},
                     kTextFormat);
        }
        GdiFlush();
        return true;
    }

    // Every ordered pair of characters, drawn as one text and composed: the same pixels,
    // or the images are not used.
    bool ComposesLikeDrawing(HDC dc, HBRUSH brush) const {
        std::string pairs;
        for (char a : kCharacters) {
            for (char b : kCharacters) {
                pairs.push_back(a);
                pairs.push_back(b);
            }
        }
        int width = 0;
        for (char c : pairs) width += advance_[static_cast<size_t>(CharacterIndex(c))];
        PixelBuffer drawn(dc, width, key_.height);
        PixelBuffer composed(dc, width, key_.height);
        if (!drawn.Valid() || !composed.Valid()) return false;
        const RECT whole = drawn.Whole();
        FillRect(drawn.Dc(), &whole, brush);
        {
            const SelectScope font(drawn.Dc(), key_.font);
            SetTextColor(drawn.Dc(), key_.text);
            DrawLine(drawn.Dc(), pairs, whole, kTextFormat);
        }
        GdiFlush();
        Compose(pairs, composed.Row(0), width);
        for (int y = 0; y < key_.height; ++y) {
            if (std::memcmp(drawn.Row(y), composed.Row(y), static_cast<size_t>(width) * sizeof(std::uint32_t)) != 0)
                return false;
        }
        return true;
    }

    // Top-down rows of the given width: the cells of the text's characters from the left, cut
    // at the right edge, the rest in the brush's colour.
    void Compose(std::string_view text, std::uint32_t* pixels, int width) const {
        for (int y = 0; y < key_.height; ++y) {
            const std::uint32_t* source = strip_->Row(y);
            std::uint32_t* out = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
            int x = 0;
            for (char c : text) {
                if (x >= width) break;
                const size_t i = static_cast<size_t>(CharacterIndex(c));
                const int count = std::min(advance_[i], width - x);
                std::memcpy(out + x, source + cellLeft_[i], static_cast<size_t>(count) * sizeof(std::uint32_t));
                x += count;
            }
            std::fill(out + x, out + width, background_);
        }
    }

    ImagesKey key_;
    std::array<int, kCharacters.size()> advance_{};
    std::array<int, kCharacters.size()> cellLeft_{};
    std::optional<PixelBuffer> strip_;
    std::vector<std::uint32_t> boxPixels_;
    BITMAPINFO boxInfo_{};
    std::uint32_t background_ = 0;
    bool usable_ = false;
};

CounterDigits::CounterDigits() = default;
CounterDigits::~CounterDigits() = default;

bool CounterDigits::Draw(HDC dc, HBRUSH brush, std::string_view text, const RECT& box) {
    if (IsCounterText(text)) {
        if (Images* images = ImagesFor(dc, brush, box)) {
            images->Draw(dc, text, box);
            return true;
        }
    }
    FillRect(dc, &box, brush);
    DrawLine(dc, text, box, kTextFormat);
    return false;
}

CounterDigits::Images* CounterDigits::ImagesFor(HDC dc, HBRUSH brush, const RECT& box) {
    LOGBRUSH logBrush{};
    if (!HasPlainTextState(dc) || GetObjectA(brush, sizeof logBrush, &logBrush) != sizeof logBrush ||
        logBrush.lbStyle != BS_SOLID)
        return nullptr;
    const ImagesKey key{static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)), GetTextColor(dc), logBrush.lbColor,
                        box.right - box.left, box.bottom - box.top};
    if (key.width <= 0 || key.height <= 0) return nullptr;
    auto found = std::find_if(images_.begin(), images_.end(), [&](const auto& images) { return images->Key() == key; });
    if (found == images_.end()) found = images_.insert(images_.end(), std::make_unique<Images>(dc, key, brush));
    return (*found)->Usable() ? found->get() : nullptr;
}

}  // namespace setup
