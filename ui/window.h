#pragma once

// The framework's main header: every window of the programs derives from
// CWnd, declared here.
//
// Naming in ui/: a class carries the C prefix exactly when it is a window
// class or the application object, that is when it derives from CWnd or
// CWinApp (CFrameWnd, CView, CDialog, CToolBar, CSliderCtrl...); the
// programs' own windows follow it (CMainFrame, CPaintView). Everything else
// carries none, window-related or not: command routing and its state
// (CommandTarget, CommandState, MessageMap), data exchange, owners of
// handles (Menu, ImageList), records and the seams for system dialogs
// (IShell, FileChooser, ColorChooser).

#include "ui/command.h"

#include <string>

namespace ui {

class DataExchange;

// Sent to every descendant of a frame once it is set up, so that views can
// prepare themselves (wParam, lParam 0).
constexpr UINT WM_INITIALUPDATE = 0x0364;
// Sent at idle time to the main window and its descendants, so that those
// showing command state (toolbars) update it.
UINT IdleUpdateMessage();

// The text of any window or control: the one place that reads it.
std::wstring WindowText(HWND hwnd);

// One C++ object per window. The object is bound to its window by the one
// window procedure of the framework: for windows it creates, at the first
// message of the new window; for dialogs at WM_INITDIALOG; for existing
// windows by subclassing. Messages then go through the object's message
// table; what no table handles gets the default processing (the window
// class's procedure for subclassed windows and dialogs).
class CWnd : public CommandTarget {
public:
    CWnd() = default;
    // Destroys a window this object created and unsubclasses one it
    // borrowed.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object bound to hwnd, or null.
    static CWnd* ObjectOf(HWND hwnd);

    // The window, or null while there is none.
    HWND handle() const { return hwnd_; }

    // Creates a window. A null className means the framework's own class
    // (double clicks, arrow cursor, no background brush); for any other
    // class the new window is subclassed. The window goes with the object
    // at the latest.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu);
    bool DestroyWindow();

    // Binds an existing window. PreSubclassWindow runs first.
    bool Subclass(HWND hwnd);
    bool SubclassChild(UINT id, CWnd* parent);
    HWND Unsubclass();

    virtual bool PreCreateWindow(CREATESTRUCTW& cs);
    virtual void PreSubclassWindow() {}
    // True when msg was handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG* msg);
    // After the window is gone (WM_NCDESTROY).
    virtual void AfterDestroy() {}

    bool OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly = false) override;

    // Moves data between the controls (save false) or into the fields
    // (save true, with validation). Control notifications to this window
    // are ignored while it runs. False when a check failed.
    bool UpdateData(bool save = true);
    virtual void DoDataExchange(DataExchange*) {}
    bool IsUpdatingData() const { return updateDataDepth_ > 0; }

    // The default processing of the message being handled.
    LRESULT CallDefault();

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(hwnd_, msg, w, l); }
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(hwnd_, msg, w, l) != FALSE; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(hwnd_, text); }
    std::wstring GetWindowText() const { return WindowText(hwnd_); }
    void SetDlgItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(hwnd_, id, text); }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    void Invalidate(bool erase = true) { InvalidateRect(hwnd_, nullptr, erase); }
    // Over the owner while it is visible (a child: in its parent's client
    // area), else over the work area; a top-level window is kept inside the
    // work area of its monitor.
    void CenterWindow();
    HWND GetParent() const { return ::GetParent(hwnd_); }
    // Sends msg to every child (deep: every descendant); onlyPermanent
    // skips windows without an object.
    void SendToDescendants(UINT msg, WPARAM w, LPARAM l, bool deep = true, bool onlyPermanent = true);

    // The one window procedure of every bound window.
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

protected:
    const MessageMap* GetMessageMap() const override { return nullptr; }
    // Every message of the window comes here first.
    virtual LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);
    virtual LRESULT DefaultProc(UINT msg, WPARAM w, LPARAM l);
    // WM_COMMAND: true when handled. A command from a menu or accelerator
    // whose update handler disables it is dropped.
    virtual bool RouteCommand(WPARAM w, LPARAM l);
    // WM_NOTIFY: true when handled, with *result the message's result.
    virtual bool OnNotify(WPARAM w, LPARAM l, LRESULT* result);

    // Binding used by the dialog and window procedures.
    void Attach(HWND hwnd, bool owned);
    void SubclassProc(HWND hwnd);
    LRESULT Dispatch(UINT msg, WPARAM w, LPARAM l);

private:
    void Detach();

    HWND hwnd_ = nullptr;
    WNDPROC oldProc_ = nullptr;
    bool owned_ = false;
    int updateDataDepth_ = 0;
};

}  // namespace ui
