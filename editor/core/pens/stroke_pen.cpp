#include "editor/core/pens/stroke_pen.h"

namespace impl {

void StrokePen::Track(HBITMAP display, HDC dc, POINT point, const RECT& clip)
{
    BeforeTrack(display);
    if (!points_.empty()) {
        const POINT last = points_.back();
        if (last.x == point.x && last.y == point.y)
            return;
        DrawSegment(display, dc, last, point, clip);
    }
    points_.push_back(point);
}

}  // namespace impl
