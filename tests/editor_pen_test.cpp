#include "editor/core/pen.h"
#include "editor/core/pens/brush_clip.h"
#include "editor/core/pens/mosaic_pen2.h"
#include "editor/core/pens/pencil.h"
#include "editor_pen_support.h"
#include "kesh/handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using editor_test::Dib;
using editor_test::DibColour;
using editor_test::Screen;

namespace {

// Distinct neighbouring pixels, so that pixelation and masking show.
std::uint32_t Pattern(int x, int y)
{
    return (static_cast<std::uint32_t>(x * 37 + y * 11) & 0xFF) << 16 | (static_cast<std::uint32_t>(x * 5 + y * 71) & 0xFF) << 8 |
           (static_cast<std::uint32_t>(x * y * 13 + 40) & 0xFF);
}

void FillPattern(Dib& dib)
{
    for (int y = 0; y < dib.height(); ++y)
        for (int x = 0; x < dib.width(); ++x)
            dib.set(x, y, Pattern(x, y));
}

int RunLength(const Dib& dib, int y, std::uint32_t background)
{
    int count = 0;
    for (int x = 0; x < dib.width(); ++x)
        count += dib.at(x, y) != background;
    return count;
}

TEST(MakePenTest, GivesThePenOfEachKindAndNothingForOtherKinds)
{
    const PenTriple triple = {0, 3, 2};
    for (int kind = 0; kind <= 3; ++kind) {
        PenPtr pen = MakePen(triple, static_cast<PenKind>(kind));
        ASSERT_TRUE(pen) << kind;
        EXPECT_EQ(kind, pen->GetKind());
        EXPECT_FALSE(pen->HasContent()) << kind;
    }
    for (int kind : {-1, 4, 100})
        EXPECT_FALSE(MakePen(triple, static_cast<PenKind>(kind))) << kind;
}

TEST(MakePenTest, DrawingPensHaveContentFromTheirFirstPointAndTheHandNever)
{
    Dib image(20, 20);
    const PenTriple triple = {0, 3, 2};
    for (int kind = 0; kind <= 3; ++kind) {
        PenPtr pen = editor_test::TrackedStroke(triple, static_cast<PenKind>(kind), image.get(), {{5, 5}});
        EXPECT_EQ(kind != kPenHand, pen->HasContent()) << kind;
    }
}

// A hidden window that notes every pan request it receives.
class PanTarget {
public:
    PanTarget()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &PanTarget::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"EditorPenTestPanTarget";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        requests().clear();
    }
    ~PanTarget() { DestroyWindow(window_); }
    HWND window() const { return window_; }
    static std::vector<POINT>& requests()
    {
        static std::vector<POINT> seen;
        return seen;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kPanByMessage) {
            requests().push_back(POINT{static_cast<int>(wParam), static_cast<int>(lParam)});
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND window_;
};

TEST(HandTest, PansByTheOppositeOfTheMoveInClientCoordinates)
{
    PanTarget target;
    ASSERT_TRUE(target.window());
    const kesh::win::ClientDC dc(target.window());
    ASSERT_TRUE(dc);
    Dib image(300, 300);
    const RECT clip = {0, 0, 300, 300};
    PenPtr hand = MakePen({0, 1, 1}, kPenHand);

    // Scrolled by (50, 40): logical = client - origin.
    SetViewportOrgEx(dc, -50, -40, nullptr);
    hand->Track(image.get(), dc, POINT{100, 100}, clip);  // client (50, 60): only remembered
    EXPECT_TRUE(PanTarget::requests().empty());
    hand->Track(image.get(), dc, POINT{130, 100}, clip);  // 30 to the right
    ASSERT_EQ(1u, PanTarget::requests().size());
    EXPECT_EQ(-30, PanTarget::requests()[0].x);
    EXPECT_EQ(0, PanTarget::requests()[0].y);

    // The view scrolled; the cursor has not moved, so the same image point
    // lies under it and nothing more is asked for.
    SetViewportOrgEx(dc, -20, -40, nullptr);
    hand->Track(image.get(), dc, POINT{100, 100}, clip);
    EXPECT_EQ(1u, PanTarget::requests().size());

    hand->Track(image.get(), dc, POINT{90, 120}, clip);  // left 10, down 20
    ASSERT_EQ(2u, PanTarget::requests().size());
    EXPECT_EQ(10, PanTarget::requests()[1].x);
    EXPECT_EQ(-20, PanTarget::requests()[1].y);

    EXPECT_FALSE(hand->HasContent());
}

TEST(PencilTest, ArgbSwapsRedAndBlueAndIsOpaque)
{
    EXPECT_EQ(0xFFFF0000ul, impl::OpaqueArgb(RGB(255, 0, 0)));
    EXPECT_EQ(0xFF0000FFul, impl::OpaqueArgb(RGB(0, 0, 255)));
    EXPECT_EQ(0xFF123456ul, impl::OpaqueArgb(RGB(0x12, 0x34, 0x56)));
    EXPECT_EQ(0xFF000000ul, impl::OpaqueArgb(0));
}

TEST(PencilTest, ClickLeavesARoundDotOfThePenWidthInThePenColour)
{
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0x20, 0x60, 0xC0)};
    for (COLORREF colour : colours) {
        for (int width : {5, 9}) {
            Dib image(40, 40);
            PenPtr pen = editor_test::TrackedStroke({colour, width, 1}, kPenPencil, image.get(), {{20, 20}});
            pen->Apply(image.get());
            SCOPED_TRACE(testing::Message() << "colour " << std::hex << colour << std::dec << " width " << width);
            EXPECT_EQ(DibColour(colour), image.at(20, 20));
            // Across the dot, the covered run is about the pen's width.
            const int run = RunLength(image, 20, 0xFFFFFF);
            EXPECT_GE(run, width - 1);
            EXPECT_LE(run, width + 2);
            // Nothing beyond the pen's reach; a dot big enough to show its
            // shape leaves the corners of its square untouched (renderers
            // differ on how round a 5-pixel dot comes out).
            const int r = width / 2;
            EXPECT_EQ(0xFFFFFFu, image.at(20 + r + 2, 20));
            EXPECT_EQ(0xFFFFFFu, image.at(20, 20 - r - 2));
            if (width >= 9) {
                EXPECT_EQ(0xFFFFFFu, image.at(20 - r, 20 - r));
                EXPECT_EQ(0xFFFFFFu, image.at(20 + r, 20 + r));
            }
        }
    }
}

