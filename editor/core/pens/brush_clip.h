#pragma once

#include <windows.h>

namespace impl {

// The six corners of the hull of the square brushes at a and b, in the
// order that walks its outline for the segment's direction. The square of
// (x, y) runs from x - width / 2 to x + width - width / 2, the same in y.
// Equal points give the square itself.
void BrushHullCorners(int width, POINT a, POINT b, POINT corners[6]);

// Adds the area swept by the square brush from a to b (logical
// coordinates) to dc's clip region.
void SelectBrushClip(HDC dc, int width, POINT a, POINT b);

}  // namespace impl
