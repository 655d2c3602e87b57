#include "toolbar/app/od_button.h"

#include <windowsx.h>

namespace {
// Looks every 50 ms whether the mouse has left: a button gets no message
// when the mouse moves off it onto another window.
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverCheckMs = 50;
}  // namespace

const ui::MessageMap* CODButton::GetMessageMap() const
{
    static const ui::MessageMap map(nullptr, {
        ui::OnMessage(WM_MOUSEMOVE, &CODButton::OnMouseMove),
        ui::OnMessage(WM_TIMER, &CODButton::OnTimer),
        ui::OnMessage(WM_LBUTTONDBLCLK, &CODButton::OnLButtonDblClk),
        ui::OnMessage(WM_LBUTTONDOWN, &CODButton::OnLButton),
        ui::OnMessage(WM_LBUTTONUP, &CODButton::OnLButton),
    });
    return &map;
}

void CODButton::UpdateState()
{
    State now = Normal;
    if (GetState() & BST_PUSHED)
        now = Pressed;
    else if (hover_)
        now = Hover;
    if (now == state_)
        return;
    state_ = now;
    ::SendMessageW(GetParent(), WM_ODBUTTON_STATE, now, reinterpret_cast<LPARAM>(handle()));
}

LRESULT CODButton::OnMouseMove(WPARAM, LPARAM l)
{
    POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (!hover_) {
        ClientToScreen(handle(), &point);
        const RECT rect = GetWindowRect();
        if (PtInRect(&rect, point)) {
            hover_ = true;
            SetTimer(handle(), kHoverTimer, kHoverCheckMs, nullptr);
        }
    }
    const LRESULT result = CallDefault();
    UpdateState();
    return result;
}

LRESULT CODButton::OnTimer(WPARAM w, LPARAM)
{
    const UINT_PTR id = w;
    if (id == kHoverTimer) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        const RECT rect = GetWindowRect();
        if (!PtInRect(&rect, cursor) && GetCapture() != handle()) {
            hover_ = false;
            KillTimer(handle(), kHoverTimer);
            UpdateState();
        }
    }
    return CallDefault();
}

LRESULT CODButton::OnLButtonDblClk(WPARAM w, LPARAM l)
{
    // A quick second click presses the button again instead of being lost.
    SendMessage(WM_LBUTTONDOWN, w, l);
    return CallDefault();
}

LRESULT CODButton::OnLButton(WPARAM, LPARAM)
{
    const LRESULT result = CallDefault();
    UpdateState();
    return result;
}
