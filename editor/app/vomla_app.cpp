#include "editor/app/vomla_app.h"

#include "common/editor_command_line.h"
#include "common/history_folder.h"
#include "common/worker_exit.h"
#include "common_ui/open_folder.h"
#include "editor/app/main_frame.h"
#include "editor/resource.h"
#include "editor/view/paint_view.h"
#include "ui/shell_seams.h"

#include <ole2.h>

CvomlaApp::CvomlaApp() = default;

CvomlaApp::~CvomlaApp() = default;

const ui::MessageMap* CvomlaApp::GetMessageMap() const
{
    static const ui::MessageMap map(ui::CWinApp::GetMessageMap(), {
        ui::OnCommand(ID_VIEW_HISTORY, &CvomlaApp::OnViewHistory),
    });
    return &map;
}

bool CvomlaApp::InitInstance()
{
    ui::InitCommonControlClasses();

    if (!ui::CWinApp::InitInstance())
        return false;
    if (FAILED(OleInitialize(nullptr))) {
        ui::AppMessageBox(IDS_OLE_INIT_FAILED, MB_OK);
        return false;
    }
    oleStarted_ = true;
    comStarted_ = SUCCEEDED(CoInitialize(nullptr));
    Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplusInput_, nullptr);

    frame_ = std::make_unique<CMainFrame>();
    if (!ReadStartPicture())
        return false;
    mainWindow = frame_.get();
    if (!frame_->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | ui::FWS_ADDTOTITLE)) {
        mainWindow = nullptr;
        frame_.reset();
        return false;
    }
    ShowWindow(frame_->handle(), SW_SHOW);
    UpdateWindow(frame_->handle());
    // Without an image from the command line the user is asked for one as
    // soon as the message loop runs.
    if (!frame_->GetActiveView())
        frame_->PostMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    return true;
}

bool CvomlaApp::ReadStartPicture()
{
    const EditorCommandLine line = ReadEditorCommandLine(*kesh::app::getArguments(kEditorOptionSpec));
    if (line.imagePath.isEmpty())
        return true;
    auto view = std::make_unique<CPaintView>(line.imagePath);
    POINT place = {static_cast<LONG>(line.x), static_cast<LONG>(line.y)};
    // A picture that cannot be read is told of before any window shows, and
    // another is asked for at once, with no empty frame behind the question.
    while (!view->Load()) {
        const kesh::String chosen = ChooseImageToOpen();
        if (chosen.isEmpty())
            return false;
        view = std::make_unique<CPaintView>(chosen);
        place = POINT{-1, -1};
    }
    frame_->StartWith(std::move(view), place.x, place.y);
    return true;
}

int CvomlaApp::ExitInstance()
{
    // An upload still running is asked to stop and waited for, for a
    // bounded time, before the components it uses go; one the network
    // keeps waiting ends with the process, here.
    StopWorkersOrEndProcess(ui::CWinApp::ExitInstance());
    // The frame's window is gone by now; its object holds nothing of GDI+
    // but it goes first all the same.
    mainWindow = nullptr;
    frame_.reset();
    if (gdiplusToken_ != 0)
        Gdiplus::GdiplusShutdown(gdiplusToken_);
    gdiplusToken_ = 0;
    if (comStarted_)
        CoUninitialize();
    comStarted_ = false;
    if (oleStarted_)
        OleUninitialize();
    oleStarted_ = false;
    return ui::CWinApp::ExitInstance();
}

void CvomlaApp::OnViewHistory()
{
    OpenFolderInExplorer(GetHistoryRoot());
}
