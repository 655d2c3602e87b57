#include "editor/core/pens/pencil.h"

#include "editor/core/bitmap.h"

#include <utility>

namespace impl {

namespace {

using namespace Gdiplus;

// A smoothing GDI+ drawing surface on a DC; empty when it could not be made.
GpGraphicsHandle Surface(HDC dc)
{
    GpGraphicsHandle graphics;
    if (DllExports::GdipCreateFromHDC(dc, graphics.Receive()) != Ok)
        graphics.Detach();  // a failed call may leave anything in the slot
    else
        DllExports::GdipSetSmoothingMode(graphics, SmoothingModeHighQuality);
    return graphics;
}

}  // namespace

unsigned long OpaqueArgb(COLORREF colour)
{
    return 0xFF000000ul | (static_cast<unsigned long>(GetRValue(colour)) << 16) |
           (static_cast<unsigned long>(GetGValue(colour)) << 8) | GetBValue(colour);
}

Pencil::Pencil(const PenTriple& triple)
{
    GpPenHandle pen;
    if (DllExports::GdipCreatePen1(OpaqueArgb(triple.colour), static_cast<REAL>(triple.width), UnitWorld,
                                   pen.Receive()) != Ok)
        return;
    DllExports::GdipSetPenLineCap197819(pen, LineCapRound, LineCapRound, DashCapRound);
    DllExports::GdipSetPenLineJoin(pen, LineJoinRound);
    pen_ = std::move(pen);
}

Pencil::~Pencil() = default;

void Pencil::DrawSegment(HBITMAP, HDC dc, POINT from, POINT to, const RECT& clip)
{
    if (!pen_.isValid())
        return;
    kesh::win::SaveDCGuard state(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    const GpGraphicsHandle surface = Surface(dc);
    if (surface.isValid())
        DllExports::GdipDrawLineI(surface, pen_, from.x, from.y, to.x, to.y);
}

void Pencil::Apply(HBITMAP target)
{
    const std::vector<POINT>& points = Points();
    if (!pen_.isValid() || points.empty())
        return;
    kesh::win::MemoryDC dc;
    kesh::win::SelectObjectGuard selected(dc, target);
    if (!Holds(dc, target))
        return;
    const GpGraphicsHandle surface = Surface(dc);
    if (!surface.isValid())
        return;
    if (points.size() == 1) {
        // The round caps turn this tiny line into a dot of the pen's width.
        const REAL x = static_cast<REAL>(points[0].x);
        const REAL y = static_cast<REAL>(points[0].y);
        DllExports::GdipDrawLine(surface, pen_, x, y, x + 0.1f, y + 0.1f);
        return;
    }
    std::vector<GpPoint> curve;
    curve.reserve(points.size());
    for (const POINT& p : points)
        curve.push_back(GpPoint(p.x, p.y));
    DllExports::GdipDrawCurve2I(surface, pen_, curve.data(), static_cast<INT>(curve.size()), 1.0f);
}

}  // namespace impl
