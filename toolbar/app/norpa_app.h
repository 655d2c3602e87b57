#pragma once

#include "common/image_codecs.h"
#include "kesh/handles.h"
#include "kesh/string.h"
#include "ui/app.h"

#include <memory>
#include <optional>

class CNorpaDlg;

// The toolbar's settings key: HKEY_CURRENT_USER\Software\NorpaSoft\norpa.
// One of the program's static objects (toolbar/app/norpa_main.cpp).
extern const kesh::String kToolbarRegistryKey;

// The one window of a second start is the first one's: this name marks a
// running toolbar for the user's logon.
constexpr const wchar_t* kInstanceMutexName = L"NORPA_BAR_INSTANCE_MUTEX";

// The toolbar program. The first start makes the toolbar; a second start
// wakes the first one's toolbar (it comes forward with its balloon) and
// ends at once. At the end it waits for every library thread before it
// shuts the system components down.
class CNorpaApp : public ui::CWinApp {
public:
    CNorpaApp();
    ~CNorpaApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

private:
    std::optional<GdiplusSession> gdiplus_;
    std::unique_ptr<CNorpaDlg> dialog_;
    kesh::win::KernelHandle instanceMutex_;
    bool comStarted_ = false;
};

// EnumWindows callback: stores in *(HWND*)found the first window whose user
// data holds kToolbarWindowMarker and stops there.
BOOL CALLBACK FindToolbarWindowProc(HWND hwnd, LPARAM found);
