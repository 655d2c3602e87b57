#include "editor_pen_support.h"

#include "common/dib_section.h"
#include "kesh/handles.h"

#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

namespace editor_test {

namespace {

// Pencils draw with GDI+, which must be started before the first pen.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token_, &input, nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

::testing::Environment* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

Dib::Dib(int width, int height, std::uint32_t fill) : width_(width), height_(height)
{
    void* bits = nullptr;
    bitmap_ = TopDownSection(width, height, &bits);
    bits_ = static_cast<std::uint32_t*>(bits);
    if (bits_)
        for (int i = 0; i < width * height; ++i)
            bits_[i] = fill;
}

std::uint32_t Dib::at(int x, int y) const
{
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
}

void Dib::set(int x, int y, std::uint32_t pixel)
{
    GdiFlush();
    bits_[y * width_ + x] = pixel;
}

std::uint32_t PixelOf(HBITMAP dib, int x, int y)
{
    const std::vector<std::uint8_t> bytes = BytesOf(dib);
    const int width = BitmapSize(dib).cx;
    std::uint32_t pixel;
    std::memcpy(&pixel, bytes.data() + 4 * (static_cast<size_t>(y) * width + x), 4);
    return pixel & 0xFFFFFF;
}

std::vector<std::uint8_t> BytesOf(HBITMAP bitmap)
{
    // Through GetDIBits: the row order of a DIB section cannot be read back.
    const SIZE size = BitmapSize(bitmap);
    BITMAPINFO info = DibInfo(size.cx, size.cy, RowOrder::TopDown);
    std::vector<std::uint8_t> bytes(4 * static_cast<size_t>(size.cx) * size.cy);
    const kesh::win::ClientDC screen(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, size.cy, bytes.data(), &info, DIB_RGB_COLORS);
    EXPECT_EQ(size.cy, rows);
    return bytes;
}

Screen::Screen(int width, int height, POINT origin, std::uint32_t fill)
    : dib_(width, height, fill), selected_(dc_, dib_.get()), origin_(origin)
{
    SetViewportOrgEx(dc_, origin.x, origin.y, nullptr);
}

PenPtr TrackedStroke(const PenTriple& triple, PenKind kind, HBITMAP display, const std::vector<POINT>& points)
{
    const SIZE size = BitmapSize(display);
    Screen screen(size.cx + 40, size.cy + 40, POINT{20, 20});
    const RECT clip = {0, 0, size.cx, size.cy};
    PenPtr pen = MakePen(triple, kind);
    for (const POINT& p : points)
        pen->Track(display, screen.dc(), p, clip);
    return pen;
}

}  // namespace editor_test