TEST(PencilTest, AppliedStrokeRunsThroughEveryPoint)
{
    Dib image(60, 40);
    const std::vector<POINT> points = {{5, 5}, {30, 30}, {55, 8}};
    PenPtr pen = editor_test::TrackedStroke({RGB(0, 0, 0), 3, 1}, kPenPencil, image.get(), points);
    pen->Apply(image.get());
    for (const POINT& p : points)
        EXPECT_EQ(0u, image.at(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(0xFFFFFFu, image.at(5, 35));
}

// Every drawing pen draws the newest segment on the screen only inside the
// clip rectangle, through the DC's viewport origin.
TEST(PenTrackTest, SegmentsAreClippedToTheImageOnTheScreen)
{
    struct Case {
        PenKind kind;
        PenTriple triple;
    };
    const Case cases[] = {
        {kPenPencil, {RGB(0, 0, 0), 5, 1}},
        {kPenHighlighter, {0xFF0000, 7, 1}},
        {kPenMosaic, {0, 15, 2}},
    };
    const POINT origin = {13, 7};
    const RECT clip = {0, 0, 30, 24};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        Dib display(30, 24);
        FillPattern(display);
        Screen screen(70, 50, origin);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 70; ++x)
                screen.pixels().set(x, y, Pattern(x, y) ^ 0x00FFFFFF);
        PenPtr pen = MakePen(c.triple, c.kind);
        pen->Track(display.get(), screen.dc(), POINT{-10, 12}, clip);
        pen->Track(display.get(), screen.dc(), POINT{45, 12}, clip);
        int changedInside = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 70; ++x) {
                const bool inside = x >= origin.x && x < origin.x + clip.right && y >= origin.y && y < origin.y + clip.bottom;
                const bool changed = screen.pixels().at(x, y) != (Pattern(x, y) ^ 0x00FFFFFF);
                if (!inside) {
                    ASSERT_FALSE(changed) << x << "," << y;
                }
                changedInside += changed;
            }
        }
        EXPECT_GT(changedInside, 30);
        // The segment lies on row 12 of the image.
        EXPECT_NE(Pattern(origin.x + 15, origin.y + 12) ^ 0x00FFFFFF, screen.atLogical(15, 12));
    }
}

