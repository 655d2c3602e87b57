#pragma once

#include "ui/dialog.h"

#include "kesh/handles.h"

// The capture overlay (dialog 8): a still picture of the primary screen
// (its top-left screen.cx x screen.cy pixels; the toolbar gives the whole
// screen's size), taken when it opens, shown dimmed over it. The user drags a
// rectangle (shown undimmed in a red one-pixel frame) or takes the whole
// screen with Ctrl+A or the overlay's menu. Esc cancels a drag, or the
// overlay when no drag runs; switching to another window cancels it too.
// DoModal gives IDOK with the result (TakeResult, resultRect) filled, or
// IDCANCEL; when the screen cannot be read the user is told so and it gives
// IDCANCEL without showing.
class CCaptureDlg : public ui::CDialog {
public:
    CCaptureDlg(HWND parent, SIZE screen);

    // The chosen pixels and where they lay on the screen; empty before a
    // choice. TakeResult hands the pixels over, so that the overlay's
    // full-screen pictures can go before the capture is saved.
    kesh::win::Bitmap TakeResult() { return std::move(result_); }
    const RECT& resultRect() const { return resultRect_; }

    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;
    // Enter does nothing: only a drag or the whole-screen command chooses.
    void OnOK() override {}
    void OnCancel() override;

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnContextMenu(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    void OnCaptureFullScreen();

    // The whole client area dimmed (the clip region of dc decides what is
    // touched).
    void DrawDimmed(HDC dc);
    // The selection undimmed inside a red one-pixel frame.
    void DrawSelection(HDC dc);
    bool IsDragging() const;
    RECT Selection() const;

    SIZE screen_;
    kesh::win::Bitmap result_;
    RECT resultRect_ = {};
    // The screen as it was, and the same picture darkened once: every paint
    // is a plain copy from one of them (DIB sections, so that the dimming is
    // one pass over the pixels).
    kesh::win::Bitmap snapshot_;
    kesh::win::Bitmap dimmed_;
    kesh::win::GdiPen framePen_;
    kesh::win::CursorHandle cursor_;
    // Loaded from the program's resources, which the system frees with
    // the program: not a handle to release.
    HACCEL keys_ = nullptr;
    POINT start_ = {};
    POINT current_ = {};
};
