#pragma once
// The progress display's surface on the main window, drawn with GDI.
#include <windows.h>

#include <optional>

#include "base/win32_handles.h"
#include "ui/counter_digits_win32.h"
#include "ui/progress_display.h"

namespace setup {

class GdiProgressSurface final : public ProgressSurface {
public:
    // The window, its title font and the wait cursor stay owned by the main window.
    GdiProgressSurface(HWND window, HFONT titleFont, HCURSOR waitCursor);
    GdiProgressSurface(const GdiProgressSurface&) = delete;
    GdiProgressSurface& operator=(const GdiProgressSurface&) = delete;

    // Deletes the latest counter brush; the window calls it when it is destroyed.
    void DeleteCounterBrush() { counterBrush_.reset(); }

    void OpenBuildContext() override;
    void CloseBuildContext() override;
    void CreateCounterBrush(Colour colour) override;
    void SelectFont(SurfaceFont font) override;
    void SetTextColour(Colour colour) override;
    void DrawText(std::string_view text, const Rect& rect) override;
    void DrawCounter(std::string_view text, const Rect& box) override;
    void DrawBar(const BarDrawing& bar) override;
    void ShowWaitCursor() override;
    void RestoreCursor() override;

private:
    HWND window_;
    HFONT titleFont_;
    HCURSOR waitCursor_;
    HCURSOR previousCursor_ = nullptr;
    std::optional<WindowDc> buildDc_;  // from the start to the end of one build
    UniqueBrush counterBrush_;
    CounterDigits counterDigits_;
};

}  // namespace setup
