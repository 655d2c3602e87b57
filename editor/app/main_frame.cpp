#include "editor/app/main_frame.h"

#include "common_ui/about_dlg.h"
#include "common/format_text.h"
#include "editor/app/frame_placement.h"
#include "common/image_codecs.h"
#include "editor/io/image_file_copy.h"
#include "common/image_formats.h"
#include "editor/view/paint_view.h"
#include "editor/resource.h"
#include "editor/upload/store_to_server.h"
#include "editor/view/save_format_dlg.h"
#include "editor/app/toolbar_images.h"
#include "kesh/handles.h"
#include "ui/menu.h"
#include "ui/shell_seams.h"
#include "ui/strings.h"

#include <shellapi.h>

#include <vector>

namespace {

constexpr int kInitialWidth = 600;
constexpr int kInitialHeight = 500;

// The pop-up of the pen menu that a toolbar button drops down; -1 for a
// button without one.
int PenPopupIndex(UINT command)
{
    switch (command) {
    case ID_TOOL_PENCIL: return 0;
    case ID_TOOL_HIGHLIGHTER: return 1;
    case ID_TOOL_MOSAIC: return 2;
    default: return -1;
    }
}

using kesh::Wide;

}  // namespace

CMainFrame::CMainFrame(const kesh::String& settingsKeyPath) : settingsKeyPath_(settingsKeyPath) {}

CMainFrame::~CMainFrame()
{
    // The window (and with it the toolbar that shows the image lists and
    // the view's window) goes before the members do.
    if (handle())
        DestroyWindow();
}

const ui::MessageMap* CMainFrame::GetMessageMap() const
{
    static const ui::MessageMap map(ui::CFrameWnd::GetMessageMap(), {
        ui::OnMessage(WM_CREATE, &CMainFrame::OnCreate),
        ui::OnMessage(WM_GETMINMAXINFO, &CMainFrame::OnGetMinMaxInfo),
        ui::OnMessage(WM_ERASEBKGND, &CMainFrame::OnEraseBkgnd),
        ui::OnCommand(ID_FILE_OPEN, &CMainFrame::OnFileOpen),
        ui::OnCommand(ID_FILE_SAVE, &CMainFrame::OnFileSave),
        ui::OnCommand(ID_FILE_SAVE_AS, &CMainFrame::OnFileSaveAs),
        ui::OnMessage(WM_DROPFILES, &CMainFrame::OnDropFiles),
        ui::OnUpdate(ID_FILE_SAVE, &CMainFrame::OnUpdateFileSave),
        ui::OnCommand(ID_FILE_SAVE_TO_SERVER, &CMainFrame::OnSaveToServer),
        ui::OnUpdate(ID_FILE_SAVE_AS, &CMainFrame::OnUpdateHasImage),
        ui::OnUpdate(ID_FILE_SAVE_TO_SERVER, &CMainFrame::OnUpdateHasImage),
        ui::OnMessage(WM_CLOSE, &CMainFrame::OnClose),
        ui::OnMessage(WM_QUERYENDSESSION, &CMainFrame::OnQueryEndSession),
        ui::OnMessage(WM_ENDSESSION, &CMainFrame::OnEndSession),
        ui::OnCommand(ID_APP_ABOUT, &CMainFrame::OnAppAbout),
    });
    return &map;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCTW& cs)
{
    if (!ui::CFrameWnd::PreCreateWindow(cs))
        return false;
    cs.style |= WS_CLIPCHILDREN;
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    cs.dwExStyle |= WS_EX_ACCEPTFILES;
    cs.cx = kInitialWidth;
    cs.cy = kInitialHeight;
    return true;
}

void CMainFrame::AfterDestroy()
{
    view_.reset();
    ui::CFrameWnd::AfterDestroy();
}

LRESULT CMainFrame::OnCreate(WPARAM, LPARAM)
{
    if (CallDefault() == -1)
        return -1;
    if (!CreateToolBar())
        return -1;
    OpenStartView();
    return 0;
}

bool CMainFrame::CreateToolBar()
{
    const DWORD controlStyle = TBSTYLE_FLAT | CCS_TOP | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    const DWORD style = WS_CHILD | WS_VISIBLE | ui::CBRS_ALIGN_TOP | ui::CBRS_BORDER_BOTTOM | ui::CBRS_TOOLTIPS |
                        ui::CBRS_FLYBY | ui::CBRS_SIZE_DYNAMIC;
    if (!toolBar_.CreateEx(this, controlStyle, style, RECT(), IDW_TOOLBAR) || !toolBar_.LoadToolBar(IDR_MAIN_TOOLBAR))
        return false;
    // Without the strips the buttons keep the images of the toolbar bitmap.
    if (LoadPngImageList(normalImages_, IDP_TOOLBAR_NORMAL))
        toolBar_.SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normalImages_.handle()));
    if (LoadPngImageList(disabledImages_, IDP_TOOLBAR_DISABLED))
        toolBar_.SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledImages_.handle()));
    toolBar_.SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
    for (UINT command : {ID_TOOL_PENCIL, ID_TOOL_HIGHLIGHTER, ID_TOOL_MOSAIC})
        toolBar_.AddButtonStyle(command, BTNS_DROPDOWN);
    return true;
}