TEST(HighlighterTest, MasksEachPixelWithTheShownColourOnceOnly)
{
    const COLORREF shown[] = {RGB(255, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255)};
    for (COLORREF colour : shown) {
        SCOPED_TRACE(colour);
        Dib original(40, 30), once(40, 30), twice(40, 30);
        FillPattern(original);
        FillPattern(once);
        FillPattern(twice);
        const PenTriple triple = {HighlighterValue(colour), 7, 1};
        const std::vector<POINT> points = {{4, 10}, {20, 16}, {36, 10}, {20, 6}};
        PenPtr pen = editor_test::TrackedStroke(triple, kPenHighlighter, once.get(), points);
        pen->Apply(once.get());
        pen->Apply(twice.get());
        editor_test::TrackedStroke(triple, kPenHighlighter, twice.get(), points)->Apply(twice.get());
        EXPECT_EQ(editor_test::BytesOf(once.get()), editor_test::BytesOf(twice.get()));

        int covered = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const std::uint32_t before = original.at(x, y);
                const std::uint32_t after = once.at(x, y);
                if (after != before) {
                    ASSERT_EQ(before & DibColour(colour), after) << x << "," << y;
                    ++covered;
                }
            }
        }
        EXPECT_GT(covered, 100);
        for (const POINT& p : points)
            EXPECT_EQ(original.at(p.x, p.y) & DibColour(colour), once.at(p.x, p.y));
    }
}

TEST(HighlighterTest, ScreenSegmentMatchesTheAppliedStroke)
{
    Dib image(40, 30);
    FillPattern(image);
    const POINT origin = {6, 9};
    Screen screen(60, 50, origin);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            screen.pixels().set(x + origin.x, y + origin.y, Pattern(x, y));
    const RECT clip = {0, 0, 40, 30};
    PenPtr pen = MakePen({0x00FF00, 5, 1}, kPenHighlighter);
    pen->Track(image.get(), screen.dc(), POINT{3, 4}, clip);
    pen->Track(image.get(), screen.dc(), POINT{35, 25}, clip);
    pen->Apply(image.get());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(image.at(x, y), screen.atLogical(x, y)) << x << "," << y;
}

// 20 x 20 at strength 4 gives a 5 x 5 cache, stretched back exactly 4 times.
TEST(MosaicTest, BlocksAreUniformAndAnchoredAtTheImageCorner)
{
    Dib original(20, 20), image(20, 20);
    FillPattern(original);
    FillPattern(image);
    PenPtr pen = editor_test::TrackedStroke({0, 15, 4}, kPenMosaic, image.get(), {{10, 10}});
    pen->Apply(image.get());
    // The brush square of (10, 10) at width 15 covers 3 to 17.
    int changed = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inBrush = x >= 3 && x <= 17 && y >= 3 && y <= 17;
            if (!inBrush) {
                ASSERT_EQ(original.at(x, y), image.at(x, y)) << x << "," << y;
                continue;
            }
            changed += image.at(x, y) != original.at(x, y);
            // Same block, same colour: compare with the block's first pixel in the brush.
            const int bx = x / 4 * 4, by = y / 4 * 4;
            const int fx = bx < 3 ? 3 : bx, fy = by < 3 ? 3 : by;
            ASSERT_EQ(image.at(fx, fy), image.at(x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 150);
    // Neighbouring blocks differ on this pattern.
    EXPECT_NE(image.at(7, 7), image.at(8, 7));
    EXPECT_NE(image.at(7, 7), image.at(7, 8));
}

TEST(MosaicTest, StrengthZeroOrBelowActsAsOne)
{
    Dib reference(30, 20);
    FillPattern(reference);
    editor_test::TrackedStroke({0, 15, 1}, kPenMosaic, reference.get(), {{5, 5}, {25, 14}})->Apply(reference.get());
    for (int strength : {0, -3}) {
        Dib image(30, 20);
        FillPattern(image);
        editor_test::TrackedStroke({0, 15, strength}, kPenMosaic, image.get(), {{5, 5}, {25, 14}})->Apply(image.get());
        EXPECT_EQ(editor_test::BytesOf(reference.get()), editor_test::BytesOf(image.get())) << strength;
    }
}

TEST(MosaicTest, ScreenMatchesTheAppliedStrokeAndTheCacheLivesUntilAfterApply)
{
    Dib image(48, 36);
    FillPattern(image);
    const POINT origin = {5, 3};
    Screen screen(60, 45, origin);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 48; ++x)
            screen.pixels().set(x + origin.x, y + origin.y, Pattern(x, y));
    const RECT clip = {0, 0, 48, 36};
    PenPtr pen = MakePen({0, 9, 3}, kPenMosaic);
    impl::MosaicPen2& mosaic = static_cast<impl::MosaicPen2&>(*pen);
    const std::vector<POINT> points = {{4, 4}, {20, 30}, {40, 6}, {10, 12}};
    for (const POINT& p : points)
        pen->Track(image.get(), screen.dc(), p, clip);
    EXPECT_TRUE(mosaic.HasCache());
    pen->Apply(image.get());
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(image.at(x, y), screen.atLogical(x, y)) << x << "," << y;
    pen->AfterApply();
    EXPECT_FALSE(mosaic.HasCache());
}

