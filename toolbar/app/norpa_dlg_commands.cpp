// The toolbar's commands: its menu, the capture, the images it hands to the
// editor and the dialogs it opens.
#include "toolbar/app/norpa_dlg.h"

#include "common/history_folder.h"
#include "common_ui/about_dlg.h"
#include "common_ui/open_folder.h"
#include "kesh/failure_log.h"
#include "toolbar/app/capture_dlg.h"
#include "toolbar/app/capture_history.h"
#include "toolbar/app/check_version_dlg.h"
#include "toolbar/app/option_dlg.h"
#include "toolbar/core/toolbar_rules.h"
#include "toolbar/resource.h"
#include "ui/menu.h"
#include "ui/shell_seams.h"

#include <shellapi.h>

#include <string>

namespace {

// Whether a dialog of the menu runs (running is not null); it is then
// brought to the front instead of a second one being opened.
bool BroughtForward(const ui::CDialog* running)
{
    if (!running)
        return false;
    if (running->handle())
        SetForegroundWindow(running->handle());
    return true;
}

// Runs dialog modally with *guard pointing at it meanwhile. IDCANCEL for a
// request that found one running (BroughtForward).
INT_PTR RunGuarded(ui::CDialog& dialog, ui::CDialog*& guard)
{
    if (BroughtForward(guard))
        return IDCANCEL;
    guard = &dialog;
    const INT_PTR result = dialog.DoModal();
    guard = nullptr;
    return result;
}

}  // namespace

void CNorpaDlg::OnCaptureButton() { DoCapture(); }

void CNorpaDlg::OnMenuButton()
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    PostMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle()), MAKELPARAM(cursor.x, cursor.y));
}

LRESULT CNorpaDlg::OnContextMenu(WPARAM, LPARAM)
{
    // The point the message carries is not used: the menu opens beside the
    // toolbar whatever was clicked.
    ui::Menu menu;
    if (!menu.LoadMenu(IDR_TOOLBAR_MENU))
        return 0;
    HMENU popup = menu.GetSubMenu(0);
    const bool bitmapOnClipboard = IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
    EnableMenuItem(popup, ID_PASTE_CLIPBOARD, MF_BYCOMMAND | (bitmapOnClipboard ? MF_ENABLED : MF_GRAYED));
    const RECT bar = GetWindowRect();
    const MenuAnchor anchor = ContextMenuAnchor(bar, WorkArea());
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    params.rcExclude = bar;
    SetForegroundWindow(handle());
    menuOpen_ = true;
    ui::TrackPopup(popup, TPM_VERTICAL | anchor.flags, anchor.x, anchor.y, handle(), &params);
    menuOpen_ = false;
    // The hot key pressed meanwhile closed the menu to capture now that
    // nothing else holds the mouse.
    if (captureAfterMenu_) {
        captureAfterMenu_ = false;
        CaptureFromHotKey();
    }
    return 0;
}

LRESULT CNorpaDlg::OnToolbarActivate(WPARAM, LPARAM)
{
    SetForegroundWindow(handle());
    balloon_.Show(L"Norpa工具条已启动");
    return 0;
}

LRESULT CNorpaDlg::OnHotKey(WPARAM w, LPARAM)
{
    const int id = static_cast<int>(w);
    CallDefault();
    if (id != kCaptureHotKeyId)
        return 0;
    if (menuOpen_) {
        // The menu's loop dispatches the hot key, and it keeps the mouse
        // from any overlay opened inside it.
        captureAfterMenu_ = true;
        EndMenu();
        return 0;
    }
    CaptureFromHotKey();
    return 0;
}

void CNorpaDlg::CaptureFromHotKey()
{
    // While the overlay is open, coming forward would take the focus from
    // it and so cancel the capture the user is making.
    if (capturing_)
        return;
    SetForegroundWindow(handle());
    DoCapture();
}

