#pragma once

#include "editor/core/bitmap.h"
#include "editor/core/pen.h"

#include <cstdint>
#include <vector>

namespace editor_test {

// A 32-bit top-down DIB section; pixels are 0x00RRGGBB.
class Dib {
public:
    Dib(int width, int height, std::uint32_t fill = 0xFFFFFF);

    HBITMAP get() const { return bitmap_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t at(int x, int y) const;
    void set(int x, int y, std::uint32_t pixel);
    // Hands the bitmap over; this Dib must not be used afterwards.
    kesh::win::Bitmap release() { return std::move(bitmap_); }

private:
    kesh::win::Bitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
    int width_;
    int height_;
};

// Pixel (x, y) of a 32-bit DIB section in 0x00RRGGBB.
std::uint32_t PixelOf(HBITMAP dib, int x, int y);
// Every pixel of a bitmap as top-down 32-bit rows.
std::vector<std::uint8_t> BytesOf(HBITMAP dib);

// 0x00RRGGBB of a COLORREF.
inline std::uint32_t DibColour(COLORREF c)
{
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
}

// A stand-in for the view's client DC: a memory DC holding a DIB whose
// viewport origin puts logical (0, 0) at origin.
class Screen {
public:
    Screen(int width, int height, POINT origin, std::uint32_t fill = 0xFFFFFF);
    HDC dc() const { return dc_; }
    Dib& pixels() { return dib_; }
    // Pixel under logical (x, y).
    std::uint32_t atLogical(int x, int y) const { return dib_.at(x + origin_.x, y + origin_.y); }

private:
    Dib dib_;
    kesh::win::MemoryDC dc_;
    kesh::win::SelectObjectGuard selected_;
    POINT origin_;
};

// A stroke of the given kind tracked along points on a throw-away screen.
PenPtr TrackedStroke(const PenTriple& triple, PenKind kind, HBITMAP display, const std::vector<POINT>& points);

}  // namespace editor_test
