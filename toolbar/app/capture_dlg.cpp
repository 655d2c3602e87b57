#include "toolbar/app/capture_dlg.h"

#include "toolbar/app/screen_picture.h"
#include "toolbar/core/capture_rules.h"
#include "toolbar/resource.h"
#include "ui/menu.h"
#include "ui/shell_seams.h"
#include "ui/strings.h"

#include <windowsx.h>

namespace {

constexpr COLORREF kFrameColour = RGB(255, 0, 0);
}  // namespace

CCaptureDlg::CCaptureDlg(HWND parent, SIZE screen) : ui::CDialog(IDD_CAPTURE, parent), screen_(screen) {}

const ui::MessageMap* CCaptureDlg::GetMessageMap() const
{
    static const ui::MessageMap map(ui::CDialog::GetMessageMap(), {
        ui::OnMessage(WM_ERASEBKGND, &CCaptureDlg::OnEraseBkgnd),
        ui::OnMessage(WM_LBUTTONDOWN, &CCaptureDlg::OnLButtonDown),
        ui::OnMessage(WM_MOUSEMOVE, &CCaptureDlg::OnMouseMove),
        ui::OnMessage(WM_LBUTTONUP, &CCaptureDlg::OnLButtonUp),
        ui::OnMessage(WM_SETCURSOR, &CCaptureDlg::OnSetCursor),
        ui::OnMessage(WM_CONTEXTMENU, &CCaptureDlg::OnContextMenu),
        ui::OnMessage(WM_KILLFOCUS, &CCaptureDlg::OnKillFocus),
        ui::OnCommand(ID_CAPTURE_FULL_SCREEN, &CCaptureDlg::OnCaptureFullScreen),
    });
    return &map;
}

