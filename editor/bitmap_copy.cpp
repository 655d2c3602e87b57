#include "editor/bitmap_copy.h"

#include <cstring>
#include <utility>

namespace {

bool readSection(HBITMAP bitmap, DIBSECTION& section)
{
    return bitmap && GetObjectW(bitmap, sizeof(section), &section) == sizeof(section) && section.dsBm.bmBits;
}

// Both DIB sections with the same header, masks and row layout: the pixels
// can move as one block of memory.
bool sameLayout(const DIBSECTION& a, const DIBSECTION& b)
{
    const BITMAPINFOHEADER& ha = a.dsBmih;
    const BITMAPINFOHEADER& hb = b.dsBmih;
    return ha.biWidth == hb.biWidth && ha.biHeight == hb.biHeight && ha.biBitCount == hb.biBitCount &&
           ha.biPlanes == hb.biPlanes && ha.biCompression == hb.biCompression &&
           a.dsBm.bmWidthBytes == b.dsBm.bmWidthBytes && a.dsBitfields[0] == b.dsBitfields[0] &&
           a.dsBitfields[1] == b.dsBitfields[1] && a.dsBitfields[2] == b.dsBitfields[2] &&
           ha.biBitCount > 8;  // colour tables are not compared: leave those to BitBlt
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

}  // namespace

bool CopyBitmap(HBITMAP source, impl::Bitmap& target)
{
    const SIZE size = impl::BitmapSize(source);
    if (size.cx <= 0 || size.cy <= 0)
        return false;

    DIBSECTION from = {}, to = {};
    if (target && readSection(source, from) && readSection(target.get(), to) && sameLayout(from, to)) {
        GdiFlush();
        std::memcpy(to.dsBm.bmBits, from.dsBm.bmBits,
                    static_cast<size_t>(from.dsBm.bmWidthBytes) * static_cast<size_t>(from.dsBm.bmHeight));
        return true;
    }

    impl::Bitmap copy;
    {
        impl::MemoryDC reference;
        impl::Selection selected(reference.get(), source);
        if (!selected.ok())
            return false;
        copy.reset(CreateCompatibleBitmap(reference.get(), size.cx, size.cy));
    }
    if (!copy || !blit(source, copy.get(), size))
        return false;
    target = std::move(copy);
    return true;
}