// The swept area of one segment for each direction of the hull's corner
// table, in a DC whose viewport origin is not (0, 0).
TEST(BrushClipTest, HullCoversBothSquaresAndTheBandBetweenForEveryDirection)
{
    struct Case {
        const char* direction;
        POINT a, b;
    };
    const Case cases[] = {
        {"right and down", {15, 12}, {40, 30}},
        {"right and up", {15, 30}, {40, 12}},
        {"left and down", {40, 12}, {15, 30}},
        {"left and up", {40, 30}, {15, 12}},
        {"straight up", {25, 30}, {25, 10}},
        {"straight left", {40, 20}, {15, 20}},
    };
    const int width = 6;  // squares from -3 to +3
    const POINT origin = {7, 4};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        Screen screen(70, 50, origin);
        {
            kesh::win::SaveDCGuard state(screen.dc());
            IntersectClipRect(screen.dc(), 0, 0, 0, 0);
            impl::SelectBrushClip(screen.dc(), width, c.a, c.b);
            PatBlt(screen.dc(), -origin.x, -origin.y, 70, 50, BLACKNESS);
        }
        auto filled = [&](int x, int y) { return screen.atLogical(x, y) == 0; };
        for (const POINT& p : {c.a, c.b})
            for (int y = p.y - 3; y < p.y + 3; ++y)
                for (int x = p.x - 3; x < p.x + 3; ++x)
                    ASSERT_TRUE(filled(x, y)) << x << "," << y;
        EXPECT_TRUE(filled((c.a.x + c.b.x) / 2, (c.a.y + c.b.y) / 2));
        if (c.a.x != c.b.x && c.a.y != c.b.y) {
            // The two corners of the bounding box that the brush never passes.
            const POINT offA = {c.b.x, c.a.y}, offB = {c.a.x, c.b.y};
            EXPECT_FALSE(filled(offA.x, offA.y));
            EXPECT_FALSE(filled(offB.x, offB.y));
        } else {
            // Beside a straight segment, beyond the brush's half width.
            const int mx = (c.a.x + c.b.x) / 2, my = (c.a.y + c.b.y) / 2;
            EXPECT_FALSE(filled(c.a.x == c.b.x ? mx + 4 : mx, c.a.x == c.b.x ? my : my + 4));
            EXPECT_FALSE(filled(c.a.x == c.b.x ? mx - 4 : mx, c.a.x == c.b.x ? my : my - 4));
        }
    }
}

TEST(BrushClipTest, EqualPointsGiveExactlyTheSquare)
{
    for (int width : {1, 6, 15}) {
        Screen screen(40, 40, POINT{3, 2});
        {
            kesh::win::SaveDCGuard state(screen.dc());
            IntersectClipRect(screen.dc(), 0, 0, 0, 0);
            impl::SelectBrushClip(screen.dc(), width, POINT{15, 15}, POINT{15, 15});
            PatBlt(screen.dc(), -3, -2, 40, 40, BLACKNESS);
        }
        int count = 0, left = 100, top = 100;
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 36; ++x)
                if (screen.atLogical(x, y) == 0) {
                    ++count;
                    left = std::min(left, x);
                    top = std::min(top, y);
                }
        EXPECT_EQ(width * width, count) << width;
        EXPECT_EQ(15 - width / 2, left) << width;
        EXPECT_EQ(15 - width / 2, top) << width;
    }
}

}  // namespace
