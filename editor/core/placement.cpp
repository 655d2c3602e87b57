#include "editor/core/placement.h"

#include <climits>

namespace {

// Image plus margins may pass 32 bits: counted in 64.
long long withMargins(LONG image)
{
    return static_cast<long long>(image) + 2 * kImageMargin;
}

int originIn(int client, int image)
{
    const long long needed = withMargins(image);
    return client > needed ? static_cast<int>((client - needed) / 2) + kImageMargin : kImageMargin;
}

LONG atMostLongMax(long long value)
{
    return value < LONG_MAX ? static_cast<LONG>(value) : LONG_MAX;
}

int threeLinesAtMostAPage(int line, int page)
{
    const int lines = 3 * line;
    return lines < page ? lines : page;
}

}  // namespace

POINT ImageOriginFor(SIZE client, SIZE image)
{
    return POINT{originIn(client.cx, image.cx), originIn(client.cy, image.cy)};
}

ScrollSizes ScrollSizesFor(SIZE image)
{
    ScrollSizes sizes;
    sizes.total = SIZE{atMostLongMax(withMargins(image.cx)), atMostLongMax(withMargins(image.cy))};
    sizes.page = SIZE{sizes.total.cx / 10, sizes.total.cy / 10};
    sizes.line = SIZE{sizes.page.cx / 10, sizes.page.cy / 10};
    return sizes;
}

SIZE ArrowKeyStep(UINT virtualKey, SIZE page, SIZE line)
{
    switch (virtualKey) {
    case VK_LEFT: return SIZE{-threeLinesAtMostAPage(line.cx, page.cx), 0};
    case VK_RIGHT: return SIZE{threeLinesAtMostAPage(line.cx, page.cx), 0};
    case VK_UP: return SIZE{0, -threeLinesAtMostAPage(line.cy, page.cy)};
    case VK_DOWN: return SIZE{0, threeLinesAtMostAPage(line.cy, page.cy)};
    }
    return SIZE{0, 0};
}
