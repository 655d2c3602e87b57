#include "editor/core/bitmap.h"

#include <utility>

namespace {

struct Format {
    SIZE size;
    WORD bitsPerPixel;
    DWORD compression;
    DWORD masks[3];
    bool dibSection;
};

bool readFormat(HBITMAP bitmap, Format& format)
{
    DIBSECTION section = {};
    const int got = bitmap ? GetObjectW(bitmap, sizeof(section), &section) : 0;
    if (got != sizeof(section) && got != sizeof(BITMAP))
        return false;
    format.size = SIZE{section.dsBm.bmWidth, section.dsBm.bmHeight};
    format.bitsPerPixel = static_cast<WORD>(section.dsBm.bmBitsPixel * section.dsBm.bmPlanes);
    format.dibSection = got == sizeof(section);
    format.compression = format.dibSection ? section.dsBmih.biCompression : 0;
    for (int i = 0; i < 3; ++i)
        format.masks[i] = format.dibSection ? section.dsBitfields[i] : 0;
    return true;
}

// Same size and pixel layout. The row order of a DIB section cannot be read
// back, so pixels always move with BitBlt, which copies rows of one format
// at memory speed whatever their order.
bool sameFormat(const Format& a, const Format& b)
{
    return a.size.cx == b.size.cx && a.size.cy == b.size.cy && a.bitsPerPixel == b.bitsPerPixel &&
           a.compression == b.compression && a.masks[0] == b.masks[0] && a.masks[1] == b.masks[1] &&
           a.masks[2] == b.masks[2] && a.dibSection == b.dibSection && a.bitsPerPixel > 8;
}

bool blit(HBITMAP source, HBITMAP target, SIZE size)
{
    kesh::win::MemoryDC sourceDC;
    kesh::win::SelectObjectGuard sourceSelected(sourceDC, source);
    kesh::win::MemoryDC targetDC(static_cast<HDC>(sourceDC));
    kesh::win::SelectObjectGuard targetSelected(targetDC, target);
    if (!Holds(sourceDC, source) || !Holds(targetDC, target))
        return false;
    return BitBlt(targetDC, 0, 0, size.cx, size.cy, sourceDC, 0, 0, SRCCOPY) != FALSE;
}

kesh::win::Bitmap compatibleWith(HBITMAP source, SIZE size)
{
    kesh::win::MemoryDC reference;
    kesh::win::SelectObjectGuard selected(reference, source);
    if (!Holds(reference, source))
        return kesh::win::Bitmap();
    return kesh::win::Bitmap(CreateCompatibleBitmap(reference, size.cx, size.cy));
}

}  // namespace

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

bool Holds(HDC dc, HBITMAP bitmap)
{
    return dc && bitmap && GetCurrentObject(dc, OBJ_BITMAP) == bitmap;
}

bool CopyBitmap(HBITMAP source, kesh::win::Bitmap& target)
{
    Format from = {}, to = {};
    if (!readFormat(source, from) || from.size.cx <= 0 || from.size.cy <= 0)
        return false;
    if (target.isValid() && readFormat(target.get(), to) && sameFormat(from, to))
        return blit(source, target.get(), from.size);

    kesh::win::Bitmap copy = compatibleWith(source, from.size);
    if (!copy.isValid() || !blit(source, copy.get(), from.size))
        return false;
    target = std::move(copy);
    return true;
}
