#include "editor/core/pens/mosaic_pen2.h"

#include "editor/core/bitmap.h"
#include "editor/core/pens/brush_clip.h"

namespace impl {

MosaicPen2::MosaicPen2(const PenTriple& triple)
    : strength_(triple.strength > 0 ? triple.strength : 1), brushWidth_(triple.width)
{
}

void MosaicPen2::EnsureCache(HBITMAP source)
{
    if (cache_.isValid())
        return;
    const SIZE size = BitmapSize(source);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    kesh::win::MemoryDC sourceDC;
    kesh::win::SelectObjectGuard sourceSelected(sourceDC, source);
    if (!Holds(sourceDC, source))
        return;
    const int cacheWidth = size.cx / (strength_ + 1) + 1;
    const int cacheHeight = size.cy / (strength_ + 1) + 1;
    kesh::win::Bitmap cache(CreateCompatibleBitmap(sourceDC, cacheWidth, cacheHeight));
    if (!cache.isValid())
        return;
    {
        kesh::win::MemoryDC cacheDC(static_cast<HDC>(sourceDC));
        kesh::win::SelectObjectGuard cacheSelected(cacheDC, cache);
        if (!Holds(cacheDC, cache))
            return;
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, 0};
        AlphaBlend(cacheDC, 0, 0, cacheWidth, cacheHeight, sourceDC, 0, 0, size.cx, size.cy, blend);
    }
    cache_ = std::move(cache);
}

void MosaicPen2::StretchCache(HDC dc, SIZE size) const
{
    const SIZE cacheSize = BitmapSize(cache_.get());
    kesh::win::MemoryDC cacheDC(dc);
    kesh::win::SelectObjectGuard cacheSelected(cacheDC, cache_);
    if (!Holds(cacheDC, cache_))
        return;
    StretchBlt(dc, 0, 0, size.cx, size.cy, cacheDC, 0, 0, cacheSize.cx, cacheSize.cy, SRCCOPY);
}

void MosaicPen2::DrawSegment(HBITMAP display, HDC dc, POINT from, POINT to, const RECT& clip)
{
    if (!cache_.isValid())
        return;
    kesh::win::SaveDCGuard state(dc);
    IntersectClipRect(dc, 0, 0, 0, 0);
    SelectBrushClip(dc, brushWidth_, from, to);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    StretchCache(dc, BitmapSize(display));
}

void MosaicPen2::Apply(HBITMAP target)
{
    EnsureCache(target);
    const std::vector<POINT>& points = Points();
    if (!cache_.isValid() || points.empty())
        return;
    kesh::win::MemoryDC dc;
    kesh::win::SelectObjectGuard selected(dc, target);
    if (!Holds(dc, target))
        return;
    IntersectClipRect(dc, 0, 0, 0, 0);
    if (points.size() == 1)
        SelectBrushClip(dc, brushWidth_, points[0], points[0]);
    for (size_t i = 1; i < points.size(); ++i)
        SelectBrushClip(dc, brushWidth_, points[i - 1], points[i]);
    StretchCache(dc, BitmapSize(target));
}

}  // namespace impl
