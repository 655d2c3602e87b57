// The overlay's two pictures, the dimming shared out among threads, against
// what the system gives for the same screen: one copy of it, and black laid
// over that copy by AlphaBlend at alpha 128.
#include "common/dib_section.h"
#include "tests/toolbar_program_support.h"
#include "toolbar/app/screen_picture.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace toolbartest;

namespace {

// Every byte value in every channel, different on every row.
DWORD Noise(int x, int y)
{
    return (static_cast<DWORD>(x) * 2654435761u ^ static_cast<DWORD>(y) * 40503u * 97u) >> 7 & 0xFFFFFF;
}

const DWORD* Pixels(HBITMAP bitmap)
{
    DIBSECTION section = {};
    return GetObjectW(bitmap, sizeof(section), &section) == sizeof(section)
               ? static_cast<const DWORD*>(section.dsBm.bmBits)
               : nullptr;
}

// The screen's top-left width x height as one copy, and that copy dimmed by
// the system's blend.
void SystemPictures(int width, int height, kesh::win::Bitmap* snapshot, kesh::win::Bitmap* dimmed)
{
    void* bits = nullptr;
    *snapshot = TopDownSection(width, height, &bits);
    void* dimmedBits = nullptr;
    *dimmed = TopDownSection(width, height, &dimmedBits);
    ASSERT_TRUE(bits && dimmedBits);
    {
        kesh::win::WindowDC screen(GetDesktopWindow());
        kesh::win::MemoryDC target(screen);
        kesh::win::SelectObjectGuard select(target, *snapshot);
        BitBlt(target, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    }
    GdiFlush();
    std::memcpy(dimmedBits, bits, static_cast<size_t>(width) * height * 4);
    void* blackBits = nullptr;
    const kesh::win::Bitmap black = TopDownSection(1, 1, &blackBits);
    {
        kesh::win::MemoryDC target(nullptr);
        kesh::win::SelectObjectGuard selectTarget(target, *dimmed);
        kesh::win::MemoryDC source(nullptr);
        kesh::win::SelectObjectGuard selectSource(source, black);
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 128, 0};
        AlphaBlend(target, 0, 0, width, height, source, 0, 0, 1, 1, blend);
    }
    GdiFlush();
}

TEST(ScreenPictureTest, TheThreadsMakeOneCopyOfTheScreenAndTheSystemsDimmingOfIt)
{
    Backdrop backdrop(Noise);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    // One pixel; parts of unequal size; the whole screen.
    const SIZE sizes[] = {{1, 1}, {width - 3, 65}, {333, height - 1}, {width, height}};
    for (const SIZE& size : sizes) {
        const ScreenPictures pictures = SnapshotDimmed(size.cx, size.cy);
        kesh::win::Bitmap snapshot, dimmed;
        SystemPictures(size.cx, size.cy, &snapshot, &dimmed);
        const DWORD* got = Pixels(pictures.snapshot);
        const DWORD* gotDimmed = Pixels(pictures.dimmed);
        const DWORD* want = Pixels(snapshot);
        const DWORD* wantDimmed = Pixels(dimmed);
        ASSERT_TRUE(got && gotDimmed && want && wantDimmed) << size.cx << "x" << size.cy;
        int wrong = 0, wrongDimmed = 0;
        for (size_t i = 0; i < static_cast<size_t>(size.cx) * size.cy; ++i) {
            wrong += got[i] != want[i];
            wrongDimmed += (gotDimmed[i] & 0xFFFFFF) != (wantDimmed[i] & 0xFFFFFF);
        }
        EXPECT_EQ(0, wrong) << size.cx << "x" << size.cy;
        EXPECT_EQ(0, wrongDimmed) << size.cx << "x" << size.cy;
    }
}

}  // namespace
