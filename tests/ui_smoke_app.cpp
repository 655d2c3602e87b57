// A whole framework program for the tests: WinMain, InitInstance, the
// message loop with idle work, the exit command and ExitInstance. Its exit
// code tells the test what happened: 3 when started with "--refuse"
// (InitInstance failed, ExitInstance still ran), else 100 when idle work
// ran plus 10 when the main frame was gone by the end.
#include "tests/ui_test_ids.h"

#include "ui/app.h"
#include "ui/frame.h"
#include "ui/resource_ids.h"

#include <cwchar>
#include <memory>

namespace {

class SmokeApp : public ui::CWinApp {
public:
    bool InitInstance() override
    {
        if (std::wcsstr(GetCommandLineW(), L"--refuse")) {
            refused_ = true;
            return false;
        }
        frame_ = std::make_unique<ui::CFrameWnd>();
        if (!frame_->LoadFrame(IDR_TEST_FRAME))
            return false;
        mainWindow = frame_.get();
        ShowWindow(frame_->handle(), cmdShow);
        AddIdleWork([this] {
            ++idleRuns_;
            // Leave once the loop has been idle: the exit command closes
            // the main window, which ends the loop.
            if (frame_->handle())
                frame_->PostMessage(WM_COMMAND, ID_APP_EXIT, 0);
        });
        return true;
    }

    int ExitInstance() override
    {
        const int base = CWinApp::ExitInstance();
        if (refused_)
            return base + 3;
        const bool frameGone = !frame_ || frame_->handle() == nullptr;
        return base + (idleRuns_ > 0 ? 100 : 0) + (frameGone ? 10 : 0);
    }

private:
    std::unique_ptr<ui::CFrameWnd> frame_;
    bool refused_ = false;
    int idleRuns_ = 0;
};

SmokeApp theApp;

}  // namespace
