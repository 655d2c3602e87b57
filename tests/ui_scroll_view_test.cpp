// The scroll view: default page and line sizes, positions kept in range,
// scroll-bar codes, the wheel and the DC origin OnDraw sees.
#include "tests/ui_test_support.h"

#include "ui/scroll_view.h"

#include <gtest/gtest.h>

namespace {

class PlainScrollView : public ui::CScrollView {
public:
    POINT drawnOrigin = {-1, -1};
    int draws = 0;
    void OnDraw(HDC dc) override
    {
        GetViewportOrgEx(dc, &drawnOrigin);
        ++draws;
    }
};

class ScrollViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const RECT rc = {0, 0, 300, 200};
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"scroll host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc, nullptr, 0));
        const RECT client = {0, 0, 200, 100};
        ASSERT_TRUE(view.Create(WS_CHILD | WS_VISIBLE, client, &parent, 1));
        view.SetScrollExtent(SIZE{1000, 800});
        clientSize = view.GetClientRect();
    }
    POINT pos() const { return view.ScrollPosition(); }

    ui::CWnd parent;
    PlainScrollView view;
    RECT clientSize = {};
};

TEST_F(ScrollViewTest, DefaultPageIsATenthAndLineATenthOfAPage)
{
    struct Case {
        SIZE total, page, line;
    } cases[] = {
        {{1000, 800}, {100, 80}, {10, 8}},
        {{1020, 520}, {102, 52}, {10, 5}},
        {{9, 99}, {0, 9}, {0, 0}},
    };
    for (const Case& c : cases) {
        view.SetScrollExtent(c.total);
        EXPECT_EQ(view.PageSize().cx, c.page.cx) << c.total.cx;
        EXPECT_EQ(view.PageSize().cy, c.page.cy) << c.total.cy;
        EXPECT_EQ(view.LineSize().cx, c.line.cx) << c.total.cx;
        EXPECT_EQ(view.LineSize().cy, c.line.cy) << c.total.cy;
    }
    view.SetScrollExtent(SIZE{1000, 800}, SIZE{50, 60}, SIZE{5, 6});
    EXPECT_EQ(view.PageSize().cy, 60);
    EXPECT_EQ(view.LineSize().cx, 5);
}

TEST_F(ScrollViewTest, ScrollByStaysWithinTotalMinusClient)
{
    const LONG maxX = 1000 - clientSize.right;
    const LONG maxY = 800 - clientSize.bottom;
    struct Case {
        SIZE by;
        POINT expected;
        bool moved;
    } cases[] = {
        {{-5, -5}, {0, 0}, false},
        {{30, 40}, {30, 40}, true},
        {{100000, 0}, {maxX, 40}, true},
        {{0, 100000}, {maxX, maxY}, true},
        {{1, 1}, {maxX, maxY}, false},
        {{-100000, -100000}, {0, 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view.OnScrollBy(c.by), c.moved) << c.by.cx << "," << c.by.cy;
        EXPECT_EQ(pos().x, c.expected.x);
        EXPECT_EQ(pos().y, c.expected.y);
    }
}

TEST_F(ScrollViewTest, ScrollByWithoutScrollingOnlyAnswers)
{
    EXPECT_TRUE(view.OnScrollBy(SIZE{10, 10}, false));
    EXPECT_EQ(pos().x, 0);
    EXPECT_EQ(pos().y, 0);
}

TEST_F(ScrollViewTest, BarCodesMoveByLineAndPage)
{
    struct Case {
        UINT message;
        WORD code;
        POINT expected;
    } cases[] = {
        {WM_VSCROLL, SB_LINEDOWN, {0, 8}},
        {WM_VSCROLL, SB_PAGEDOWN, {0, 88}},
        {WM_VSCROLL, SB_LINEUP, {0, 80}},
        {WM_HSCROLL, SB_PAGEDOWN, {100, 80}},
        {WM_HSCROLL, SB_LINEUP, {90, 80}},
        {WM_VSCROLL, SB_TOP, {90, 0}},
        {WM_HSCROLL, SB_PAGEUP, {0, 0}},
        {WM_VSCROLL, SB_BOTTOM, {0, 800 - clientSize.bottom}},
    };
    for (const Case& c : cases) {
        view.SendMessage(c.message, c.code, 0);
        EXPECT_EQ(pos().x, c.expected.x) << c.message << "/" << c.code;
        EXPECT_EQ(pos().y, c.expected.y) << c.message << "/" << c.code;
    }
}

TEST_F(ScrollViewTest, KeysScrollByLinePageAndToTheEnds)
{
    const LONG maxY = 800 - clientSize.bottom;
    struct Case {
        WPARAM key;
        POINT expected;
    } cases[] = {
        {VK_DOWN, {0, 8}},     {VK_RIGHT, {10, 8}},      {VK_NEXT, {10, 88}}, {VK_UP, {10, 80}},
        {VK_LEFT, {0, 80}},    {VK_PRIOR, {0, 0}},       {VK_END, {0, maxY}}, {VK_HOME, {0, 0}},
        {'A', {0, 0}},
    };
    for (const Case& c : cases) {
        view.SendMessage(WM_KEYDOWN, c.key, 0);
        EXPECT_EQ(pos().x, c.expected.x) << c.key;
        EXPECT_EQ(pos().y, c.expected.y) << c.key;
    }
}

TEST_F(ScrollViewTest, WheelScrollsVerticallyAtMostAPage)
{
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const LONG step = lines == WHEEL_PAGESCROLL ? 80 : std::min<LONG>(static_cast<LONG>(lines) * 8, 80);
    view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(pos().y, step);
    view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(pos().y, 0);
}

TEST_F(ScrollViewTest, FineWheelStepsAddUpToANotch)
{
    // Smooth wheels and touch pads send parts of a notch; four quarters
    // scroll as far as one whole notch.
    view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    const LONG notch = pos().y;
    ASSERT_GT(notch, 0);
    view.ScrollTo(POINT{0, 0});
    for (int i = 0; i < 4; ++i)
        view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 4)), 0);
    EXPECT_EQ(pos().y, notch);
    for (int i = 0; i < 4; ++i)
        view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA / 4)), 0);
    EXPECT_EQ(pos().y, 0);
}

TEST_F(ScrollViewTest, DrawingSeesTheScrolledOrigin)
{
    view.ScrollTo(POINT{25, 35});
    view.Invalidate();
    UpdateWindow(view.handle());
    ASSERT_GT(view.draws, 0);
    EXPECT_EQ(view.drawnOrigin.x, -25);
    EXPECT_EQ(view.drawnOrigin.y, -35);
}

TEST_F(ScrollViewTest, GrowingTheWindowPullsThePositionBack)
{
    view.ScrollTo(POINT{1000, 800});
    MoveWindow(view.handle(), 0, 0, 1200, 1000, TRUE);
    EXPECT_EQ(pos().x, 0);
    EXPECT_EQ(pos().y, 0);
}

}  // namespace
