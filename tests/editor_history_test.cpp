#include "editor/core/bitmap.h"
#include "editor/core/stroke_history.h"
#include "editor_pen_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using editor_test::BytesOf;
using editor_test::Dib;

namespace {

const int kWidth = 64;
const int kHeight = 48;

kesh::win::Bitmap PatternImage()
{
    Dib dib(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            dib.set(x, y, static_cast<std::uint32_t>((x * 29 + y * 7) & 0xFF) << 16 | ((x * 3 + y * 53) & 0xFF) << 8 | 0x80);
    return dib.release();
}

// Stroke number i: kinds in turn, each somewhere of its own.
PenPtr NthStroke(const StrokeHistory& history, int i)
{
    const int row = 2 + (i * 5) % (kHeight - 4);
    const std::vector<POINT> points = {{2 + i, row}, {kWidth / 2, row + 3}, {kWidth - 3 - i, row}};
    switch (i % 3) {
    case 0: return editor_test::TrackedStroke({0x00FF00, 3, 1}, kPenHighlighter, history.Display(), points);
    case 1: return editor_test::TrackedStroke({0, 9, 1 + i % 4}, kPenMosaic, history.Display(), points);
    default: return editor_test::TrackedStroke({RGB(200, 10, 10), 2, 1}, kPenPencil, history.Display(), points);
    }
}

// The base with the undo list applied, made independently of the history.
std::vector<std::uint8_t> Replayed(const StrokeHistory& history)
{
    kesh::win::Bitmap copy;
    EXPECT_TRUE(CopyBitmap(history.Base(), copy));
    for (const PenPtr& stroke : history.UndoList()) {
        stroke->Apply(copy.get());
        stroke->AfterApply();
    }
    return BytesOf(copy.get());
}

class StrokeHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        original_ = BytesOf(PatternImage().get());
        ASSERT_TRUE(history_.Reset(PatternImage()));
    }
    void RecordStrokes(int first, int count)
    {
        for (int i = first; i < first + count; ++i)
            ASSERT_TRUE(history_.Record(NthStroke(history_, i))) << i;
    }

    StrokeHistory history_;
    std::vector<std::uint8_t> original_;
};

TEST_F(StrokeHistoryTest, StartsWithTheImageInBothBitmapsAndNothingToUndo)
{
    EXPECT_EQ(original_, BytesOf(history_.Display()));
    EXPECT_EQ(original_, BytesOf(history_.Base()));
    EXPECT_NE(history_.Display(), history_.Base());
    EXPECT_EQ(0, history_.Modified());
    EXPECT_FALSE(history_.CanUndo());
    EXPECT_FALSE(history_.CanRedo());
    EXPECT_FALSE(history_.Undo());
    EXPECT_FALSE(history_.Redo());
    EXPECT_EQ(0, history_.Modified());
}

TEST_F(StrokeHistoryTest, SixteenthStrokeFoldsTheOldestIntoTheBase)
{
    RecordStrokes(0, 15);
    EXPECT_EQ(original_, BytesOf(history_.Base()));
    const PenPtr oldest = history_.UndoList().front();

    RecordStrokes(15, 1);
    EXPECT_EQ(15u, history_.UndoList().size());
    EXPECT_NE(oldest, history_.UndoList().front());
    EXPECT_EQ(16, history_.Modified());

    // The base is now the image with the oldest stroke.
    kesh::win::Bitmap expected;
    const kesh::win::Bitmap pattern = PatternImage();
    ASSERT_TRUE(CopyBitmap(pattern.get(), expected));
    oldest->Apply(expected.get());
    EXPECT_EQ(BytesOf(expected.get()), BytesOf(history_.Base()));
    EXPECT_NE(original_, BytesOf(history_.Base()));

    // Undo reaches back 15 strokes only, down to the base byte for byte.
    for (int i = 0; i < 15; ++i)
        ASSERT_TRUE(history_.Undo()) << i;
    EXPECT_FALSE(history_.Undo());
    EXPECT_EQ(BytesOf(history_.Base()), BytesOf(history_.Display()));
    EXPECT_EQ(15u, history_.RedoList().size());
    EXPECT_EQ(1, history_.Modified());
}

