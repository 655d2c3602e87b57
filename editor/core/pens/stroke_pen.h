#pragma once

#include "editor/core/pen.h"

#include <vector>

namespace impl {

// Base of the pens that draw along the mouse path. It keeps the points (a
// plain vector: GDI and GDI+ take them as one contiguous array) and the
// rule they share: a point equal to the last one is ignored; otherwise the
// segment from the last point is drawn on the screen and the point is kept.
class StrokePen : public IPen {
public:
    void Track(HBITMAP display, HDC dc, POINT point, const RECT& clip) final;
    bool HasContent() const override { return !points_.empty(); }

protected:
    // Called at every Track, before the rule above.
    virtual void BeforeTrack(HBITMAP /*display*/) {}
    // Draws one new segment on dc; from and to are image coordinates.
    virtual void DrawSegment(HBITMAP display, HDC dc, POINT from, POINT to, const RECT& clip) = 0;

    const std::vector<POINT>& Points() const { return points_; }

private:
    std::vector<POINT> points_;
};

}  // namespace impl
