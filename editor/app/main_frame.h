#pragma once

#include "editor/core/pen_settings.h"
#include "kesh/string.h"
#include "ui/frame.h"
#include "editor/app/frame_toolbar.h"
#include "ui/toolbar.h"

#include <memory>

class CPaintView;

// The editor's one top-level window: the menu bar, a toolbar whose pen
// buttons drop down the pen pop-ups, and at most one paint view, replaced
// whenever an image is opened. It reads the command line while it is
// created, placing itself so that the image lies where it was captured, and
// owns the file commands, the store-to-server command, dropped files and
// the close prompt, which the session's end asks too. The active view is
// offered every command first.
class CMainFrame : public ui::CFrameWnd {
public:
    // settingsKeyPath: where views and the save-format dialog keep their
    // values; tests give a key of their own.
    explicit CMainFrame(const kesh::String& settingsKeyPath = kSettingsKeyPath);
    ~CMainFrame() override;

    // Replaces the view by a new one on path. A modified image is offered
    // for saving first: Cancel, or Yes with a save that does not happen,
    // keeps it and returns false. False too when path cannot be read (the
    // view has told the user); the frame is then left without a view.
    bool OpenImage(const kesh::String& path);

    // The view the frame shows once it is made, its picture read already
    // (CPaintView::Load) so that a picture that cannot be read is told of
    // before any window exists; the window is then placed so that the
    // picture's top-left pixel lies at (x, y) on the screen, or centred for
    // a negative x or y (PlaceFrameOverImage). Called before LoadFrame.
    void StartWith(std::unique_ptr<CPaintView> view, int x, int y);

    // The view, or null while no image is open.
    CPaintView* PaintView() const { return view_.get(); }
    ui::CToolBar& ToolBar() { return toolBar_; }

    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    // The view goes with the window, writing its pen settings back.
    void AfterDestroy() override;

protected:
    const ui::MessageMap* GetMessageMap() const override;
    bool OnNotify(WPARAM w, LPARAM l, LRESULT* result) override;

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnGetMinMaxInfo(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnDropFiles(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM, LPARAM);
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnSaveToServer();
    void OnAppAbout();
    void OnUpdateFileSave(ui::CommandState* state);
    void OnUpdateHasImage(ui::CommandState* state);

    bool CreateToolBar();
    // Makes the view given to StartWith and places the window over it.
    void OpenStartView();
    // Makes view the frame's view; initialUpdate: sends the views their
    // initial update (LoadFrame sends it to the views made in its course).
    bool ShowView(std::unique_ptr<CPaintView> view, bool initialUpdate);
    // Saves over the image's own file in its own format (a JPEG asks for
    // the quality first). True only when the file was written.
    bool SaveImageInPlace();
    // The modified image is offered for saving with prompt: true when the
    // caller may go on (nothing modified, No, or Yes and saved).
    bool ConfirmDiscard(const std::wstring& prompt);
    // The close prompt, naming the file: whether the window may go.
    bool ConfirmClose();
    // The pen pop-up of the toolbar button command under the button
    // rectangle (toolbar client coordinates).
    void ShowPenPopup(UINT command, RECT button);

    kesh::String settingsKeyPath_;
    FrameToolBar toolBar_;
    // The toolbar shows these lists but never destroys them.
    ui::ImageList normalImages_;
    ui::ImageList disabledImages_;
    std::unique_ptr<CPaintView> view_;
    std::unique_ptr<CPaintView> startView_;
    POINT startPlace_ = {-1, -1};
};

// The File Open dialog of the editor, listing every format GDI+ decodes: the
// chosen file's path, or empty when the user cancels.
kesh::String ChooseImageToOpen();
