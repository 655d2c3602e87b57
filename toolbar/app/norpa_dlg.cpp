#include "toolbar/app/norpa_dlg.h"

#include "toolbar/core/toolbar_rules.h"
#include "toolbar/resource.h"
#include "ui/data_exchange.h"
#include "ui/shell_seams.h"
#include "ui/strings.h"

#include <shellapi.h>
#include <windowsx.h>

namespace {

constexpr UINT_PTR kTopmostTimer = 1;
constexpr UINT kTopmostCheckMs = 500;

HICON LoadProgramIcon(int size)
{
    return static_cast<HICON>(
        LoadImageW(ui::ResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
}

APPBARDATA AppBarData(HWND hwnd)
{
    APPBARDATA data = {};
    data.cbSize = sizeof(data);  // the x64 size: a 32-bit one is refused
    data.hWnd = hwnd;
    data.uCallbackMessage = WM_APPBAR_CALLBACK;
    return data;
}

}  // namespace

CNorpaDlg::CNorpaDlg(const SettingsPlace& place) : ui::CDialog(IDD_NORPA_TOOLBAR, nullptr), settings_(place)
{
    settings_.Load();
    images_.Load();
    layout_ = ToolbarLayoutFor(images_.Size(), ToolbarDpi());
}

CNorpaDlg::~CNorpaDlg()
{
    // The position is the one the window had when it was destroyed.
    settings_.Save();
}

const ui::MessageMap* CNorpaDlg::GetMessageMap() const
{
    static const ui::MessageMap map(ui::CDialog::GetMessageMap(), {
        ui::OnMessage(WM_PAINT, &CNorpaDlg::OnPaint),
        ui::OnMessage(WM_QUERYDRAGICON, &CNorpaDlg::OnQueryDragIcon),
        ui::OnMessage(WM_SETCURSOR, &CNorpaDlg::OnSetCursor),
        ui::OnControl(BN_CLICKED, IDC_CAPTURE_BUTTON, &CNorpaDlg::OnCaptureButton),
        ui::OnControl(BN_CLICKED, IDC_MENU_BUTTON, &CNorpaDlg::OnMenuButton),
        ui::OnMessage(WM_NCACTIVATE, &CNorpaDlg::OnNcActivate),
        ui::OnMessage(WM_CONTEXTMENU, &CNorpaDlg::OnContextMenu),
        ui::OnCommand(ID_TOOLBAR_EXIT, &CNorpaDlg::OnExit),
        ui::OnMessage(WM_LBUTTONDOWN, &CNorpaDlg::OnLButtonDown),
        ui::OnMessage(WM_LBUTTONUP, &CNorpaDlg::OnLButtonUp),
        ui::OnMessage(WM_LBUTTONDBLCLK, &CNorpaDlg::OnLButtonDblClk),
        ui::OnMessage(WM_MOUSEMOVE, &CNorpaDlg::OnMouseMove),
        ui::OnMessage(WM_TIMER, &CNorpaDlg::OnTimer),
        ui::OnMessage(WM_DISPLAYCHANGE, &CNorpaDlg::OnDisplayChange),
        ui::OnMessage(WM_DROPFILES, &CNorpaDlg::OnDropFiles),
        ui::OnMessage(WM_TOOLBAR_ACTIVATE, &CNorpaDlg::OnToolbarActivate),
        ui::OnCommand(ID_OPTIONS, &CNorpaDlg::OnOptions),
        ui::OnCommand(ID_OPEN_IMAGE_FILE, &CNorpaDlg::OnOpenImageFile),
        ui::OnMessage(WM_HOTKEY, &CNorpaDlg::OnHotKey),
        ui::OnMessage(WM_ODBUTTON_STATE, &CNorpaDlg::OnODButtonState),
        ui::OnMessage(WM_DESTROY, &CNorpaDlg::OnDestroy),
        ui::OnMessage(WM_ENDSESSION, &CNorpaDlg::OnEndSession),
        ui::OnCommand(ID_PASTE_CLIPBOARD, &CNorpaDlg::OnPasteClipboard),
        ui::OnCommand(ID_VIEW_HISTORY, &CNorpaDlg::OnViewHistory),
        ui::OnMessage(WM_APPBAR_CALLBACK, &CNorpaDlg::OnAppBarNotify),
        ui::OnCommand(ID_CHECK_VERSION, &CNorpaDlg::OnCheckVersion),
        ui::OnCommand(ID_APP_ABOUT, &CNorpaDlg::OnAppAbout),
    });
    return &map;
}

void CNorpaDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::BindControl(dx, IDC_CAPTURE_BUTTON, captureButton_);
    ui::BindControl(dx, IDC_MENU_BUTTON, menuButton_);
}

bool CNorpaDlg::OnInitDialog()
{
    bigIcon_.Attach(LoadProgramIcon(GetSystemMetrics(SM_CXICON)));
    smallIcon_.Attach(LoadProgramIcon(GetSystemMetrics(SM_CXSMICON)));
    ui::CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    SetWindowLongPtrW(handle(), GWL_EXSTYLE, GetWindowLongPtrW(handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    RedrawLayered();

    const SIZE size = layout_.size;
    const RECT place = ClampToWorkArea(POINT{settings_.xPos, settings_.yPos}, size, WorkArea());
    SetWindowPos(handle(), nullptr, place.left, place.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);

    for (const auto& button : {std::make_pair(&captureButton_, layout_.captureButton),
                               std::make_pair(&menuButton_, layout_.menuButton)}) {
        const RECT& r = button.second;
        MoveWindow(button.first->handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }

    tooltip_.Create(this, TTS_ALWAYSTIP | TTS_USEVISUALSTYLE);
    tooltip_.AddTool(&captureButton_, L"截取屏幕", TTF_IDISHWND);
    tooltip_.AddTool(&menuButton_, L"菜单", TTF_IDISHWND);
    balloon_.Create(this, handle(), L"提示");

    RegisterCaptureHotKey();
    APPBARDATA appBar = AppBarData(handle());
    SHAppBarMessage(ABM_NEW, &appBar);
    SetTimer(handle(), kTopmostTimer, kTopmostCheckMs, nullptr);
    return true;
}

bool CNorpaDlg::PreTranslateMessage(MSG* msg)
{
    if (tooltip_.handle())
        tooltip_.RelayEvent(msg);
    return ui::CDialog::PreTranslateMessage(msg);
}

void CNorpaDlg::RedrawLayered()
{
    const kesh::win::Bitmap face = ComposeToolbarFace(images_, layout_, captureButton_.state(), menuButton_.state());
    if (face.isValid())
        ShowLayeredFace(handle(), face, layout_.size);
}

void CNorpaDlg::RegisterCaptureHotKey()
{
    // A hot key cleared in the options stops working at once.
    UnregisterHotKey(handle(), kCaptureHotKeyId);
    const DWORD hotKey = settings_.hotKey;
    if (hotKey == 0)
        return;
    if (!RegisterHotKey(handle(), kCaptureHotKeyId, RegistrationModifiers(HotKeyModifiers(hotKey)),
                        HotKeyVirtualKey(hotKey)))
        ui::AppMessageBox(IDS_HOTKEY_FAILED, MB_ICONEXCLAMATION);
}

RECT CNorpaDlg::WorkArea()
{
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool CNorpaDlg::InDragStrip(POINT client) const { return PtInRect(&layout_.grip, client) != FALSE; }

void CNorpaDlg::KeepInWorkArea()
{
    const RECT bar = GetWindowRect();
    const RECT place = ClampToWorkArea(POINT{bar.left, bar.top}, layout_.size, WorkArea());
    SetWindowPos(handle(), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawLayered();
}

void CNorpaDlg::KeepOnTop()
{
    const DWORD ownProcess = GetCurrentProcessId();
    std::vector<WindowAbove> above;
    for (HWND w = GetWindow(handle(), GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        RECT rect = {};
        ::GetWindowRect(w, &rect);
        above.push_back({IsWindowVisible(w) != FALSE, process != ownProcess, rect});
    }
    if (ShouldRaiseToolbar(above, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
        SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CNorpaDlg::OnPaint(WPARAM, LPARAM)
{
    if (!IsIconic(handle()))
        return CallDefault();
    kesh::win::PaintDC dc(handle());
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), 0);
    const RECT client = GetClientRect();
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, bigIcon_);
    return 0;
}

LRESULT CNorpaDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(bigIcon_.get()); }

LRESULT CNorpaDlg::OnSetCursor(WPARAM, LPARAM l)
{
    const UINT hitTest = LOWORD(l), message = HIWORD(l);
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(handle(), &cursor);
    if (hitTest == HTCLIENT && message != 0 && InDragStrip(cursor)) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        return TRUE;
    }
    return CallDefault();
}

LRESULT CNorpaDlg::OnNcActivate(WPARAM w, LPARAM)
{
    const bool active = w != FALSE;
    if (!active)
        balloon_.Hide();
    return CallDefault();
}

LRESULT CNorpaDlg::OnLButtonDown(WPARAM, LPARAM l)
{
    const POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    balloon_.Hide();
    if (InDragStrip(point)) {
        SetCapture(handle());
        dragStart_ = point;
    }
    return CallDefault();
}

LRESULT CNorpaDlg::OnLButtonUp(WPARAM, LPARAM)
{
    if (GetCapture() == handle())
        ReleaseCapture();
    return CallDefault();
}

LRESULT CNorpaDlg::OnLButtonDblClk(WPARAM w, LPARAM l)
{
    // The second press of a quick double press starts a drag too.
    return OnLButtonDown(w, l);
}

LRESULT CNorpaDlg::OnMouseMove(WPARAM, LPARAM l)
{
    const POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (GetCapture() == handle()) {
        const RECT bar = GetWindowRect();
        const POINT wanted = {bar.left + point.x - dragStart_.x, bar.top + point.y - dragStart_.y};
        const RECT place = ClampToWorkArea(wanted, layout_.size, WorkArea());
        SetWindowPos(handle(), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return CallDefault();
}

LRESULT CNorpaDlg::OnTimer(WPARAM w, LPARAM)
{
    const UINT_PTR id = w;
    if (id == kTopmostTimer)
        KeepOnTop();
    return CallDefault();
}

LRESULT CNorpaDlg::OnDisplayChange(WPARAM, LPARAM)
{
    KeepInWorkArea();
    return 0;
}

LRESULT CNorpaDlg::OnAppBarNotify(WPARAM w, LPARAM l)
{
    const UINT code = static_cast<UINT>(w); const bool fullScreenOpened = l == 1;
    if (code == ABN_STATECHANGE || code == ABN_POSCHANGED) {
        KeepInWorkArea();
    } else if (code == ABN_FULLSCREENAPP) {
        // A full-screen program is left alone as long as it runs.
        if (fullScreenOpened)
            KillTimer(handle(), kTopmostTimer);
        else
            SetTimer(handle(), kTopmostTimer, kTopmostCheckMs, nullptr);
    }
    return 0;
}

LRESULT CNorpaDlg::OnODButtonState(WPARAM, LPARAM)
{
    RedrawLayered();
    return 0;
}

void CNorpaDlg::KeepPosition()
{
    const RECT rect = GetWindowRect();
    settings_.xPos = rect.left;
    settings_.yPos = rect.top;
}

LRESULT CNorpaDlg::OnDestroy(WPARAM, LPARAM)
{
    KeepPosition();
    UnregisterHotKey(handle(), kCaptureHotKeyId);
    APPBARDATA appBar = AppBarData(handle());
    SHAppBarMessage(ABM_REMOVE, &appBar);
    return CallDefault();
}

LRESULT CNorpaDlg::OnEndSession(WPARAM w, LPARAM)
{
    // The system ends the program once this returns, without destroying
    // the window: what the exit command writes is written now.
    const bool ending = w != FALSE;
    if (ending) {
        KeepPosition();
        settings_.Save();
    }
    return 0;
}

void CNorpaDlg::OnExit()
{
    if (ui::AppMessageBox(IDS_EXIT_QUESTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    DestroyWindow();
    PostQuitMessage(0);
}
