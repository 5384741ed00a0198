#pragma once
// The window's own control classes: containers (panels and pages) that paint
// their bevels and pass their children's notifications up to the form,
// pictures, and vertical gauges.

#include <vector>

#include "ui/gauge_model.h"
#include "ui/win32/gdi.h"

namespace velmoran::ui::win32 {

inline constexpr char kPanelClass[] = "VelmoranPanel";
inline constexpr char kPictureClass[] = "VelmoranPicture";
inline constexpr char kGaugeClass[] = "VelmoranGauge";

struct BevelSpec {
    RECT rect;
    bool raised;
};

// Registers the three classes once. Pictures take their background colour as
// the creation parameter.
void RegisterControlClasses(HINSTANCE instance);

// A container's look: bevels to paint and its background.
struct PanelLook {
    std::vector<BevelSpec> bevels;
    COLORREF background;
    bool lowered = false;  // a 1-pixel lowered frame around the whole panel
};
void SetPanelLook(HWND panel, PanelLook look);

// Pictures: stretched to the box, or drawn at their own size from the top left.
void SetPicture(HWND picture, Bitmap bitmap, SIZE size, bool stretch);
// Whether the picture already set is stretched to the window.
void SetPictureStretch(HWND picture, bool stretch);

// Gauges share the model's arithmetic; SetGaugeProgress repaints only when the
// percentage changes.
GaugeModel& GaugeOf(HWND gauge);
void SetGaugeMax(HWND gauge, int maximum);
void SetGaugeProgress(HWND gauge, long long progress);

// Draws a flat 38 x 38 speed button with its glyph (WM_DRAWITEM), and the focus
// rectangle when it has the focus and `focusCue` (the keyboard is in use).
void DrawSpeedButton(const DRAWITEMSTRUCT& item, HBITMAP glyph, HBITMAP greyedGlyph, bool focusCue);

}  // namespace velmoran::ui::win32
