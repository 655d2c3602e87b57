#pragma once

#include "editor/core/pens/stroke_pen.h"

#include <memory>

namespace Gdiplus {
class GpPen;
}

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
    struct PenDeleter {
        void operator()(Gdiplus::GpPen* pen) const;
    };
    std::unique_ptr<Gdiplus::GpPen, PenDeleter> pen_;  // null when GDI+ could not make it
};

// GDI+ colour of a COLORREF, fully opaque: red and blue change places.
unsigned long OpaqueArgb(COLORREF colour);

}  // namespace impl
