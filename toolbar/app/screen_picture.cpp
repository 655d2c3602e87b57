#include "toolbar/app/screen_picture.h"

#include <array>
#include <cstring>

namespace {

// The dimming: black laid over the picture at this constant alpha.
constexpr BYTE kDimAlpha = 128;

// What AlphaBlend makes of each channel value under black at kDimAlpha:
// one blend of a strip holding every value.
const std::array<BYTE, 256>& DimTable()
{
    static const std::array<BYTE, 256> table = [] {
        std::array<BYTE, 256> out = {};
        void* bits = nullptr;
        const kesh::win::Bitmap strip = TopDownSection(256, 1, &bits);
        DWORD* pixels = static_cast<DWORD*>(bits);
        for (DWORD v = 0; v < 256; ++v)
            pixels[v] = v * 0x010101;
        void* blackBits = nullptr;
        const kesh::win::Bitmap black = TopDownSection(1, 1, &blackBits);
        {
            kesh::win::MemoryDC target(nullptr);
            kesh::win::SelectObjectGuard selectTarget(target, strip);
            kesh::win::MemoryDC source(nullptr);
            kesh::win::SelectObjectGuard selectSource(source, black);
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, kDimAlpha, 0};
            AlphaBlend(target, 0, 0, 256, 1, source, 0, 0, 1, 1, blend);
        }
        GdiFlush();
        for (int v = 0; v < 256; ++v)
            out[v] = static_cast<BYTE>(pixels[v] & 0xFF);
        return out;
    }();
    return table;
}

// (v * 127 + 127) / 255 in a form without a division, which the compiler
// turns into vector instructions over a whole row of bytes (x / 255 is
// (x + 1 + (x >> 8)) >> 8 for every x below 65535).
inline BYTE HalfDark(unsigned v)
{
    const unsigned x = v * 127 + 127;
    return static_cast<BYTE>((x + 1 + (x >> 8)) >> 8);
}

}  // namespace

kesh::win::Bitmap TopDownSection(int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    kesh::win::Bitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits)
        *bits = pixels;
    return section;
}

kesh::win::Bitmap SnapshotScreen(int width, int height, void** bits)
{
    kesh::win::Bitmap snapshot = TopDownSection(width, height, bits);
    kesh::win::WindowDC screen(GetDesktopWindow());
    kesh::win::MemoryDC target(screen);
    kesh::win::SelectObjectGuard select(target, snapshot);
    BitBlt(target, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    return snapshot;
}

kesh::win::Bitmap DimmedCopy(const void* bits, int width, int height)
{
    void* outBits = nullptr;
    kesh::win::Bitmap dimmed = TopDownSection(width, height, &outBits);
    if (!bits || !outBits)
        return dimmed;
    const std::array<BYTE, 256>& table = DimTable();
    const BYTE* from = static_cast<const BYTE*>(bits);
    BYTE* to = static_cast<BYTE*>(outBits);
    const size_t count = static_cast<size_t>(width) * height * 4;
    // The system blends as the rounded fraction (Wine does): the same
    // values, many bytes at a time. Any other rounding: byte by byte.
    static const bool rounded = [&table] {
        for (unsigned v = 0; v < 256; ++v)
            if (HalfDark(v) != table[v])
                return false;
        return true;
    }();
    if (rounded) {
        for (size_t i = 0; i < count; ++i)
            to[i] = HalfDark(from[i]);
    } else {
        for (size_t i = 0; i < count; ++i)
            to[i] = table[from[i]];
    }
    return dimmed;
}

kesh::win::Bitmap CopyPart(HDC reference, HBITMAP source, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    kesh::win::Bitmap copy(CreateCompatibleBitmap(reference, width, height));
    kesh::win::MemoryDC target(reference);
    kesh::win::SelectObjectGuard selectTarget(target, copy);
    kesh::win::MemoryDC from(reference);
    kesh::win::SelectObjectGuard selectSource(from, source);
    BitBlt(target, 0, 0, width, height, from, rect.left, rect.top, SRCCOPY);
    return copy;
}

void BlitFrom(HDC dc, HBITMAP bitmap, const RECT& rect)
{
    kesh::win::MemoryDC from(dc);
    kesh::win::SelectObjectGuard select(from, bitmap);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, from, rect.left, rect.top,
           SRCCOPY);
}
