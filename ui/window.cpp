#include "ui/window.h"

#include "ui/controls.h"
#include "ui/data_exchange.h"

#include "kesh/assert.h"

#include <algorithm>
#include <unordered_map>

namespace ui {

namespace {

// UI objects live on the thread that made their windows; each thread has
// its own map.
std::unordered_map<HWND, CWnd*>& windowMap()
{
    thread_local std::unordered_map<HWND, CWnd*> map;
    return map;
}

// The object whose window CreateWindowExW is making on this thread.
thread_local CWnd* creating = nullptr;

// The messages being handled on this thread, innermost first. It lives on
// the stack of Dispatch and not in the objects: a handler may destroy its
// window, and whoever owns the object may delete it before the handler
// returns, so nothing may be written to the object afterwards.
struct CurrentMessage {
    const CWnd* wnd;
    UINT msg;
    WPARAM w;
    LPARAM l;
    const CurrentMessage* outer;
};
thread_local const CurrentMessage* currentMessage = nullptr;

const wchar_t kWindowClass[] = L"NorpaUiWindow";

void sendToDescendants(HWND parent, UINT msg, WPARAM w, LPARAM l, bool deep, bool onlyPermanent)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!onlyPermanent || CWnd::ObjectOf(child))
            ::SendMessageW(child, msg, w, l);
        if (deep)
            sendToDescendants(child, msg, w, l, deep, onlyPermanent);
    }
}

bool registerClass()
{
    static bool done = false;
    if (done)
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CWnd::StaticWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    done = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return done;
}

}  // namespace

UINT IdleUpdateMessage()
{
    static const UINT message = RegisterWindowMessageW(L"NorpaUiIdleUpdate");
    return message;
}

CWnd::~CWnd()
{
    if (!hwnd_)
        return;
    if (owned_)
        ::DestroyWindow(hwnd_);
    else
        Unsubclass();
    if (hwnd_)
        Detach();
}

CWnd* CWnd::ObjectOf(HWND hwnd)
{
    auto& map = windowMap();
    auto it = map.find(hwnd);
    return it == map.end() ? nullptr : it->second;
}

bool CWnd::PreCreateWindow(CREATESTRUCTW&) { return true; }

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR idOrMenu)
{
    KESH_ASSERT(hwnd_ == nullptr);
    if (!registerClass())
        return false;
    CREATESTRUCTW cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className ? className : kWindowClass;
    cs.lpszName = title;
    cs.style = style;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent;
    cs.hMenu = reinterpret_cast<HMENU>(idOrMenu);
    cs.hInstance = GetModuleHandleW(nullptr);
    if (!PreCreateWindow(cs))
        return false;
    const bool ownClass = cs.lpszClass == kWindowClass;
    CWnd* const outer = creating;
    creating = ownClass ? this : nullptr;
    HWND hwnd = CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                                cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, nullptr);
    creating = outer;
    if (!hwnd) {
        // A window that failed in WM_CREATE has already been unbound.
        return false;
    }
    if (!ownClass) {
        SubclassProc(hwnd);
        Attach(hwnd, true);
    }
    owned_ = true;
    return true;
}

bool CWnd::DestroyWindow()
{
    if (!hwnd_)
        return false;
    return ::DestroyWindow(hwnd_) != FALSE;
}

