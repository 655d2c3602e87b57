#include "editor/bitmap_copy.h"

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
    impl::MemoryDC sourceDC;
    impl::Selection sourceSelected(sourceDC.get(), source);
    impl::MemoryDC targetDC(sourceDC.get());
    impl::Selection targetSelected(targetDC.get(), target);
    if (!sourceSelected.ok() || !targetSelected.ok())
        return false;
    return BitBlt(targetDC.get(), 0, 0, size.cx, size.cy, sourceDC.get(), 0, 0, SRCCOPY) != FALSE;
}

impl::Bitmap compatibleWith(HBITMAP source, SIZE size)
{
    impl::MemoryDC reference;
    impl::Selection selected(reference.get(), source);
    if (!selected.ok())
        return impl::Bitmap();
    return impl::Bitmap(CreateCompatibleBitmap(reference.get(), size.cx, size.cy));
}

}  // namespace

bool CopyBitmap(HBITMAP source, impl::Bitmap& target)
{
    Format from = {}, to = {};
    if (!readFormat(source, from) || from.size.cx <= 0 || from.size.cy <= 0)
        return false;
    if (target && readFormat(target.get(), to) && sameFormat(from, to))
        return blit(source, target.get(), from.size);

    impl::Bitmap copy = compatibleWith(source, from.size);
    if (!copy || !blit(source, copy.get(), from.size))
        return false;
    target = std::move(copy);
    return true;
}
