#include "editor/impl/mosaic_pen2.h"

#include "editor/impl/brush_clip.h"

namespace impl {

MosaicPen2::MosaicPen2(const PenTriple& triple)
    : strength_(triple.strength > 0 ? triple.strength : 1), brushWidth_(triple.width)
{
}

void MosaicPen2::EnsureCache(HBITMAP source)
{
    if (cache_)
        return;
    const SIZE size = BitmapSize(source);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    MemoryDC sourceDC;
    Selection sourceSelected(sourceDC.get(), source);
    if (!sourceSelected.ok())
        return;
    const int cacheWidth = size.cx / (strength_ + 1) + 1;
    const int cacheHeight = size.cy / (strength_ + 1) + 1;
    Bitmap cache(CreateCompatibleBitmap(sourceDC.get(), cacheWidth, cacheHeight));
    if (!cache)
        return;
    {
        MemoryDC cacheDC(sourceDC.get());
        Selection cacheSelected(cacheDC.get(), cache.get());
        if (!cacheSelected.ok())
            return;
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, 0};
        AlphaBlend(cacheDC.get(), 0, 0, cacheWidth, cacheHeight, sourceDC.get(), 0, 0, size.cx, size.cy, blend);
    }
    cache_ = std::move(cache);
}

void MosaicPen2::StretchCache(HDC dc, SIZE size) const
{
    const SIZE cacheSize = BitmapSize(cache_.get());
    MemoryDC cacheDC(dc);
    Selection cacheSelected(cacheDC.get(), cache_.get());
    if (!cacheSelected.ok())
        return;
    StretchBlt(dc, 0, 0, size.cx, size.cy, cacheDC.get(), 0, 0, cacheSize.cx, cacheSize.cy, SRCCOPY);
}

void MosaicPen2::DrawSegment(HBITMAP display, HDC dc, POINT from, POINT to, const RECT& clip)
{
    if (!cache_)
        return;
    SavedDCState state(dc);
    IntersectClipRect(dc, 0, 0, 0, 0);
    SelectBrushClip(dc, brushWidth_, from, to);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    StretchCache(dc, BitmapSize(display));
}

void MosaicPen2::Apply(HBITMAP target)
{
    EnsureCache(target);
    const std::vector<POINT>& points = Points();
    if (!cache_ || points.empty())
        return;
    MemoryDC dc;
    Selection selected(dc.get(), target);
    if (!selected.ok())
        return;
    IntersectClipRect(dc.get(), 0, 0, 0, 0);
    if (points.size() == 1)
        SelectBrushClip(dc.get(), brushWidth_, points[0], points[0]);
    for (size_t i = 1; i < points.size(); ++i)
        SelectBrushClip(dc.get(), brushWidth_, points[i - 1], points[i]);
    StretchCache(dc.get(), BitmapSize(target));
}

}  // namespace impl
