#pragma once

#include "ui/window.h"

#include <functional>
#include <vector>

namespace ui {

// The program's one application object. WinMain (ui/winmain.cpp) calls
// RunApplication, which runs InitInstance, the message loop while it
// returns true, and ExitInstance, whose result is the exit code.
class CWinApp : public CommandTarget {
public:
    CWinApp();
    ~CWinApp() override;

    // The application object of the process, or null.
    static CWinApp* Get();

    virtual bool InitInstance() { return true; }
    // The base result: the exit code that WM_QUIT carried.
    virtual int ExitInstance() { return exitCode_; }

    // Gives msg to the window it is for and to that window's parents up to
    // its top-level window, then to the message filters. True when one of
    // them handled it.
    virtual bool PreTranslateMessage(MSG* msg);
    // Idle work; count grows while the queue stays empty. True asks for
    // another call. The base one updates command state of the main window
    // and runs the idle handlers.
    virtual bool IdleWork(long count);

    // Filters see every message before dispatch (true: handled); idle
    // handlers run when the queue is empty. Both stay until removed.
    int AddPreTranslateFilter(std::function<bool(MSG*)> filter);
    int AddIdleWork(std::function<void()> handler);
    void RemoveHook(int cookie);

    // The message loop; returns the code of WM_QUIT.
    int RunMessageLoop();

    CWnd* mainWindow = nullptr;
    HINSTANCE instance = nullptr;
    int cmdShow = SW_SHOWNORMAL;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnAppExit();

private:
    struct Filter {
        int cookie;
        std::function<bool(MSG*)> filter;
    };
    struct Idle {
        int cookie;
        std::function<void()> handler;
    };
    std::vector<Filter> filters_;
    std::vector<Idle> idles_;
    int nextCookie_ = 1;
    int exitCode_ = 0;
};

// Offers msg to the window chain from its target up to the top-level window
// (each bound window's PreTranslateMessage), then to the application's
// filters. Every message loop of the framework calls it.
bool PreTranslate(MSG* msg);

// Registers every class of the first common controls (ICC_WIN95_CLASSES,
// 0xFF), as both programs do before they make a window.
void InitCommonControlClasses();

// What WinMain does: the application object's InitInstance, loop,
// ExitInstance.
int RunApplication(HINSTANCE instance, int cmdShow);

}  // namespace ui
