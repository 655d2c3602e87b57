#pragma once

#include "kesh/handles.h"
#include "editor/core/pens/stroke_pen.h"

namespace impl {

// The highlighter: every covered pixel becomes pixel AND NOT (the pen's
// value), that is pixel AND (the colour shown), since the value is stored
// as the complement. Drawing twice over a place changes nothing more.
class NWPen : public StrokePen {
public:
    explicit NWPen(const PenTriple& triple);

    PenKind GetKind() const override { return kPenHighlighter; }
    void Apply(HBITMAP target) override;

protected:
    void DrawSegment(HBITMAP display, HDC dc, POINT from, POINT to, const RECT& clip) override;

private:
    kesh::win::GdiPen pen_;
};

}  // namespace impl
