#include "editor/core/pens/hand.h"

namespace impl {

void Hand::Track(HBITMAP, HDC dc, POINT point, const RECT&)
{
    POINT origin = {0, 0};
    GetViewportOrgEx(dc, &origin);
    const POINT client = {point.x + origin.x, point.y + origin.y};
    if (started_ && (client.x != last_.x || client.y != last_.y)) {
        if (HWND window = WindowFromDC(dc)) {
            SendMessageW(window, kPanByMessage, static_cast<WPARAM>(static_cast<INT_PTR>(last_.x - client.x)),
                         static_cast<LPARAM>(last_.y - client.y));
            UpdateWindow(window);
        }
    }
    started_ = true;
    last_ = client;
}

}  // namespace impl
