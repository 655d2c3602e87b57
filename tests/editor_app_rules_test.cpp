// The editor program's window-free rules: where the frame goes and the
// About box's version text.
#include "editor/app/frame_placement.h"
#include "common/version_info.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A frame of 600 x 500 whose view starts 80 pixels below its top (caption,
// menu and toolbar) and 8 pixels in from each side: 16 pixels of
// decorations across, 88 down.
const RECT kFrame = {0, 0, 600, 500};
const RECT kView = {8, 80, 592, 492};
const RECT kScreen = {0, 0, 1280, 1024};

TEST(FramePlacementTest, SizesAndPlacesTheFrameOverTheImage)
{
    struct Case {
        const char* what;
        RECT workArea;
        SIZE image;
        long x, y;
        FramePlacement expected;
    };
    const Case cases[] = {
        {"image plus decorations plus 40, image at (100, 200)", kScreen, {600, 400}, 100, 200,
         {72, 100, 656, 528, false}},
        {"small image: 400 x 400 at least", kScreen, {200, 100}, 100, 200, {0, 14, 400, 400, false}},
        {"a 10 x 10 image", kScreen, {10, 10}, 300, 300, {105, 69, 400, 400, false}},
        {"larger than the work area: its size, at its top-left", kScreen, {2000, 1500}, 100, 200,
         {0, 0, 1280, 1024, false}},
        {"exactly the work area's width is the work area's", kScreen, {1280 - 56, 100}, 0, 0,
         {0, 0, 1280, 400, false}},
        {"off the right and bottom edges: shifted back", kScreen, {600, 400}, 1000, 900,
         {624, 496, 656, 528, false}},
        {"off the left and top edges: shifted back", kScreen, {600, 400}, 0, 0, {0, 0, 656, 528, false}},
        {"a work area that does not start at 0", {100, 50, 1380, 1074}, {600, 400}, 100, 100,
         {100, 50, 656, 528, false}},
        {"a work area smaller than 400: the right and bottom edges win", {0, 0, 300, 200}, {50, 50}, 0, 0,
         {-100, -200, 400, 400, false}},
        {"x of -1 centres", kScreen, {600, 400}, -1, 200, {0, 100, 656, 528, true}},
        {"y of -1 centres", kScreen, {600, 400}, 100, -1, {72, 0, 656, 528, true}},
        {"the largest x and y stay inside", kScreen, {600, 400}, LONG_MAX, LONG_MAX,
         {1280 - 656, 1024 - 528, 656, 528, false}},
        {"the smallest x and y stay inside and centre", kScreen, {600, 400}, LONG_MIN, LONG_MIN,
         {0, 0, 656, 528, true}},
    };
    for (const Case& c : cases) {
        const FramePlacement p = PlaceFrameOverImage(FrameGeometry{kFrame, kView, c.workArea, c.image}, c.x, c.y);
        EXPECT_EQ(c.expected.left, p.left) << c.what;
        EXPECT_EQ(c.expected.top, p.top) << c.what;
        EXPECT_EQ(c.expected.width, p.width) << c.what;
        EXPECT_EQ(c.expected.height, p.height) << c.what;
        EXPECT_EQ(c.expected.centre, p.centre) << c.what;
    }
}

TEST(FramePlacementTest, HalvesTruncateTowardZero)
{
    // A 201 x 101 image in a 400 x 400 frame: (400 - 201) / 2 is 99 and
    // (400 - 88 - 101) / 2 is 105.
    const FramePlacement odd = PlaceFrameOverImage(FrameGeometry{kFrame, kView, kScreen, {201, 101}}, 300, 300);
    EXPECT_EQ(300 - 99, odd.left);
    EXPECT_EQ(300 - 105 - 80, odd.top);
}

VS_FIXEDFILEINFO ProductVersion(WORD a, WORD b, WORD c, WORD d)
{
    VS_FIXEDFILEINFO info = {};
    info.dwProductVersionMS = MAKELONG(b, a);
    info.dwProductVersionLS = MAKELONG(d, c);
    info.dwFileVersionMS = 0x00630063;  // never shown
    return info;
}

TEST(VersionTextTest, ShowsEachProductVersionPartAsAFullSixteenBitNumber)
{
    const std::wstring format = L"版本%d.%d.%d.%d";
    EXPECT_EQ(L"版本0.9.1.2", ProductVersionText(format, ProductVersion(0, 9, 1, 2)));
    EXPECT_EQ(L"版本1.0.300.2", ProductVersionText(format, ProductVersion(1, 0, 300, 2)));
    EXPECT_EQ(L"版本65535.256.4096.65535", ProductVersionText(format, ProductVersion(65535, 256, 4096, 65535)));
    EXPECT_EQ(L"版本0.0.0.0", ProductVersionText(format, VS_FIXEDFILEINFO{}));
}

TEST(VersionTextTest, ReadsTheVersionBlockOfAFile)
{
    // A module built with product version 1.0.300.2.
    VS_FIXEDFILEINFO probe = {};
    ASSERT_TRUE(ReadFileVersion(editorapptest::BesideTestProgram("editor_version_probe.dll"), probe));
    EXPECT_EQ(L"版本1.0.300.2", ProductVersionText(L"版本%d.%d.%d.%d", probe));

    // The test program carries the editor's own resources.
    VS_FIXEDFILEINFO own = {};
    ASSERT_TRUE(ReadOwnFileVersion(own));
    EXPECT_EQ(L"版本0.9.1.2", ProductVersionText(L"版本%d.%d.%d.%d", own));
}

TEST(VersionTextTest, AFileWithoutVersionBlockLeavesTheRecordUntouched)
{
    editortest::TempFolder folder;
    const kesh::String plain = folder.path("plain.txt");
    editorapptest::WriteFileBytes(plain, "no version here");
    VS_FIXEDFILEINFO info = ProductVersion(7, 7, 7, 7);
    EXPECT_FALSE(ReadFileVersion(plain, info));
    EXPECT_FALSE(ReadFileVersion(folder.path("missing.exe"), info));
    EXPECT_EQ(L"版本7.7.7.7", ProductVersionText(L"版本%d.%d.%d.%d", info));
}

}  // namespace
