#pragma once

#include "ui/app.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

class CMainFrame;

// The editor program: starts the system components it draws and saves
// with, reads the picture the command line names before any window exists,
// makes the main frame showing it, asks for a file when none was named, and
// at the end waits for every library thread before it shuts the components
// down again.
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
    // Reads the picture the command line names for the frame to start with
    // (CMainFrame::StartWith), before any window exists. False when it
    // cannot be read and the user declines to choose another: the program
    // then ends without a window.
    bool ReadStartPicture();

    Gdiplus::GdiplusStartupInput gdiplusInput_;
    ULONG_PTR gdiplusToken_ = 0;
    bool oleStarted_ = false;
    bool comStarted_ = false;
    std::unique_ptr<CMainFrame> frame_;
};
