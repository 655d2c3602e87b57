#include "editor/core/placement.h"
#include "editor/core/save_format.h"
#include "editor/core/view_cursor.h"
#include "editor/core/view_title.h"
#include "editor/resource.h"

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

const GUID kPngRaw = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kBmpRaw = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

TEST(SaveFormatTest, RawFormatUpToFourFifthsOfAByteAPixelElseJpeg)
{
    struct Case {
        const char* what;
        GUID raw;
        std::uint64_t size;
        int width, height;
        bool keepsRaw;
    };
    const Case cases[] = {
        {"exactly the threshold", kPngRaw, 80000, 1000, 100, true},
        {"one byte above", kPngRaw, 80001, 1000, 100, false},
        {"division truncates", kPngRaw, 2, 1, 3, true},  // 12 / 5 = 2
        {"size unknown", kPngRaw, 0, 10, 10, true},
        {"24-bit BMP, 300 x 300", kBmpRaw, 54 + 300 * 900, 300, 300, false},
        {"32-bit BMP, 300 x 300", kBmpRaw, 54 + 300 * 1200, 300, 300, false},
        // 40000 x 40000 x 4 overflows 32 bits.
        {"huge image, small file", kPngRaw, 1000000000ull, 40000, 40000, true},
        {"huge image, large file", kPngRaw, 1280000001ull, 40000, 40000, false},
        {"empty image", kPngRaw, 1, 0, 0, false},
        // width x height x 4 passes even 63 bits.
        {"largest image, small file", kPngRaw, 1ull << 61, INT_MAX, INT_MAX, true},
        {"largest image, file above the threshold", kPngRaw, 3689348811305936488ull, INT_MAX, INT_MAX, false},
        {"largest image, file at the threshold", kPngRaw, 3689348811305936487ull, INT_MAX, INT_MAX, true},
    };
    for (const Case& c : cases) {
        const GUID format = PreferredSaveFormat(c.raw, c.size, c.width, c.height);
        EXPECT_TRUE(IsEqualGUID(c.keepsRaw ? c.raw : kImageFormatJPEG, format)) << c.what;
    }
}

TEST(ViewCursorTest, EachKindHasItsCursorAndTheHighlighterFollowsItsColour)
{
    EXPECT_EQ(IDC_CURSOR_HAND, CursorIdFor(kPenHand, 0));
    EXPECT_EQ(IDC_CURSOR_PENCIL, CursorIdFor(kPenPencil, 0));
    EXPECT_EQ(IDC_CURSOR_MOSAIC, CursorIdFor(kPenMosaic, 0));
    EXPECT_EQ(IDC_CURSOR_HIGHLIGHTER_YELLOW, CursorIdFor(kPenHighlighter, 0xFF0000));
    EXPECT_EQ(IDC_CURSOR_HIGHLIGHTER_PURPLE, CursorIdFor(kPenHighlighter, 0x00FF00));
    EXPECT_EQ(IDC_CURSOR_HIGHLIGHTER_CYAN, CursorIdFor(kPenHighlighter, 0x0000FF));
    EXPECT_EQ(IDC_CURSOR_HIGHLIGHTER_YELLOW, CursorIdFor(kPenHighlighter, 0x123456));
    EXPECT_EQ(0, CursorIdFor(4, 0));
}

TEST(ViewTitleTest, NameThenModifiedMarkThenFileName)
{
    EXPECT_STREQ("Editor - *shot.png", ViewTitle("Editor", 1, "C:\\pics\\shot.png").c_str());
    EXPECT_STREQ("Editor - *shot.png", ViewTitle("Editor", -1, "C:\\pics\\shot.png").c_str());
    EXPECT_STREQ("Editor - shot.png", ViewTitle("Editor", 0, "C:\\pics\\shot.png").c_str());
}

}  // namespace
