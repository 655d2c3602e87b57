#include "editor/core/pen.h"

#include "editor/core/pens/hand.h"
#include "editor/core/pens/mosaic_pen2.h"
#include "editor/core/pens/nw_pen.h"
#include "editor/core/pens/pencil.h"

#include <boost/make_shared.hpp>

PenPtr MakePen(const PenTriple& triple, PenKind kind)
{
    switch (kind) {
    case kPenHand: return boost::make_shared<impl::Hand>();
    case kPenPencil: return boost::make_shared<impl::Pencil>(triple);
    case kPenHighlighter: return boost::make_shared<impl::NWPen>(triple);
    case kPenMosaic: return boost::make_shared<impl::MosaicPen2>(triple);
    }
    return PenPtr();
}
