#pragma once

#include "toolbar/app/od_button.h"

#include "kesh/handles.h"

#include <windows.h>

#include <boost/shared_ptr.hpp>

namespace Gdiplus {
class Bitmap;
}

// Where the toolbar's parts lie at 96 DPI, in window pixels: the drag grip
// on the left, then the two buttons. The background image sets the
// window's size.
constexpr int kGripWidth = 27;
constexpr RECT kCaptureButtonRect = {28, 6, 28 + 34, 6 + 38};
constexpr RECT kMenuButtonRect = {63, 6, 63 + 15, 6 + 38};

// The toolbar's window and parts at a DPI, in window pixels: the 96-DPI
// places scaled by dpi / 96, each edge rounded, so that beside the system's
// own controls and texts it keeps the size it has at 96 DPI. At 96 DPI the
// images are shown pixel for pixel.
struct ToolbarLayout {
    SIZE size;
    RECT grip;
    RECT captureButton;
    RECT menuButton;
};
ToolbarLayout ToolbarLayoutFor(SIZE background, int dpi);

// The DPI the toolbar is drawn for: the system's when the program is DPI
// aware, else 96 (the system stretches an unaware program's windows
// itself, whatever DPI it reports).
int ToolbarDpi();

// The six images of the toolbar, from the program's PNG resources.
struct ToolbarImages {
    boost::shared_ptr<Gdiplus::Bitmap> background;
    boost::shared_ptr<Gdiplus::Bitmap> pressedFace;
    boost::shared_ptr<Gdiplus::Bitmap> hoverLeft;
    boost::shared_ptr<Gdiplus::Bitmap> hoverRight;
    boost::shared_ptr<Gdiplus::Bitmap> captureIcon;
    boost::shared_ptr<Gdiplus::Bitmap> menuArrow;

    // Loads all six (GDI+ must be started); false when one is missing.
    bool Load();
    // The background's size (0 x 0 without it).
    SIZE Size() const;
};

// The toolbar's look with its buttons in the given states: the background,
// the capture icon and the menu arrow, and each button's hover edges (and
// over a pressed one the pressed face), drawn at the 96-DPI places and
// stretched to the layout's size. A 32-bit top-down DIB section of that
// size with premultiplied alpha, as UpdateLayeredWindow takes it; bits
// (when given) receives its pixels. Empty without a background.
kesh::win::Bitmap ComposeToolbarFace(const ToolbarImages& images, const ToolbarLayout& layout,
                                     CODButton::State capture, CODButton::State menu, void** bits = nullptr);

// Shows face on the layered window hwnd at its current place: per-pixel
// alpha, no colour key.
bool ShowLayeredFace(HWND hwnd, HBITMAP face, SIZE size);
