#include "ui/progress_surface_gdi_win32.h"

namespace setup {

namespace {

RECT ToRect(const Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

void DrawLine(HDC dc, std::string_view text, const Rect& rect, UINT alignment) {
    RECT r = ToRect(rect);
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | alignment);
}

}  // namespace

GdiProgressSurface::GdiProgressSurface(HWND window, HFONT titleFont, HCURSOR waitCursor)
    : window_(window), titleFont_(titleFont), waitCursor_(waitCursor) {}

void GdiProgressSurface::OpenBuildContext() {
    buildDc_.reset();
    buildDc_.emplace(window_);
    SetBkMode(buildDc_->Dc(), TRANSPARENT);
}

void GdiProgressSurface::CloseBuildContext() { buildDc_.reset(); }

void GdiProgressSurface::CreateCounterBrush(Colour colour) { counterBrush_.reset(CreateSolidBrush(colour)); }

void GdiProgressSurface::SelectFont(SurfaceFont font) {
    if (!buildDc_) return;
    // The fonts belong to the window or the system; the context is given back at the build's end.
    SelectObject(buildDc_->Dc(),
                 font == SurfaceFont::Title ? static_cast<HGDIOBJ>(titleFont_) : GetStockObject(SYSTEM_FONT));
}

void GdiProgressSurface::SetTextColour(Colour colour) {
    if (buildDc_) SetTextColor(buildDc_->Dc(), colour);
}

void GdiProgressSurface::DrawText(std::string_view text, const Rect& rect) {
    if (buildDc_) DrawLine(buildDc_->Dc(), text, rect, DT_LEFT | DT_TOP);
}

void GdiProgressSurface::DrawCounter(std::string_view text, const Rect& box) {
    if (buildDc_ && counterBrush_) counterDigits_.Draw(buildDc_->Dc(), counterBrush_.get(), text, ToRect(box));
}

void GdiProgressSurface::DrawBar(const BarDrawing& bar) {
    {
        const WindowDc dc(window_);
        const UniqueBrush fillBrush(CreateSolidBrush(bar.fillColour));
        const UniqueBrush frameBrush(CreateSolidBrush(bar.frameColour));
        const UniqueBrush insideBrush(CreateSolidBrush(bar.insideColour));
        const RECT outer = ToRect(bar.outer);
        const RECT inside = ToRect(bar.inside);
        FrameRect(dc.Dc(), &outer, frameBrush.get());
        FillRect(dc.Dc(), &inside, insideBrush.get());
        if (bar.fill) {
            const RECT fill = ToRect(*bar.fill);
            FillRect(dc.Dc(), &fill, fillBrush.get());
        }
        SetBkMode(dc.Dc(), TRANSPARENT);
        SetTextColor(dc.Dc(), bar.textColour);
        DrawLine(dc.Dc(), bar.text, bar.outer, DT_CENTER | DT_VCENTER);
    }
    UpdateWindow(window_);
}

void GdiProgressSurface::ShowWaitCursor() { previousCursor_ = SetCursor(waitCursor_); }

void GdiProgressSurface::RestoreCursor() { SetCursor(previousCursor_); }

}  // namespace setup
