#include "editor/impl/nw_pen.h"

namespace impl {

NWPen::NWPen(const PenTriple& triple) : pen_(CreatePen(PS_SOLID, triple.width, triple.colour)) {}

void NWPen::DrawSegment(HBITMAP, HDC dc, POINT from, POINT to, const RECT& clip)
{
    if (!pen_)
        return;
    SavedDCState state(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetROP2(dc, R2_MASKNOTPEN);
    SelectObject(dc, pen_.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

void NWPen::Apply(HBITMAP target)
{
    const std::vector<POINT>& points = Points();
    if (!pen_ || points.empty())
        return;
    MemoryDC dc;
    Selection selected(dc.get(), target);
    if (!selected.ok())
        return;
    SetROP2(dc.get(), R2_MASKNOTPEN);
    Selection pen(dc.get(), pen_.get());
    MoveToEx(dc.get(), points[0].x, points[0].y, nullptr);
    if (points.size() == 1) {
        LineTo(dc.get(), points[0].x, points[0].y);
        return;
    }
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(dc.get(), points[i].x, points[i].y);
}

}  // namespace impl