void CMainFrame::StartWith(std::unique_ptr<CPaintView> view, int x, int y)
{
    startView_ = std::move(view);
    startPlace_ = POINT{x, y};
}

void CMainFrame::OpenStartView()
{
    if (!startView_ || !ShowView(std::move(startView_), false))
        return;
    FrameGeometry geometry = {};
    geometry.frame = GetWindowRect();
    geometry.view = view_->GetWindowRect();
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &geometry.workArea, 0);
    geometry.image = SIZE{view_->Width(), view_->Height()};
    const FramePlacement placement = PlaceFrameOverImage(geometry, startPlace_.x, startPlace_.y);
    MoveWindow(handle(), placement.left, placement.top, placement.width, placement.height, TRUE);
    if (placement.centre)
        CenterWindow();
}

bool CMainFrame::OpenImage(const kesh::String& path)
{
    if (!ConfirmDiscard(ui::LoadResString(IDS_SAVE_BEFORE_OPEN)))
        return false;
    if (view_) {
        // The old view writes its pen settings as it goes; the new one
        // reads them.
        SetActiveView(nullptr, false);
        view_.reset();
    }
    return ShowView(std::make_unique<CPaintView>(path, settingsKeyPath_), true);
}

bool CMainFrame::ShowView(std::unique_ptr<CPaintView> view, bool initialUpdate)
{
    if (!view->CreateInFrame(this, IDW_PANE_FIRST))
        return false;
    view_ = std::move(view);
    if (initialUpdate)
        SendToDescendants(ui::WM_INITIALUPDATE, 0, 0, true, true);
    SetActiveView(view_.get(), true);
    RecalcLayout(true);
    if (view_->IsMultiFrame())
        ui::AppMessageBox(IDS_MULTI_FRAME_WARNING, MB_OK | MB_ICONEXCLAMATION);
    return true;
}

bool CMainFrame::ConfirmDiscard(const std::wstring& prompt)
{
    if (!view_ || view_->Modified() == 0)
        return true;
    switch (ui::AppMessageBox(prompt, MB_YESNOCANCEL | MB_ICONQUESTION, 0)) {
    case IDNO:
        return true;
    case IDYES:
        // Edits are never thrown away behind a save that did not happen.
        return SaveImageInPlace();
    default:
        return false;
    }
}

kesh::String ChooseImageToOpen()
{
    std::vector<ImageCodecEntry> decoders;
    ListImageDecoders(decoders);
    const OpenFilterPieces pieces = MakeOpenFilterPieces(decoders);
    const std::wstring filter =
        FormatWithArgs(ui::LoadResString(IDS_OPEN_FILTER), {Wide(pieces.allFormats), Wide(pieces.eachFormat)});
    // The read-only box means nothing to an editor that writes only on
    // Save: hidden, as the framework's file dialogs hide it by default.
    ui::FileChooser chooser(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_HIDEREADONLY,
                            filter.c_str(), nullptr);
    return chooser.DoModal() == IDOK ? kesh::String(chooser.GetPathName().c_str()) : kesh::String();
}

void CMainFrame::OnFileOpen()
{
    const kesh::String path = ChooseImageToOpen();
    if (!path.isEmpty())
        OpenImage(path);
}

void CMainFrame::OnFileSave() { SaveImageInPlace(); }

bool CMainFrame::SaveImageInPlace()
{
    if (!view_)
        return false;
    const GUID format = view_->RawFormat();
    ULONG quality = 0;
    if (SameFormat(format, kImageFormatJPEG)) {
        CSaveFormatDlg dialog(false, false, format, settingsKeyPath_);
        if (dialog.DoModal() != IDOK)
            return false;
        quality = static_cast<ULONG>(dialog.quality);
    }
    return view_->SaveImage(view_->GetPath(), quality, format);
}

void CMainFrame::OnSaveToServer()
{
    if (view_)
        StoreToServer(*view_, settingsKeyPath_);
}

void CMainFrame::OnUpdateFileSave(ui::CommandState* state) { state->Enable(view_ && view_->Modified() != 0); }

void CMainFrame::OnUpdateHasImage(ui::CommandState* state) { state->Enable(view_ != nullptr); }

