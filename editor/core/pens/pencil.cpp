#include "editor/core/pens/pencil.h"

#include "editor/core/bitmap.h"

#include <objidl.h>
#include <gdiplus.h>

namespace impl {

namespace {

using namespace Gdiplus;

// A GDI+ drawing surface on a DC; draws nothing when it could not be made.
class Surface {
public:
    explicit Surface(HDC dc)
    {
        if (DllExports::GdipCreateFromHDC(dc, &graphics_) != Ok)
            graphics_ = nullptr;
        else
            DllExports::GdipSetSmoothingMode(graphics_, SmoothingModeHighQuality);
    }
    ~Surface()
    {
        if (graphics_)
            DllExports::GdipDeleteGraphics(graphics_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    GpGraphics* get() const { return graphics_; }

private:
    GpGraphics* graphics_ = nullptr;
};

}  // namespace

unsigned long OpaqueArgb(COLORREF colour)
{
    return 0xFF000000ul | (static_cast<unsigned long>(GetRValue(colour)) << 16) |
           (static_cast<unsigned long>(GetGValue(colour)) << 8) | GetBValue(colour);
}

void Pencil::PenDeleter::operator()(GpPen* pen) const
{
    DllExports::GdipDeletePen(pen);
}

Pencil::Pencil(const PenTriple& triple)
{
    GpPen* pen = nullptr;
    if (DllExports::GdipCreatePen1(OpaqueArgb(triple.colour), static_cast<REAL>(triple.width), UnitWorld, &pen) != Ok)
        return;
    pen_.reset(pen);
    DllExports::GdipSetPenLineCap197819(pen, LineCapRound, LineCapRound, DashCapRound);
    DllExports::GdipSetPenLineJoin(pen, LineJoinRound);
}

Pencil::~Pencil() = default;

void Pencil::DrawSegment(HBITMAP, HDC dc, POINT from, POINT to, const RECT& clip)
{
    if (!pen_)
        return;
    kesh::win::SaveDCGuard state(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    Surface surface(dc);
    if (surface.get())
        DllExports::GdipDrawLineI(surface.get(), pen_.get(), from.x, from.y, to.x, to.y);
}

void Pencil::Apply(HBITMAP target)
{
    const std::vector<POINT>& points = Points();
    if (!pen_ || points.empty())
        return;
    kesh::win::MemoryDC dc;
    kesh::win::SelectObjectGuard selected(dc, target);
    if (!Holds(dc, target))
        return;
    Surface surface(dc);
    if (!surface.get())
        return;
    if (points.size() == 1) {
        // The round caps turn this tiny line into a dot of the pen's width.
        const REAL x = static_cast<REAL>(points[0].x);
        const REAL y = static_cast<REAL>(points[0].y);
        DllExports::GdipDrawLine(surface.get(), pen_.get(), x, y, x + 0.1f, y + 0.1f);
        return;
    }
    std::vector<GpPoint> curve;
    curve.reserve(points.size());
    for (const POINT& p : points)
        curve.push_back(GpPoint(p.x, p.y));
    DllExports::GdipDrawCurve2I(surface.get(), pen_.get(), curve.data(), static_cast<INT>(curve.size()), 1.0f);
}

}  // namespace impl