TEST_F(StrokeHistoryTest, NewStrokeAfterUndoEmptiesTheRedoList)
{
    RecordStrokes(0, 3);
    ASSERT_TRUE(history_.Undo());
    ASSERT_TRUE(history_.Undo());
    EXPECT_TRUE(history_.CanRedo());
    RecordStrokes(3, 1);
    EXPECT_FALSE(history_.CanRedo());
    EXPECT_FALSE(history_.Redo());
    EXPECT_EQ(2u, history_.UndoList().size());
    EXPECT_EQ(Replayed(history_), BytesOf(history_.Display()));
}

TEST_F(StrokeHistoryTest, CounterFollowsStrokesSaveUndoAndRedo)
{
    RecordStrokes(0, 2);
    EXPECT_EQ(2, history_.Modified());
    history_.SetModified(0);  // saved
    ASSERT_TRUE(history_.Undo());
    EXPECT_EQ(-1, history_.Modified());
    ASSERT_TRUE(history_.Redo());
    EXPECT_EQ(0, history_.Modified());
    ASSERT_TRUE(history_.Undo());
    ASSERT_TRUE(history_.Undo());
    EXPECT_EQ(-2, history_.Modified());
    EXPECT_FALSE(history_.Undo());
    EXPECT_EQ(-2, history_.Modified());
}

TEST_F(StrokeHistoryTest, PansEmptyHandlesAndStrokesWithoutPointsAreNotRecorded)
{
    const std::vector<POINT> pan = {{1, 1}, {30, 30}};
    EXPECT_FALSE(history_.Record(editor_test::TrackedStroke({0, 1, 1}, kPenHand, history_.Display(), pan)));
    EXPECT_FALSE(history_.Record(PenPtr()));
    EXPECT_FALSE(history_.Record(MakePen({0, 3, 1}, kPenPencil)));
    EXPECT_FALSE(history_.CanUndo());
    EXPECT_EQ(0, history_.Modified());
    EXPECT_EQ(original_, BytesOf(history_.Display()));
}

TEST_F(StrokeHistoryTest, NothingIsRecordedWithoutAnImage)
{
    StrokeHistory empty;
    EXPECT_FALSE(empty.Reset(kesh::win::Bitmap()));
    Dib scratch(10, 10);
    EXPECT_FALSE(empty.Record(editor_test::TrackedStroke({0, 3, 1}, kPenHighlighter, scratch.get(), {{2, 2}})));
    EXPECT_EQ(0, empty.Modified());
}

// Any mix of strokes, undos and redos keeps display = base + undo list,
// and undo + redo never exceed the limit.
TEST_F(StrokeHistoryTest, DisplayIsAlwaysTheBaseWithTheUndoListApplied)
{
    const char* steps = "RRRUURRRRRRRRRRRRRRRUUUUURRURUUUUUUUUUUUUUUUUUURRRRRRRRRRRRRRRRRRRRR";
    int next = 0;
    for (const char* s = steps; *s; ++s) {
        if (*s == 'R' && *(s + 1) == 'R' && history_.CanRedo() && next % 4 == 0)
            history_.Redo();
        else if (*s == 'R')
            ASSERT_TRUE(history_.Record(NthStroke(history_, next++)));
        else
            history_.Undo();
        ASSERT_LE(history_.UndoList().size() + history_.RedoList().size(), StrokeHistory::kMaxUndo);
        ASSERT_EQ(Replayed(history_), BytesOf(history_.Display())) << "step " << (s - steps);
    }
}

TEST_F(StrokeHistoryTest, UndoRebuildsIntoTheSameDisplayBitmap)
{
    RecordStrokes(0, 4);
    const HBITMAP display = history_.Display();
    ASSERT_TRUE(history_.Undo());
    ASSERT_TRUE(history_.Redo());
    ASSERT_TRUE(history_.Undo());
    EXPECT_EQ(display, history_.Display());
}

}  // namespace
