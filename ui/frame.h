#pragma once

#include "kesh/handles.h"
#include "ui/view.h"

namespace ui {

// Frame style bit: the title carries the document name. It is taken out
// before the window is made.
constexpr DWORD FWS_ADDTOTITLE = 0x00000001;

// A top-level window with an optional menu, accelerators, a toolbar (child
// id IDW_TOOLBAR) and a view (the active view, else the child with id
// IDW_PANE_FIRST) that fills the rest.
class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Creates the frame from resource id: the title is string id, the menu,
    // accelerator table and icon of that id are used when they exist.
    // After creation every bound descendant receives WM_INITIALUPDATE.
    bool LoadFrame(UINT id, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr);

    // Default position and size, unless a derived class changes them.
    bool PreCreateWindow(CREATESTRUCTW& cs) override;

    CView* GetActiveView() const { return activeView_; }
    void SetActiveView(CView* view, bool notify = true);
    // Places the toolbar at the top and the view under it.
    virtual void RecalcLayout(bool notify = true);

    // Accelerators of the frame.
    bool PreTranslateMessage(MSG* msg) override;
    // The active view first, then the frame, then the application.
    bool OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly = false) override;

protected:
    const MessageMap* GetMessageMap() const override;
    bool OnNotify(WPARAM w, LPARAM l, LRESULT* result) override;

    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    // Menu bar and pop-up items get their enable, check and text from the
    // update handlers; an item nobody handles is disabled.
    LRESULT OnInitMenuPopup(WPARAM, LPARAM);

private:
    CView* activeView_ = nullptr;
    bool defaultPlacement_ = false;
    // Held until the window takes the menu over; its destruction frees it.
    kesh::win::MenuHandle menu_;
    kesh::win::AcceleratorTable accelerators_;
    kesh::win::IconHandle bigIcon_;
    kesh::win::IconHandle smallIcon_;
    wchar_t tipText_[80] = {};
};

}  // namespace ui
