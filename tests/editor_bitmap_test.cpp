#include "editor/core/bitmap.h"

#include "editor_pen_support.h"

#include <gtest/gtest.h>

using editor_test::Dib;

namespace {

TEST(CopyBitmapTest, MakesADibSectionOfTheSameSizeAndReplacesATargetOfAnotherSize)
{
    Dib source(30, 20, 0x123456);
    source.set(29, 19, 0xABCDEF);
    kesh::win::Bitmap target;
    ASSERT_TRUE(CopyBitmap(source.get(), target));
    DIBSECTION section = {};
    ASSERT_EQ(static_cast<int>(sizeof(section)), GetObjectW(target.get(), sizeof(section), &section));
    EXPECT_EQ(30, section.dsBm.bmWidth);
    EXPECT_EQ(20, section.dsBm.bmHeight);
    EXPECT_EQ(0xABCDEFu, editor_test::PixelOf(target.get(), 29, 19));
    EXPECT_EQ(0x123456u, editor_test::PixelOf(target.get(), 0, 0));

    Dib other(8, 8);
    kesh::win::Bitmap small = other.release();
    ASSERT_TRUE(CopyBitmap(source.get(), small));
    EXPECT_EQ(30, BitmapSize(small.get()).cx);
    EXPECT_EQ(0xABCDEFu, editor_test::PixelOf(small.get(), 29, 19));
}

TEST(CopyBitmapTest, FailsWithoutTouchingTheTargetForNoSource)
{
    Dib kept(4, 4, 0x010203);
    kesh::win::Bitmap target = kept.release();
    const HBITMAP before = target.get();
    EXPECT_FALSE(CopyBitmap(nullptr, target));
    EXPECT_EQ(before, target.get());
}

}  // namespace
