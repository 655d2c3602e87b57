#pragma once

#include "ui/controls.h"

// The toolbar's information balloon: a balloon tooltip with a title, an
// information icon and a close button, pointing at the toolbar. Any message
// the toolbar has for the user outside a dialog shows through it ("the
// toolbar has started", "no new version"). The tool is made with the
// system's own struct size: with a smaller one the control refuses it and
// nothing ever shows.
class Balloon {
public:
    // Makes the control, owned by owner, for anchor (the toolbar window).
    bool Create(ui::CWnd* owner, HWND anchor, const wchar_t* title);

    // Shows text, replacing what showed before.
    void Show(const wchar_t* text);
    void Hide();

    HWND handle() const { return tip_.handle(); }

private:
    TOOLINFOW Tool() const;

    ui::CToolTipCtrl tip_;
    HWND anchor_ = nullptr;
};
