#include "ui/frame.h"

#include "ui/app.h"
#include "ui/resource_ids.h"
#include "ui/strings.h"

#include <commctrl.h>

#include <vector>

namespace ui {

namespace {

// A table of the frame's own: one loaded from resources belongs to the
// module and must not be destroyed, so its entries are copied.
HACCEL CopyAccelerators(HINSTANCE instance, UINT id)
{
    const HACCEL loaded = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(id));
    const int count = loaded ? CopyAcceleratorTableW(loaded, nullptr, 0) : 0;
    if (count <= 0)
        return nullptr;
    std::vector<ACCEL> entries(static_cast<size_t>(count));
    CopyAcceleratorTableW(loaded, entries.data(), count);
    return CreateAcceleratorTableW(entries.data(), count);
}

// The icon of id at the size of the two system metrics given, made for the
// frame alone (LoadIcon's are shared and never destroyed).
HICON LoadIconOfSize(HINSTANCE instance, UINT id, int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), 0));
}

}  // namespace

CFrameWnd::~CFrameWnd()
{
    // The window first: it may still show the menu and icons.
    if (handle())
        ::DestroyWindow(handle());
}

const MessageMap* CFrameWnd::GetMessageMap() const
{
    static const MessageMap map(nullptr, {
        ui::OnMessage(WM_CLOSE, &CFrameWnd::OnClose),
        ui::OnMessage(WM_DESTROY, &CFrameWnd::OnDestroy),
        ui::OnMessage(WM_SIZE, &CFrameWnd::OnSize),
        ui::OnMessage(WM_SETFOCUS, &CFrameWnd::OnSetFocus),
        ui::OnMessage(WM_INITMENUPOPUP, &CFrameWnd::OnInitMenuPopup),
    });
    return &map;
}

bool CFrameWnd::LoadFrame(UINT id, DWORD style, CWnd* parent)
{
    const HINSTANCE instance = ResourceInstance();
    const std::wstring title = LoadResString(id);
    menu_.Attach(::LoadMenuW(instance, MAKEINTRESOURCEW(id)));
    accelerators_.Attach(CopyAccelerators(instance, id));
    const RECT none = {};
    defaultPlacement_ = true;
    const bool created = CreateEx(0, nullptr, title.c_str(), style & ~FWS_ADDTOTITLE, none,
                                  parent ? parent->handle() : nullptr, reinterpret_cast<UINT_PTR>(menu_.get()));
    defaultPlacement_ = false;
    if (!created) {
        menu_.reset();
        return false;
    }
    bigIcon_.Attach(LoadIconOfSize(instance, id, SM_CXICON, SM_CYICON));
    smallIcon_.Attach(LoadIconOfSize(instance, id, SM_CXSMICON, SM_CYSMICON));
    if (bigIcon_.isValid())
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    if (smallIcon_.isValid())
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    SendToDescendants(WM_INITIALUPDATE, 0, 0, true, true);
    RecalcLayout();
    return true;
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs)
{
    if (defaultPlacement_) {
        cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    }
    return CWnd::PreCreateWindow(cs);
}

void CFrameWnd::SetActiveView(CView* view, bool notify)
{
    activeView_ = view;
    if (notify && view && view->handle() && GetActiveWindow() == handle())
        ::SetFocus(view->handle());
}

void CFrameWnd::RecalcLayout(bool)
{
    if (!handle())
        return;
    RECT client = GetClientRect();
    HWND toolbar = GetDlgItem(IDW_TOOLBAR);
    // The style, not IsWindowVisible: while the frame is still hidden (in
    // its creation) the toolbar counts all the same.
    if (toolbar && (GetWindowLongW(toolbar, GWL_STYLE) & WS_VISIBLE)) {
        ::SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
        RECT rc = {};
        ::GetWindowRect(toolbar, &rc);
        const int height = rc.bottom - rc.top;
        MoveWindow(toolbar, client.left, client.top, client.right - client.left, height, TRUE);
        client.top += height;
    }
    HWND view = activeView_ && activeView_->handle() ? activeView_->handle() : GetDlgItem(IDW_PANE_FIRST);
    if (view)
        MoveWindow(view, client.left, client.top, client.right - client.left, client.bottom - client.top, TRUE);
}

bool CFrameWnd::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && accelerators_.isValid())
        return TranslateAcceleratorW(handle(), accelerators_, msg) != 0;
    return false;
}

bool CFrameWnd::OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly)
{
    if (activeView_ && activeView_->OnCmdMsg(id, code, update, queryOnly))
        return true;
    if (CWnd::OnCmdMsg(id, code, update, queryOnly))
        return true;
    CWinApp* app = CWinApp::Get();
    return app && app->OnCmdMsg(id, code, update, queryOnly);
}

bool CFrameWnd::OnNotify(WPARAM w, LPARAM l, LRESULT* result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(l);
    if (header->code == TTN_GETDISPINFOW) {
        // Tool tips of toolbar buttons: the command string after "\n".
        NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(l);
        UINT id = static_cast<UINT>(header->idFrom);
        if (info->uFlags & TTF_IDISHWND)
            id = static_cast<UINT>(GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)));
        const std::wstring tip = TooltipOf(LoadResString(id));
        const size_t count = tip.copy(tipText_, sizeof(tipText_) / sizeof(tipText_[0]) - 1);
        tipText_[count] = L'\0';
        info->lpszText = tipText_;
        info->hinst = nullptr;
        *result = 0;
        return true;
    }
    return CWnd::OnNotify(w, l, result);
}

LRESULT CFrameWnd::OnClose(WPARAM, LPARAM)
{
    ::DestroyWindow(handle());
    return 0;
}

LRESULT CFrameWnd::OnDestroy(WPARAM, LPARAM)
{
    CWinApp* app = CWinApp::Get();
    if (app && app->mainWindow == this)
        PostQuitMessage(0);
    activeView_ = nullptr;
    // The window frees the menu it holds; a handle kept past that could name
    // somebody else's menu by the time this object goes.
    if (menu_.isValid() && ::GetMenu(handle()) == menu_.get())
        menu_.Detach();
    return CallDefault();
}

LRESULT CFrameWnd::OnSize(WPARAM w, LPARAM)
{
    if (w != SIZE_MINIMIZED)
        RecalcLayout();
    return CallDefault();
}

LRESULT CFrameWnd::OnSetFocus(WPARAM, LPARAM)
{
    if (activeView_ && activeView_->handle()) {
        ::SetFocus(activeView_->handle());
        return 0;
    }
    return CallDefault();
}

LRESULT CFrameWnd::OnInitMenuPopup(WPARAM w, LPARAM l)
{
    if (HIWORD(l))
        return CallDefault();  // the system menu
    HMENU popup = reinterpret_cast<HMENU>(w);
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;  // separators and sub-menus
        CommandState state(id, popup, static_cast<UINT>(i));
        state.DoUpdate(*this, true);
    }
    return 0;
}

}  // namespace ui
