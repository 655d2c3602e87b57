#include "editor/core/view_cursor.h"
#include "editor/core/view_title.h"
#include "editor/resource.h"

#include <gtest/gtest.h>

namespace {

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
