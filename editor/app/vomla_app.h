#pragma once

#include "ui/app.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

class CMainFrame;

// The editor program: starts the system components it draws and saves
// with, makes the main frame (which reads the command line and may open an
// image), asks for a file when none was opened, and at the end waits for
// every library thread before it shuts the components down again.
class CvomlaApp : public ui::CWinApp {
public:
    CvomlaApp();
    ~CvomlaApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // Opens the history folder ("My Norpa/History" under the user's
    // documents, made when missing) in a new Explorer window.
    void OnViewHistory();

    CMainFrame* MainFrame() const { return frame_.get(); }

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    Gdiplus::GdiplusStartupInput gdiplusInput_;
    ULONG_PTR gdiplusToken_ = 0;
    bool oleStarted_ = false;
    bool comStarted_ = false;
    std::unique_ptr<CMainFrame> frame_;
};