void CNorpaDlg::DoCapture()
{
    // The overlay runs a modal loop in which the hot key still arrives.
    if (capturing_)
        return;
    capturing_ = true;
    const bool hide = settings_.hideWhenCapture;
    if (hide) {
        ShowWindow(handle(), SW_HIDE);
        Sleep(300);  // until the screen no longer shows the toolbar
    }
    kesh::win::Bitmap capture;
    RECT place = {};
    {
        CCaptureDlg overlay(GetDesktopWindow(), SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
        if (overlay.DoModal() == IDOK) {
            capture = overlay.TakeResult();
            place = overlay.resultRect();
        }
    }
    // The overlay's pictures of the whole screen are gone by now: a 4K
    // capture is encoded with only its own pixels in memory.
    if (capture.isValid()) {
        const kesh::String path = SaveBitmapToHistory(capture);
        if (!path.isEmpty())
            LaunchEditor(path, place.left, place.top);
    }
    if (hide && handle())
        ShowWindow(handle(), SW_SHOW);
    capturing_ = false;
}

LRESULT CNorpaDlg::OnDropFiles(WPARAM w, LPARAM)
{
    const HDROP drop = reinterpret_cast<HDROP>(w);
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        // As long as the name is: a path may be longer than MAX_PATH.
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, 0, &name[0], length + 1);
        name.resize(length);
        LaunchEditor(kesh::String(name.c_str()), -1, -1);
    }
    DragFinish(drop);
    return CallDefault();
}

void CNorpaDlg::OnOpenImageFile() { LaunchEditor("", -1, -1); }

void CNorpaDlg::OnPasteClipboard()
{
    if (!IsClipboardFormatAvailable(CF_BITMAP))
        return;
    if (!OpenClipboard(handle())) {
        kesh::logLastError("OpenClipboard");
        return;
    }
    // Saving and starting the editor may stop at a message box, and other
    // programs need the clipboard meanwhile: it is closed again as soon as
    // its bitmap is copied. The clipboard's own bitmap is only read.
    const HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    const kesh::win::Bitmap copy(bitmap ? static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
    CloseClipboard();
    if (!bitmap)
        return;
    if (!copy.isValid()) {
        ui::AppMessageBox(IDS_BITMAP_FAILED, MB_ICONERROR);
        return;
    }
    const kesh::String path = SaveBitmapToHistory(copy);
    if (!path.isEmpty())
        LaunchEditor(path, -1, -1);
}

void CNorpaDlg::OnViewHistory() { OpenFolderInExplorer(GetHistoryRoot()); }

void CNorpaDlg::OnOptions()
{
    COptionDlg dialog(GetDesktopWindow());
    dialog.autoRun = settings_.autoRun ? 1 : 0;
    dialog.hideWhenCapture = settings_.hideWhenCapture ? 1 : 0;
    dialog.virtualKey = HotKeyVirtualKey(settings_.hotKey);
    dialog.modifiers = HotKeyModifiers(settings_.hotKey);
    if (RunGuarded(dialog, optionsDialog_) != IDOK)
        return;
    settings_.autoRun = dialog.autoRun != 0;
    settings_.hideWhenCapture = dialog.hideWhenCapture != 0;
    settings_.hotKey = PackHotKey(dialog.virtualKey, dialog.modifiers);
    settings_.Save();
    RegisterCaptureHotKey();
}

void CNorpaDlg::OnAppAbout()
{
    CAboutDlg dialog(GetDesktopWindow());
    RunGuarded(dialog, aboutDialog_);
}

void CNorpaDlg::OnCheckVersion()
{
    // The guard stands until the question too has been answered: a second
    // request meanwhile starts no second check.
    if (BroughtForward(versionDialog_))
        return;
    CCheckVersionDlg dialog(GetDesktopWindow());
    versionDialog_ = &dialog;
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK && !dialog.newer) {
        SetForegroundWindow(handle());
        balloon_.Show(L"没有发现新版本");
    } else if (result == IDOK && ui::AppMessageBox(IDS_NEW_VERSION_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        ui::Shell().ShellExecute(nullptr, nullptr, kesh::Wide(dialog.downloadAddress).c_str(), nullptr, nullptr,
                                 SW_SHOWNORMAL);
    }
    versionDialog_ = nullptr;
}
