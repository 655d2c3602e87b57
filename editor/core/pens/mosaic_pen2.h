#pragma once

#include "kesh/handles.h"
#include "editor/core/pens/stroke_pen.h"

namespace impl {

// Pixelates the area swept by a square brush: a reduced copy of the image
// (the cache) is stretched back over the whole image through the swept
// region, so the block grid starts at the image's top-left corner and is
// the same for every stroke of one strength.
class MosaicPen2 : public StrokePen {
public:
    explicit MosaicPen2(const PenTriple& triple);

    PenKind GetKind() const override { return kPenMosaic; }
    // The cache is taken from the bitmap as it is: left from the tracking it
    // is used unchanged, missing it is made from target.
    void Apply(HBITMAP target) override;
    // Drops the cache, so that a replay after an undo or a redo takes it
    // from what then lies under the stroke.
    void AfterApply() override { cache_.reset(); }

    // Builds the cache from source when there is none: source reduced to
    // (W / (s + 1) + 1) x (H / (s + 1) + 1) pixels.
    void EnsureCache(HBITMAP source);
    bool HasCache() const { return cache_.isValid(); }

protected:
    void BeforeTrack(HBITMAP display) override { EnsureCache(display); }
    void DrawSegment(HBITMAP display, HDC dc, POINT from, POINT to, const RECT& clip) override;

private:
    // Stretches the whole cache over (0, 0, size) of dc through its clip.
    void StretchCache(HDC dc, SIZE size) const;

    int strength_;
    int brushWidth_;
    kesh::win::Bitmap cache_;
};

}  // namespace impl
