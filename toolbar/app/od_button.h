#pragma once

#include "ui/controls.h"

// Sent by a CODButton to its parent when its look changes: wParam the new
// visual state (CODButton::State), lParam the button's window.
constexpr UINT WM_ODBUTTON_STATE = WM_APP + 123;

// A push button that draws nothing itself: it tells its parent whether the
// mouse is over it or presses it, and the parent draws its look (the
// toolbar, a layered window whose children are never painted).
class CODButton : public ui::CButton {
public:
    enum State : unsigned char { Normal = 0, Hover = 1, Pressed = 2 };

    State state() const { return state_; }

    void DrawItem(DRAWITEMSTRUCT*) override {}

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    // Pressed while the button reports BST_PUSHED, else Hover while the
    // mouse is over it, else Normal; the parent hears of every change.
    void UpdateState();

    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnLButton(WPARAM, LPARAM);

    State state_ = Normal;
    bool hover_ = false;
};