bool CWnd::Subclass(HWND hwnd)
{
    KESH_ASSERT(hwnd_ == nullptr);
    if (!hwnd || ObjectOf(hwnd))
        return false;
    SubclassProc(hwnd);
    Attach(hwnd, false);
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassChild(UINT id, CWnd* parent)
{
    return Subclass(::GetDlgItem(parent->handle(), id));
}

HWND CWnd::Unsubclass()
{
    HWND hwnd = hwnd_;
    if (!hwnd || !oldProc_)
        return nullptr;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
    Detach();
    return hwnd;
}

void CWnd::SubclassProc(HWND hwnd)
{
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
}

void CWnd::Attach(HWND hwnd, bool owned)
{
    hwnd_ = hwnd;
    owned_ = owned;
    windowMap()[hwnd] = this;
}

void CWnd::Detach()
{
    windowMap().erase(hwnd_);
    hwnd_ = nullptr;
    oldProc_ = nullptr;
    owned_ = false;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    CWnd* wnd = ObjectOf(hwnd);
    if (!wnd && creating) {
        // The first message of a window being created (WM_GETMINMAXINFO or
        // WM_NCCREATE): bind it before anything else sees it.
        wnd = creating;
        creating = nullptr;
        wnd->Attach(hwnd, true);
    }
    if (!wnd)
        return ::DefWindowProcW(hwnd, msg, w, l);
    return wnd->Dispatch(msg, w, l);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM w, LPARAM l)
{
    const CurrentMessage current = {this, msg, w, l, currentMessage};
    currentMessage = &current;
    const LRESULT result = HandleMessage(msg, w, l);
    currentMessage = current.outer;
    // Only the object of a window that is now going may still be used here.
    if (msg == WM_NCDESTROY && hwnd_) {
        if (oldProc_)
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
        Detach();
        AfterDestroy();
    }
    return result;
}

LRESULT CWnd::HandleMessage(UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_COMMAND) {
        if (RouteCommand(w, l))
            return 0;
    } else if (msg == WM_NOTIFY) {
        LRESULT result = 0;
        if (OnNotify(w, l, &result))
            return result;
    } else if (const MessageEntry* entry = FindMessage(msg)) {
        return entry->call(*this, w, l);
    } else if (msg == WM_DRAWITEM && w != 0) {
        DRAWITEMSTRUCT* item = reinterpret_cast<DRAWITEMSTRUCT*>(l);
        if (CButton* button = dynamic_cast<CButton*>(ObjectOf(item->hwndItem))) {
            button->DrawItem(item);
            return TRUE;
        }
    }
    return DefaultProc(msg, w, l);
}

LRESULT CWnd::DefaultProc(UINT msg, WPARAM w, LPARAM l)
{
    if (oldProc_)
        return CallWindowProcW(oldProc_, hwnd_, msg, w, l);
    return ::DefWindowProcW(hwnd_, msg, w, l);
}

LRESULT CWnd::CallDefault()
{
    const CurrentMessage* current = currentMessage;
    while (current && current->wnd != this)
        current = current->outer;
    KESH_ASSERT(current != nullptr);
    return DefaultProc(current->msg, current->w, current->l);
}

bool CWnd::RouteCommand(WPARAM w, LPARAM l)
{
    const UINT id = LOWORD(w);
    const int code = HIWORD(w);
    if (l == 0) {
        // A menu item or an accelerator: a disabled command must not run
        // even when its key or a stale menu still offers it.
        CommandState state(id);
        if (state.DoUpdate(*this, false) && !state.enabled())
            return true;
        return OnCmdMsg(id, 0, nullptr);
    }
    if (IsUpdatingData())
        return true;
    return OnCmdMsg(id, code, nullptr);
}

bool CWnd::OnNotify(WPARAM, LPARAM l, LRESULT* result)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(l);
    if (IsUpdatingData())
        return true;
    if (const MessageEntry* entry = FindNotify(static_cast<int>(header->code), static_cast<UINT>(header->idFrom))) {
        *result = entry->call(*this, 0, l);
        return true;
    }
    return false;
}

bool CWnd::OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly)
{
    return CommandTarget::OnCmdMsg(id, code, update, queryOnly);
}

bool CWnd::PreTranslateMessage(MSG*) { return false; }

bool CWnd::UpdateData(bool save)
{
    DataExchange dx(this, save);
    ++updateDataDepth_;
    DoDataExchange(&dx);
    --updateDataDepth_;
    return !dx.failed();
}

std::wstring WindowText(HWND hwnd)
{
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

RECT CWnd::GetClientRect() const
{
    RECT rc = {};
    ::GetClientRect(hwnd_, &rc);
    return rc;
}

RECT CWnd::GetWindowRect() const
{
    RECT rc = {};
    ::GetWindowRect(hwnd_, &rc);
    return rc;
}

void CWnd::CenterWindow()
{
    RECT area = {};
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if ((GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) != 0)
        ::GetClientRect(::GetParent(hwnd_), &area);
    else if (owner && IsWindowVisible(owner))
        ::GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT rc = GetWindowRect();
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    if ((GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) == 0) {
        // Centred over an owner near a screen edge, a window still lies
        // wholly on the owner's monitor where it fits.
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            x = std::max<int>(work.left, std::min<int>(x, work.right - width));
            y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
        }
    }
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SendToDescendants(UINT msg, WPARAM w, LPARAM l, bool deep, bool onlyPermanent)
{
    sendToDescendants(hwnd_, msg, w, l, deep, onlyPermanent);
}

}  // namespace ui
