#pragma once

#include "editor/core/pen_settings.h"
#include "kesh/base.h"

#include <boost/shared_ptr.hpp>
#include <windows.h>

// The tool kind of a stroke; the numbers are stable.
enum PenKind : int {
    kPenHand = 0,         // impl::Hand, pans the view
    kPenPencil = 1,       // impl::Pencil, anti-aliased line
    kPenHighlighter = 2,  // impl::NWPen
    kPenMosaic = 3,       // impl::MosaicPen2
};

// One stroke. The view makes it at a button-down, hands it every mouse
// point while the button is held, and at the button-up has it draw itself
// into the display bitmap. A recorded stroke keeps what it needs to draw
// itself again on another bitmap (after an undo, at a redo, into the base
// bitmap when it leaves the undo list) and is never changed after that.
class IPen : public IBase {
public:
    virtual PenKind GetKind() const = 0;

    // Called for every mouse point while the button is held, the first at
    // the button-down and the last at the button-up. dc draws on the screen
    // with its viewport origin on the image's top-left pixel, so point and
    // clip (0, 0, image width, image height) are in image pixels; point may
    // lie outside the image. display is the view's display bitmap, which
    // must not be selected into any DC. Only the newest piece is drawn.
    virtual void Track(HBITMAP display, HDC dc, POINT point, const RECT& clip) = 0;

    // Draws the whole stroke into target (image coordinates) through a
    // memory DC of the pen's own; target must not be selected into any DC.
    virtual void Apply(HBITMAP target) = 0;

    // True when applying the stroke changes the image: a stroke worth
    // recording.
    virtual bool HasContent() const = 0;

    // Called after each Apply to the display bitmap; lets a pen drop what it
    // derived from the bitmap as it was.
    virtual void AfterApply() {}
};

typedef boost::shared_ptr<IPen> PenPtr;

// A new stroke of the given kind with the given values; an empty handle for
// a kind outside 0 to 3.
PenPtr MakePen(const PenTriple& triple, PenKind kind);

// Sent by the hand to the window that owns its DC to pan the view: scroll
// by (int)wParam horizontally and (int)lParam vertically, as the scroll
// view's scroll-by with scrolling on. The hand updates the window itself.
const UINT kPanByMessage = WM_APP + 0x101;
