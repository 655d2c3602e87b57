#include "ui/dialog.h"

#include "ui/app.h"
#include "ui/strings.h"

namespace ui {

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

const MessageMap* CDialog::GetMessageMap() const
{
    static const MessageMap map(nullptr, {
        ui::OnMessage(WM_INITDIALOG, &CDialog::onInitDialogMessage),
        ui::OnCommand(IDOK, &CDialog::onOkCommand),
        ui::OnCommand(IDCANCEL, &CDialog::onCancelCommand),
    });
    return &map;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM l)
{
    if (msg != WM_INITDIALOG)
        return FALSE;  // everything else reaches the object through its subclass
    CDialog* dialog = reinterpret_cast<CDialog*>(l);
    // From here on the window's messages come to StaticWindowProc first;
    // what the object leaves goes on to the dialog class's procedure.
    dialog->SubclassProc(hwnd);
    dialog->Attach(hwnd, true);
    const LRESULT result = dialog->Dispatch(WM_INITDIALOG, 0, l);
    return static_cast<INT_PTR>(result);
}

LRESULT CDialog::onInitDialogMessage(WPARAM, LPARAM)
{
    const bool mayCentre = (GetWindowLongW(handle(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE)) == 0;
    const RECT before = GetWindowRect();
    const bool focusDefault = OnInitDialog();
    // A dialog that placed itself, shows itself from its template or lives
    // inside another window keeps its place.
    if (mayCentre && IsWindow(handle()) && !IsWindowVisible(handle())) {
        const RECT after = GetWindowRect();
        if (EqualRect(&before, &after))
            CenterWindow();
    }
    return focusDefault ? TRUE : FALSE;
}

HWND CDialog::ownerFor(HWND parent) const
{
    bool mainWindow = false;
    if (!parent) {
        CWinApp* app = CWinApp::Get();
        if (app && app->mainWindow && app->mainWindow->handle() != handle()) {
            parent = app->mainWindow->handle();
            mainWindow = true;
        }
    }
    if (parent && parent != GetDesktopWindow())
        parent = GetAncestor(parent, GA_ROOT);
    if (mainWindow) {
        // While a modal dialog of the main window runs, a dialog opened
        // without a parent belongs to that one: it stays above it and hands
        // the activation back to it.
        HWND popup = GetLastActivePopup(parent);
        if (popup && popup != parent && IsWindowVisible(popup) && IsWindowEnabled(popup))
            parent = popup;
    }
    return parent;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = ownerFor(parent_);
    const bool disableOwner = owner && owner != GetDesktopWindow() && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    disabledOwner_ = disableOwner ? owner : nullptr;
    modal_ = true;
    ended_ = false;
    result_ = -1;
    HWND hwnd = CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), owner, &CDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    bool quit = false;
    WPARAM quitCode = 0;
    if (hwnd && !ended_) {
        if (!IsWindowVisible(hwnd))
            ShowWindow(hwnd, SW_SHOWNORMAL);
        MSG msg = {};
        while (!ended_ && handle()) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            if (!PreTranslate(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    // The owner is enabled again before the dialog goes, so that the
    // activation returns to it and not to some other program.
    if (disabledOwner_)
        EnableWindow(disabledOwner_, TRUE);
    disabledOwner_ = nullptr;
    if (handle()) {
        if (owner && GetActiveWindow() == handle())
            SetActiveWindow(owner);
        SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::DestroyWindow(handle());
    }
    modal_ = false;
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
        return -1;
    }
    return hwnd ? (ended_ ? result_ : -1) : -1;
}

bool CDialog::Create(HWND parent)
{
    modal_ = false;
    ended_ = false;
    HWND hwnd = CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), parent ? parent : parent_,
                                   &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

void CDialog::EndDialog(int result)
{
    if (ended_)
        return;
    ended_ = true;
    result_ = result;
    if (!handle())
        return;
    if (modal_) {
        // Hiding deactivates the dialog at once; a handler of the focus loss
        // that ends the dialog again finds it ended already. Only an owner
        // this run disabled is enabled: an outer modal run may still hold it.
        if (disabledOwner_)
            EnableWindow(disabledOwner_, TRUE);
        SetWindowPos(handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
        ::PostMessageW(handle(), WM_NULL, 0, 0);
    } else {
        ShowWindow(handle(), SW_HIDE);
    }
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || !handle())
        return false;
    if (msg->hwnd != handle() && !IsChild(handle(), msg->hwnd))
        return false;
    return IsDialogMessageW(handle(), msg) != FALSE;
}

bool CDialog::OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly)
{
    if (CWnd::OnCmdMsg(id, code, update, queryOnly))
        return true;
    CWinApp* app = CWinApp::Get();
    return app && (code == 0 || code == kUpdateCode) &&
           app->OnCmdMsg(id, code, update, queryOnly);
}

}  // namespace ui
