#include "editor/core/pens/nw_pen.h"

#include "editor/core/bitmap.h"

namespace impl {

NWPen::NWPen(const PenTriple& triple) : pen_(CreatePen(PS_SOLID, triple.width, triple.colour)) {}

void NWPen::DrawSegment(HBITMAP, HDC dc, POINT from, POINT to, const RECT& clip)
{
    if (!pen_.isValid())
        return;
    kesh::win::SaveDCGuard state(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetROP2(dc, R2_MASKNOTPEN);
    SelectObject(dc, pen_.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

void NWPen::Apply(HBITMAP target)
{
    const std::vector<POINT>& points = Points();
    if (!pen_.isValid() || points.empty())
        return;
    kesh::win::MemoryDC dc;
    kesh::win::SelectObjectGuard selected(dc, target);
    if (!Holds(dc, target))
        return;
    SetROP2(dc, R2_MASKNOTPEN);
    kesh::win::SelectObjectGuard pen(dc, pen_.get());
    MoveToEx(dc, points[0].x, points[0].y, nullptr);
    if (points.size() == 1) {
        LineTo(dc, points[0].x, points[0].y);
        return;
    }
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(dc, points[i].x, points[i].y);
}

}  // namespace impl
