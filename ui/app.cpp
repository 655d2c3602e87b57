#include "ui/app.h"

#include "ui/resource_ids.h"

#include "kesh/assert.h"

#include <commctrl.h>

namespace ui {

namespace {
CWinApp* theApplication = nullptr;

bool isIdleBreaker(const MSG& msg)
{
    // Messages that come by themselves all the time must not restart idle
    // work.
    return msg.message != WM_PAINT && msg.message != WM_TIMER && msg.message != WM_MOUSEMOVE &&
           msg.message != WM_NCMOUSEMOVE && msg.message != 0x0118 /* caret blink */;
}
bool preTranslateChain(MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (CWnd* wnd = CWnd::ObjectOf(hwnd))
            if (wnd->PreTranslateMessage(msg))
                return true;
        if ((GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) == 0)
            break;  // a popup's parent is its owner: another window's business
    }
    return false;
}
}  // namespace

CWinApp::CWinApp()
{
    KESH_ASSERT(theApplication == nullptr);
    theApplication = this;
    instance = GetModuleHandleW(nullptr);
}

CWinApp::~CWinApp()
{
    if (theApplication == this)
        theApplication = nullptr;
}

CWinApp* CWinApp::Get() { return theApplication; }

const MessageMap* CWinApp::GetMessageMap() const
{
    static const MessageMap map(nullptr, {
        OnCommand(ID_APP_EXIT, &CWinApp::OnAppExit),
    });
    return &map;
}

void CWinApp::OnAppExit()
{
    if (mainWindow && mainWindow->handle())
        mainWindow->SendMessage(WM_CLOSE);
}

int CWinApp::AddPreTranslateFilter(std::function<bool(MSG*)> filter)
{
    filters_.push_back({nextCookie_, std::move(filter)});
    return nextCookie_++;
}

int CWinApp::AddIdleWork(std::function<void()> handler)
{
    idles_.push_back({nextCookie_, std::move(handler)});
    return nextCookie_++;
}

void CWinApp::RemoveHook(int cookie)
{
    for (size_t i = 0; i < filters_.size(); ++i)
        if (filters_[i].cookie == cookie)
            filters_.erase(filters_.begin() + static_cast<long>(i));
    for (size_t i = 0; i < idles_.size(); ++i)
        if (idles_[i].cookie == cookie)
            idles_.erase(idles_.begin() + static_cast<long>(i));
}

bool CWinApp::PreTranslateMessage(MSG* msg)
{
    if (preTranslateChain(msg))
        return true;
    // A copy: a filter may remove itself.
    const std::vector<Filter> filters = filters_;
    for (const Filter& f : filters)
        if (f.filter(msg))
            return true;
    return false;
}

bool CWinApp::IdleWork(long count)
{
    if (count == 0 && mainWindow && mainWindow->handle()) {
        mainWindow->SendMessage(IdleUpdateMessage(), TRUE);
        mainWindow->SendToDescendants(IdleUpdateMessage(), TRUE, 0, true, true);
    }
    if (count == 0) {
        const std::vector<Idle> idles = idles_;
        for (const Idle& i : idles)
            i.handler();
    }
    return false;
}

int CWinApp::RunMessageLoop()
{
    MSG msg = {};
    long idleCount = 0;
    bool idle = true;
    for (;;) {
        while (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!IdleWork(idleCount++))
                idle = false;
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslate(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (isIdleBreaker(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
    exitCode_ = static_cast<int>(msg.wParam);
    return exitCode_;
}

bool PreTranslate(MSG* msg)
{
    if (CWinApp* app = CWinApp::Get())
        return app->PreTranslateMessage(msg);
    return preTranslateChain(msg);
}

void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
}

int RunApplication(HINSTANCE instance, int cmdShow)
{
    CWinApp* app = CWinApp::Get();
    KESH_ASSERT(app != nullptr);
    app->instance = instance;
    app->cmdShow = cmdShow;
    if (app->InitInstance())
        app->RunMessageLoop();
    return app->ExitInstance();
}

}  // namespace ui
