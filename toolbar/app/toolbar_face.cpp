#include "toolbar/app/toolbar_face.h"

#include "common/dib_section.h"
#include "toolbar/resource.h"
#include "ui/png_resource.h"

#include <objidl.h>
#include <gdiplus.h>

namespace {

void DrawAt(Gdiplus::Graphics& g, Gdiplus::Bitmap* image, int x, int y)
{
    if (image)
        g.DrawImage(image, x, y, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
}

// A button's hover edges at its left and right; over a pressed button the
// pressed face, stretched across the button at its own height.
void DrawButtonState(Gdiplus::Graphics& g, const ToolbarImages& images, const RECT& button, CODButton::State state)
{
    if (state == CODButton::Normal)
        return;
    DrawAt(g, images.hoverLeft.get(), button.left, button.top);
    const int edge = images.hoverRight ? static_cast<int>(images.hoverRight->GetWidth()) : 0;
    DrawAt(g, images.hoverRight.get(), button.right - edge, button.top);
    if (state != CODButton::Pressed || !images.pressedFace)
        return;
    Gdiplus::Bitmap* face = images.pressedFace.get();
    const INT width = static_cast<INT>(face->GetWidth());
    const INT height = static_cast<INT>(face->GetHeight());
    // Tiling mirrored at the edges keeps the stretched edges from fading
    // into the transparency outside the image.
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    g.DrawImage(face, Gdiplus::Rect(button.left, button.top, button.right - button.left, height), 0, 0, width,
                height, Gdiplus::UnitPixel, &attributes);
}

}  // namespace

bool ToolbarImages::Load()
{
    background = ui::LoadPngResource(IDP_BACKGROUND);
    pressedFace = ui::LoadPngResource(IDP_PRESSED_FACE);
    hoverLeft = ui::LoadPngResource(IDP_HOVER_LEFT);
    hoverRight = ui::LoadPngResource(IDP_HOVER_RIGHT);
    captureIcon = ui::LoadPngResource(IDP_CAPTURE_ICON);
    menuArrow = ui::LoadPngResource(IDP_MENU_ARROW);
    return background && pressedFace && hoverLeft && hoverRight && captureIcon && menuArrow;
}

SIZE ToolbarImages::Size() const
{
    if (!background)
        return SIZE{0, 0};
    return SIZE{static_cast<LONG>(background->GetWidth()), static_cast<LONG>(background->GetHeight())};
}

ToolbarLayout ToolbarLayoutFor(SIZE background, int dpi)
{
    const auto scaled = [dpi](LONG v) { return static_cast<LONG>(MulDiv(v, dpi, USER_DEFAULT_SCREEN_DPI)); };
    const auto scaledRect = [&scaled](const RECT& r) {
        return RECT{scaled(r.left), scaled(r.top), scaled(r.right), scaled(r.bottom)};
    };
    ToolbarLayout layout;
    layout.size = SIZE{scaled(background.cx), scaled(background.cy)};
    layout.grip = RECT{0, 0, scaled(kGripWidth), layout.size.cy};
    layout.captureButton = scaledRect(kCaptureButtonRect);
    layout.menuButton = scaledRect(kMenuButtonRect);
    return layout;
}

int ToolbarDpi()
{
    if (!IsProcessDPIAware())
        return USER_DEFAULT_SCREEN_DPI;
    kesh::win::ClientDC screen(nullptr);
    return GetDeviceCaps(screen, LOGPIXELSY);
}

kesh::win::Bitmap ComposeToolbarFace(const ToolbarImages& images, const ToolbarLayout& layout,
                                     CODButton::State capture, CODButton::State menu, void** bits)
{
    const SIZE background = images.Size();
    const SIZE size = layout.size;
    if (background.cx == 0 || background.cy == 0 || size.cx == 0 || size.cy == 0)
        return kesh::win::Bitmap();
    // Top-down, as GDI+ lays out its rows.
    void* pixels = nullptr;
    kesh::win::Bitmap face = TopDownSection(size.cx, size.cy, &pixels);
    if (!face.isValid())
        return face;
    {
        // GDI+ draws straight into the section's pixels, premultiplied as
        // UpdateLayeredWindow wants them.
        Gdiplus::Bitmap canvas(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(pixels));
        Gdiplus::Graphics g(&canvas);
        // The background fills the whole window at any DPI.
        g.ScaleTransform(static_cast<Gdiplus::REAL>(size.cx) / background.cx,
                         static_cast<Gdiplus::REAL>(size.cy) / background.cy);
        g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        DrawAt(g, images.background.get(), 0, 0);
        g.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        DrawAt(g, images.captureIcon.get(), 30, 12);
        DrawAt(g, images.menuArrow.get(), 65, 21);
        DrawButtonState(g, images, kCaptureButtonRect, capture);
        DrawButtonState(g, images, kMenuButtonRect, menu);
    }
    if (bits)
        *bits = pixels;
    return face;
}

bool ShowLayeredFace(HWND hwnd, HBITMAP face, SIZE size)
{
    kesh::win::ClientDC screen(nullptr);
    kesh::win::MemoryDC memory(screen);
    kesh::win::SelectObjectGuard select(memory, face);
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return UpdateLayeredWindow(hwnd, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA) != FALSE;
}