bool CCaptureDlg::OnInitDialog()
{
    ui::CDialog::OnInitDialog();
    const int width = screen_.cx;
    const int height = screen_.cy;
    ScreenPictures pictures = SnapshotDimmed(width, height);
    if (!pictures.snapshot.isValid()) {
        // Nothing to show or take: the user hears why, and no overlay comes.
        ui::AppMessageBox(IDS_SCREEN_FAILED, MB_ICONERROR);
        EndDialog(IDCANCEL);
        return true;
    }
    snapshot_ = std::move(pictures.snapshot);
    dimmed_ = std::move(pictures.dimmed);
    framePen_.Attach(CreatePen(PS_SOLID, 1, kFrameColour));
    cursor_.Attach(static_cast<HCURSOR>(
        LoadImageW(ui::ResourceInstance(), MAKEINTRESOURCEW(IDC_CAPTURE_CURSOR), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
    keys_ = LoadAcceleratorsW(ui::ResourceInstance(), MAKEINTRESOURCEW(IDR_CAPTURE_KEYS));
    SetWindowPos(handle(), HWND_TOPMOST, 0, 0, width, height, 0);
    SetForegroundWindow(handle());
    return true;
}

bool CCaptureDlg::IsDragging() const { return handle() && GetCapture() == handle(); }

RECT CCaptureDlg::Selection() const { return NormalizedSelection(start_, current_); }

void CCaptureDlg::DrawDimmed(HDC dc) { BlitFrom(dc, dimmed_, GetClientRect()); }

void CCaptureDlg::DrawSelection(HDC dc)
{
    const RECT selection = Selection();
    const int width = selection.right - selection.left;
    const int height = selection.bottom - selection.top;
    if (width > 1 && height > 1) {
        const RECT inside = {selection.left + 1, selection.top + 1, selection.right - 1, selection.bottom - 1};
        BlitFrom(dc, snapshot_, inside);
    }
    if (width > 0 && height > 0) {
        kesh::win::SaveDCGuard saved(dc);
        SelectObject(dc, framePen_);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, selection.left, selection.top, selection.right, selection.bottom);
    }
}

LRESULT CCaptureDlg::OnEraseBkgnd(WPARAM w, LPARAM)
{
    const HDC dc = reinterpret_cast<HDC>(w);
    if (IsDragging()) {
        DrawSelection(dc);
        const RECT selection = Selection();
        ExcludeClipRect(dc, selection.left, selection.top, selection.right, selection.bottom);
    }
    DrawDimmed(dc);
    return TRUE;
}

LRESULT CCaptureDlg::OnLButtonDown(WPARAM, LPARAM l)
{
    const POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    SetCapture(handle());
    start_ = current_ = point;
    return CallDefault();
}

LRESULT CCaptureDlg::OnMouseMove(WPARAM, LPARAM l)
{
    const POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (IsDragging()) {
        const RECT old = Selection();
        current_ = point;
        const RECT now = Selection();
        kesh::win::ClientDC dc(handle());
        DrawSelection(dc);
        // Only what the old selection showed outside the new one is dimmed
        // again: the rest of the screen is already as it must be.
        ExcludeClipRect(dc, now.left, now.top, now.right, now.bottom);
        IntersectClipRect(dc, old.left, old.top, old.right, old.bottom);
        DrawDimmed(dc);
    }
    return CallDefault();
}

LRESULT CCaptureDlg::OnLButtonUp(WPARAM, LPARAM l)
{
    const POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (!IsDragging())
        return CallDefault();
    ReleaseCapture();
    // The mouse is captured, so the point may lie off the screen: only what
    // the picture holds can be taken.
    BITMAP info = {};
    GetObjectW(snapshot_, sizeof(info), &info);
    const RECT rect = ClampSelectionToScreen(NormalizedSelection(start_, point), info.bmWidth, info.bmHeight);
    if (!IsEmptySelection(rect)) {
        kesh::win::ClientDC dc(handle());
        result_ = CopyPart(dc, snapshot_, rect);
        resultRect_ = rect;
        EndDialog(IDOK);
    }
    return CallDefault();
}

void CCaptureDlg::OnCaptureFullScreen()
{
    BITMAP info = {};
    GetObjectW(snapshot_, sizeof(info), &info);
    result_ = std::move(snapshot_);
    resultRect_ = RECT{0, 0, info.bmWidth, info.bmHeight};
    EndDialog(IDOK);
}

bool CCaptureDlg::PreTranslateMessage(MSG* msg)
{
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && keys_ &&
        TranslateAcceleratorW(handle(), keys_, msg))
        return true;
    return ui::CDialog::PreTranslateMessage(msg);
}

void CCaptureDlg::OnCancel()
{
    if (!IsDragging()) {
        EndDialog(IDCANCEL);
        return;
    }
    // Esc during a drag drops only the drag.
    const RECT selection = Selection();
    InvalidateRect(handle(), &selection, TRUE);
    start_ = current_ = POINT{0, 0};
    ReleaseCapture();
}

LRESULT CCaptureDlg::OnKillFocus(WPARAM, LPARAM)
{
    const LRESULT result = CallDefault();
    // Another window took over: the capture is given up. When the overlay
    // ends by itself, its own loss of focus comes after the end and changes
    // nothing (the first end wins).
    EndDialog(IDCANCEL);
    return result;
}

LRESULT CCaptureDlg::OnSetCursor(WPARAM, LPARAM l)
{
    const UINT message = HIWORD(l);
    if (message == 0 || !cursor_.isValid())
        return CallDefault();
    SetCursor(cursor_);
    return TRUE;
}

LRESULT CCaptureDlg::OnContextMenu(WPARAM, LPARAM l)
{
    const POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    ui::Menu menu;
    if (!menu.LoadMenu(IDR_TOOLBAR_MENU))
        return 0;
    SetForegroundWindow(handle());
    ui::TrackPopup(menu.GetSubMenu(1), TPM_VERTICAL, point.x, point.y, handle());
    return 0;
}
