#include "editor/app/frame_placement.h"

namespace {

// One axis of the size: decorations plus image plus slack, at most the work
// area, then at least the minimum (which wins on a tiny work area).
long long axisSize(long long decorations, long long image, long long area)
{
    long long size = decorations + image + kFrameImageSlack;
    if (size >= area)
        size = area;
    if (size <= kFrameMinimumSize)
        size = kFrameMinimumSize;
    return size;
}

// Shifts [start, start + size) into [low, high): the low edge first, then
// the high edge, which wins when the range is larger than the area.
long long keepInside(long long start, long long size, long long low, long long high)
{
    if (start < low)
        start = low;
    if (start + size > high)
        start = high - size;
    return start;
}

}  // namespace

FramePlacement PlaceFrameOverImage(const FrameGeometry& g, long x, long y)
{
    // 64-bit throughout: x and y come from the command line and may be
    // anything a long holds.
    const long long frameWidth = g.frame.right - g.frame.left;
    const long long frameHeight = g.frame.bottom - g.frame.top;
    const long long viewWidth = g.view.right - g.view.left;
    const long long viewHeight = g.view.bottom - g.view.top;
    const long long areaWidth = g.workArea.right - g.workArea.left;
    const long long areaHeight = g.workArea.bottom - g.workArea.top;
    const long long w = g.image.cx;
    const long long h = g.image.cy;

    const long long width = axisSize(frameWidth - viewWidth, w, areaWidth);
    const long long height = axisSize(frameHeight - viewHeight, h, areaHeight);

    // The view centres the image in its client area; the view's border and
    // the frame's left and right edges are taken as even on both sides.
    // C++ division truncates toward zero, as the placement expects.
    long long left = x - (width - w) / 2;
    long long top = y - (height - (frameHeight - viewHeight) - h) / 2 - (g.view.top - g.frame.top);

    left = keepInside(left, width, g.workArea.left, g.workArea.right);
    top = keepInside(top, height, g.workArea.top, g.workArea.bottom);

    FramePlacement placement;
    placement.left = static_cast<int>(left);
    placement.top = static_cast<int>(top);
    placement.width = static_cast<int>(width);
    placement.height = static_cast<int>(height);
    placement.centre = x < 0 || y < 0;
    return placement;
}
