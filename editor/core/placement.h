#pragma once

#include <windows.h>

// Where the image sits in the paint view and how the view scrolls. The
// image keeps a margin of kImageMargin pixels on every side.
const int kImageMargin = 10;

// Top-left of the image in the view's scrolled coordinates: the margin, or
// centred in an axis where the client area is wider than image plus margins.
POINT ImageOriginFor(SIZE client, SIZE image);

struct ScrollSizes {
    SIZE total;  // image plus both margins, at most LONG_MAX
    SIZE page;   // a tenth of the total
    SIZE line;   // a tenth of a page
};
ScrollSizes ScrollSizesFor(SIZE image);

// The scroll step of an arrow key: three lines, at most one page, in the
// key's direction; {0, 0} for any other key.
SIZE ArrowKeyStep(UINT virtualKey, SIZE page, SIZE line);