void CMainFrame::OnFileSaveAs()
{
    if (!view_)
        return;
    const bool allowSkip = view_->Modified() == 0 && CanKeepOriginalFormat(view_->RawFormat());
    CSaveFormatDlg dialog(true, allowSkip, view_->PreferredSaveFormat(), settingsKeyPath_);
    if (dialog.DoModal() != IDOK)
        return;
    const GUID format = dialog.skipped ? view_->RawFormat() : dialog.format;
    ImageCodecEntry encoder;
    FindImageEncoder(encoder, format);
    const std::wstring extension = Wide(MakeSaveAsDefaultExtension(encoder));
    const std::wstring filter = Wide(MakeSaveAsFilter(encoder));
    ui::FileChooser chooser(false, extension.c_str(), nullptr,
                            OFN_OVERWRITEPROMPT | OFN_ENABLESIZING | OFN_HIDEREADONLY, filter.c_str(), handle());
    if (chooser.DoModal() != IDOK)
        return;
    const kesh::String target(chooser.GetPathName().c_str());
    if (dialog.skipped) {
        if (!CopyImageFile(view_->GetPath(), target))
            ui::AppMessageBox(IDS_SAVE_FAILED, MB_OK | MB_ICONHAND);
        return;
    }
    view_->SaveImage(target, static_cast<ULONG>(dialog.quality), dialog.format);
}

LRESULT CMainFrame::OnDropFiles(WPARAM w, LPARAM)
{
    HDROP drop = reinterpret_cast<HDROP>(w);
    std::wstring first;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) >= 1) {
        // Sized from the drop itself, so a path longer than MAX_PATH is not
        // cut short.
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::vector<wchar_t> buffer(length + 1, L'\0');
        DragQueryFileW(drop, 0, buffer.data(), length + 1);
        first = buffer.data();
    }
    DragFinish(drop);
    if (!first.empty())
        OpenImage(kesh::String(first.c_str()));
    SetActiveWindow(handle());
    return 0;
}

bool CMainFrame::ConfirmClose()
{
    if (!view_ || view_->Modified() == 0)
        return true;
    return ConfirmDiscard(FormatWithArgs(ui::LoadResString(IDS_SAVE_BEFORE_CLOSE), {Wide(view_->GetPath())}));
}

LRESULT CMainFrame::OnClose(WPARAM w, LPARAM l)
{
    if (!ConfirmClose())
        return 0;
    return ui::CFrameWnd::OnClose(w, l);
}

LRESULT CMainFrame::OnQueryEndSession(WPARAM, LPARAM)
{
    // Cancel keeps the session: Windows lets a program refuse its end.
    return ConfirmClose() ? TRUE : FALSE;
}

LRESULT CMainFrame::OnEndSession(WPARAM w, LPARAM)
{
    // The system ends the program once this returns, without closing the
    // window: what the window's end writes is written now.
    const bool ending = w != FALSE;
    if (ending && view_)
        view_->SavePenSettings();
    return 0;
}

LRESULT CMainFrame::OnGetMinMaxInfo(WPARAM, LPARAM l)
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(l);
    info->ptMinTrackSize.x = kFrameMinimumSize;
    info->ptMinTrackSize.y = kFrameMinimumSize;
    return CallDefault();
}

LRESULT CMainFrame::OnEraseBkgnd(WPARAM w, LPARAM)
{
    const RECT client = GetClientRect();
    FillRect(reinterpret_cast<HDC>(w), &client, GetSysColorBrush(COLOR_3DDKSHADOW));
    return TRUE;
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(handle());
    dialog.DoModal();
}

bool CMainFrame::OnNotify(WPARAM w, LPARAM l, LRESULT* result)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(l);
    if (header->code == TBN_DROPDOWN) {
        const NMTOOLBARW* button = reinterpret_cast<const NMTOOLBARW*>(l);
        ShowPenPopup(static_cast<UINT>(button->iItem), button->rcButton);
        *result = TBDDRET_DEFAULT;
        return true;
    }
    return ui::CFrameWnd::OnNotify(w, l, result);
}

void CMainFrame::ShowPenPopup(UINT command, RECT button)
{
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    params.rcExclude = button;
    MapWindowPoints(toolBar_.handle(), nullptr, reinterpret_cast<POINT*>(&params.rcExclude), 2);
    SetForegroundWindow(handle());
    const int index = PenPopupIndex(command);
    if (index < 0)
        return;
    // Loaded afresh each time: the view fills the custom items' texts in
    // when the pop-up opens.
    ui::Menu menu;
    if (!menu.LoadMenu(IDR_PEN_POPUPS))
        return;
    // From the button's bottom edge: where the exclusion rectangle is
    // ignored (Wine), a pop-up placed at its top would cover the button.
    ui::TrackPopup(menu.GetSubMenu(index), TPM_VERTICAL, params.rcExclude.left, params.rcExclude.bottom, handle(),
                   &params);
}
