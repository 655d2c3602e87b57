#pragma once

#include "common/gdiplus_handles.h"
#include "editor/core/pens/stroke_pen.h"

namespace impl {

// An anti-aliased opaque line with round caps and joins: straight segments
// on the screen while drawing, one smooth curve through all points when
// applied, a round dot for a single point. Needs GDI+ started.
class Pencil : public StrokePen {
public:
    explicit Pencil(const PenTriple& triple);
    ~Pencil() override;

    PenKind GetKind() const override { return kPenPencil; }
    void Apply(HBITMAP target) override;

protected:
    void DrawSegment(HBITMAP display, HDC dc, POINT from, POINT to, const RECT& clip) override;

private:
    GpPenHandle pen_;  // empty when GDI+ could not make it
};

// GDI+ colour of a COLORREF, fully opaque: red and blue change places.
unsigned long OpaqueArgb(COLORREF colour);

}  // namespace impl
