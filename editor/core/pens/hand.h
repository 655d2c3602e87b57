#pragma once

#include "editor/core/pen.h"

namespace impl {

// Pans the view: the image follows the cursor. Never has content.
class Hand : public IPen {
public:
    PenKind GetKind() const override { return kPenHand; }
    // Measures in client coordinates (the point plus dc's viewport origin),
    // so the pan does not depend on the scroll position. From the second
    // call on, a moved point asks the window owning dc to scroll by the
    // opposite of the move (kPanByMessage) and updates it at once.
    void Track(HBITMAP display, HDC dc, POINT point, const RECT& clip) override;
    void Apply(HBITMAP) override {}
    bool HasContent() const override { return false; }

private:
    bool started_ = false;
    POINT last_ = {0, 0};
};

}  // namespace impl
