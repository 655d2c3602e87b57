#include "editor/core/pens/brush_clip.h"

#include "kesh/handles.h"

#include <algorithm>

namespace impl {

void BrushHullCorners(int width, POINT a, POINT b, POINT corners[6])
{
    const int lo = width / 2;
    const int hi = width - lo;
    const LONG L1 = a.x - lo, T1 = a.y - lo, R1 = a.x + hi, B1 = a.y + hi;
    const LONG L2 = b.x - lo, T2 = b.y - lo, R2 = b.x + hi, B2 = b.y + hi;
    const bool down = b.y >= a.y;
    if (b.x >= a.x && down) {
        const POINT c[6] = {{L1, B1}, {L1, T1}, {R1, T1}, {R2, T2}, {R2, B2}, {L2, B2}};
        std::copy(c, c + 6, corners);
    } else if (b.x > a.x) {  // up and right
        const POINT c[6] = {{R1, B1}, {L1, B1}, {L1, T1}, {L2, T2}, {R2, T2}, {R2, B2}};
        std::copy(c, c + 6, corners);
    } else if (down) {  // down and left
        const POINT c[6] = {{L1, T1}, {R1, T1}, {R1, B1}, {R2, B2}, {L2, B2}, {L2, T2}};
        std::copy(c, c + 6, corners);
    } else {  // up and left, or straight up
        const POINT c[6] = {{R1, T1}, {R1, B1}, {L1, B1}, {L2, B2}, {L2, T2}, {R2, T2}};
        std::copy(c, c + 6, corners);
    }
}

void SelectBrushClip(HDC dc, int width, POINT a, POINT b)
{
    // Clip regions are in device coordinates.
    POINT origin = {0, 0};
    GetViewportOrgEx(dc, &origin);
    a.x += origin.x;
    a.y += origin.y;
    b.x += origin.x;
    b.y += origin.y;
    POINT corners[6];
    BrushHullCorners(width, a, b, corners);
    kesh::win::Region hull(CreatePolygonRgn(corners, 6, ALTERNATE));
    if (hull.isValid())
        ExtSelectClipRgn(dc, hull, RGN_OR);
}

}  // namespace impl
