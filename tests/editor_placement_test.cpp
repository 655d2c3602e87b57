#include "editor/core/placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(PlacementTest, ImageKeepsItsMarginOrIsCentred)
{
    struct Case {
        SIZE client, image;
        POINT origin;
    };
    const Case cases[] = {
        {{800, 600}, {1000, 900}, {10, 10}},  // larger than the window
        {{120, 120}, {100, 100}, {10, 10}},   // exactly image plus margins
        {{121, 121}, {100, 100}, {10, 10}},   // one pixel to spare: (1 / 2) + 10
        {{122, 300}, {100, 100}, {11, 100}},
        {{800, 100}, {100, 500}, {350, 10}},  // centred in one axis only
        {{0, 0}, {5, 5}, {10, 10}},
        {{800, 600}, {INT_MAX, INT_MAX - 5}, {10, 10}},  // image plus margins pass 32 bits
    };
    for (const Case& c : cases) {
        const POINT origin = ImageOriginFor(c.client, c.image);
        EXPECT_EQ(c.origin.x, origin.x) << c.client.cx << " for " << c.image.cx;
        EXPECT_EQ(c.origin.y, origin.y) << c.client.cy << " for " << c.image.cy;
    }
}

TEST(PlacementTest, ScrollSizesAreImagePlusMarginsWithTenthsForPagesAndLines)
{
    const ScrollSizes sizes = ScrollSizesFor(SIZE{3840, 2160});
    EXPECT_EQ(3860, sizes.total.cx);
    EXPECT_EQ(2180, sizes.total.cy);
    EXPECT_EQ(386, sizes.page.cx);
    EXPECT_EQ(218, sizes.page.cy);
    EXPECT_EQ(38, sizes.line.cx);
    EXPECT_EQ(21, sizes.line.cy);

    const ScrollSizes huge = ScrollSizesFor(SIZE{INT_MAX, INT_MAX - 5});
    EXPECT_EQ(INT_MAX, huge.total.cx);
    EXPECT_EQ(INT_MAX, huge.total.cy);

    const ScrollSizes tiny = ScrollSizesFor(SIZE{1, 1});
    EXPECT_EQ(21, tiny.total.cx);
    EXPECT_EQ(2, tiny.page.cx);
    EXPECT_EQ(0, tiny.line.cx);
}

TEST(PlacementTest, ArrowKeysStepThreeLinesButAtMostAPage)
{
    const SIZE page = {100, 50};
    const SIZE line = {10, 20};
    struct Case {
        UINT key;
        SIZE step;
    };
    const Case cases[] = {
        {VK_LEFT, {-30, 0}}, {VK_RIGHT, {30, 0}}, {VK_UP, {0, -50}}, {VK_DOWN, {0, 50}}, {VK_HOME, {0, 0}}, {'A', {0, 0}},
    };
    for (const Case& c : cases) {
        const SIZE step = ArrowKeyStep(c.key, page, line);
        EXPECT_EQ(c.step.cx, step.cx) << c.key;
        EXPECT_EQ(c.step.cy, step.cy) << c.key;
    }
    const SIZE none = ArrowKeyStep(VK_RIGHT, SIZE{2, 2}, SIZE{0, 0});
    EXPECT_EQ(0, none.cx);
}

}  // namespace
