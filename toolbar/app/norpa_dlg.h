#pragma once

#include "toolbar/app/balloon.h"
#include "toolbar/app/od_button.h"
#include "toolbar/app/toolbar_face.h"
#include "toolbar/core/toolbar_settings.h"

#include "kesh/handles.h"
#include "ui/controls.h"
#include "ui/dialog.h"

// Posted to the running toolbar by a second start of the program (wParam
// and lParam 0): it comes forward and says it is running.
constexpr UINT WM_TOOLBAR_ACTIVATE = WM_APP + 100;
// The shell's app-bar notifications to the toolbar.
constexpr UINT WM_APPBAR_CALLBACK = WM_APP + 111;
// The toolbar window's user data: how a second start recognises it.
constexpr LONG_PTR kToolbarWindowMarker = 0x0238554C;

// The capture toolbar (modeless dialog 102), the program's only window: a
// small layered bar that stays on top of other programs' windows, drawn
// from its PNG images with per-pixel alpha, dragged by the grip on its
// left. Its capture button and the global hot key start a capture; its menu
// button opens the program's menu. The settings are loaded when the object
// is made and saved when it goes (with the position the window had), and
// when the session ends.
//
// The application closes it with the exit command only: Enter and Esc do
// nothing, and the exit command destroys the window and ends the message
// loop itself.
class CNorpaDlg : public ui::CDialog {
public:
    // The id of the capture hot key among the window's hot keys.
    static constexpr int kCaptureHotKeyId = 1;

    explicit CNorpaDlg(const SettingsPlace& place);
    ~CNorpaDlg() override;

    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange* dx) override;
    // Every message passes the buttons' tooltip first.
    bool PreTranslateMessage(MSG* msg) override;
    void OnOK() override {}
    void OnCancel() override {}

    // Shows the toolbar's look for the buttons' current states.
    void RedrawLayered();
    // (Re-)registers the stored capture hot key; tells the user when the
    // system refuses it (another program holds it). No hot key: nothing.
    void RegisterCaptureHotKey();
    // One capture: hide (when set), the overlay, the file, the editor. A
    // request while a capture runs is ignored.
    void DoCapture();

    ToolbarSettings& settings() { return settings_; }
    Balloon& balloon() { return balloon_; }

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnNcActivate(WPARAM, LPARAM);
    LRESULT OnContextMenu(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnDisplayChange(WPARAM, LPARAM);
    LRESULT OnDropFiles(WPARAM, LPARAM);
    LRESULT OnToolbarActivate(WPARAM, LPARAM);
    LRESULT OnHotKey(WPARAM, LPARAM);
    LRESULT OnODButtonState(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM, LPARAM);
    LRESULT OnAppBarNotify(WPARAM, LPARAM);
    void OnCaptureButton();
    void OnMenuButton();
    void OnExit();
    void OnOptions();
    void OnOpenImageFile();
    void OnPasteClipboard();
    void OnViewHistory();
    void OnAppAbout();
    void OnCheckVersion();

    // Moves the window back into the work area (after a change of the
    // screen or of the task bar) and shows it again.
    void KeepInWorkArea();
    // Puts the toolbar on top again when another program's window covers
    // it, unless a full-screen window is met first.
    void KeepOnTop();
    bool InDragStrip(POINT client) const;
    // The window's place into the settings, to be saved with them.
    void KeepPosition();
    // The capture the hot key asks for, once no menu is open.
    void CaptureFromHotKey();
    // The primary screen without the task bar and other app bars: where the
    // toolbar stands and beside which its menu opens.
    static RECT WorkArea();

    CODButton captureButton_;
    CODButton menuButton_;
    POINT dragStart_ = {};
    ToolbarImages images_;
    // Where the window's parts lie at the DPI it is drawn for.
    ToolbarLayout layout_ = {};
    ToolbarSettings settings_;
    // The dialogs opened from the menu, while one runs: a second request
    // brings it forward instead of opening another.
    ui::CDialog* optionsDialog_ = nullptr;
    ui::CDialog* aboutDialog_ = nullptr;
    ui::CDialog* versionDialog_ = nullptr;
    ui::CToolTipCtrl tooltip_;
    Balloon balloon_;
    kesh::win::IconHandle bigIcon_;
    kesh::win::IconHandle smallIcon_;
    bool capturing_ = false;
    // The toolbar's menu is open; the hot key came while it was.
    bool menuOpen_ = false;
    bool captureAfterMenu_ = false;
};
