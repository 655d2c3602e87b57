#include "toolbar/app/norpa_app.h"

#include "common/worker_exit.h"
#include "toolbar/app/norpa_dlg.h"
#include "toolbar/core/toolbar_settings.h"

#include <shlobj.h>

CNorpaApp::CNorpaApp() = default;

CNorpaApp::~CNorpaApp() = default;

BOOL CALLBACK FindToolbarWindowProc(HWND hwnd, LPARAM found)
{
    if (GetWindowLongPtrW(hwnd, GWLP_USERDATA) != kToolbarWindowMarker)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

bool CNorpaApp::InitInstance()
{
    instanceMutex_.Attach(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Posted, never sent: a first instance that hangs does not hang
        // this one. One still starting has no marked window yet: then
        // nothing is posted.
        HWND first = nullptr;
        EnumWindows(&FindToolbarWindowProc, reinterpret_cast<LPARAM>(&first));
        if (first)
            PostMessageW(first, WM_TOOLBAR_ACTIVATE, 0, 0);
        return false;
    }

    ui::InitCommonControlClasses();
    if (!ui::CWinApp::InitInstance())
        return false;
    comStarted_ = SUCCEEDED(CoInitialize(nullptr));
    gdiplus_.emplace();

    dialog_ = std::make_unique<CNorpaDlg>(SettingsPlace{kToolbarRegistryKey, GetSpecialFolderPath(CSIDL_STARTUP)});
    mainWindow = dialog_.get();
    if (!dialog_->Create(nullptr)) {
        mainWindow = nullptr;
        return false;
    }
    SetWindowLongPtrW(dialog_->handle(), GWLP_USERDATA, kToolbarWindowMarker);
    return true;
}

int CNorpaApp::ExitInstance()
{
    instanceMutex_.reset();
    // The exit command has destroyed the window; a loop ended otherwise has
    // not, and the window must go first so that the position it stores is
    // in the settings the object saves as it goes. The framework must not
    // reach the object afterwards.
    if (dialog_ && dialog_->handle())
        dialog_->DestroyWindow();
    mainWindow = nullptr;
    dialog_.reset();
    // A version check still running is asked to stop and waited for, for
    // a bounded time, before the components it uses go; one the network
    // keeps waiting ends with the process, here.
    StopWorkersOrEndProcess(ui::CWinApp::ExitInstance());
    gdiplus_.reset();
    if (comStarted_)
        CoUninitialize();
    comStarted_ = false;
    return ui::CWinApp::ExitInstance();
}
