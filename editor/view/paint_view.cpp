#include "editor/view/paint_view.h"

#include "editor/io/image_loader.h"
#include "editor/io/image_saver.h"
#include "editor/core/placement.h"
#include "editor/resource.h"
#include "editor/core/view_cursor.h"
#include "editor/core/view_title.h"
#include "kesh/registry.h"
#include "kesh/handles.h"
#include "ui/shell_seams.h"
#include "ui/strings.h"

#include <windowsx.h>

namespace {

POINT pointOf(LPARAM l) { return POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}; }

// A client DC whose logical (0, 0) is the image's top-left pixel on the
// screen; the pens draw on it in image coordinates.
class StrokeDC {
public:
    StrokeDC(HWND view, POINT offset) : dc_(view) { SetViewportOrgEx(dc_, offset.x, offset.y, nullptr); }
    operator HDC() const { return dc_; }

private:
    kesh::win::ClientDC dc_;
};

}  // namespace

CPaintView::CPaintView(const kesh::String& path, const kesh::String& settingsKeyPath)
    : path_(path), settingsKeyPath_(settingsKeyPath)
{
    settings_.Load(*kesh::app::openRegistryKey(settingsKeyPath_, true));
}

CPaintView::~CPaintView()
{
    // The window goes while this object is whole, so that its own destroy
    // handler still runs.
    if (handle())
        DestroyWindow();
    history_.ReleaseStrokes();
    SavePenSettings();
}

void CPaintView::SavePenSettings() const { settings_.Save(*kesh::app::openRegistryKey(settingsKeyPath_, false)); }

const ui::MessageMap* CPaintView::GetMessageMap() const
{
    static const ui::MessageMap map(CScrollView::GetMessageMap(), {
        ui::OnMessage(WM_DESTROY, &CPaintView::OnDestroy),
        ui::OnMessage(WM_ERASEBKGND, &CPaintView::OnEraseBkgnd),
        ui::OnMessage(WM_SIZE, &CPaintView::OnSize),
        ui::OnMessage(WM_LBUTTONDOWN, &CPaintView::OnLButtonDown),
        ui::OnMessage(WM_RBUTTONDOWN, &CPaintView::OnRButtonDown),
        // The window class reports a quick second click as a double click;
        // it is a press like any other, or every second dot would be lost.
        ui::OnMessage(WM_LBUTTONDBLCLK, &CPaintView::OnLButtonDown),
        ui::OnMessage(WM_RBUTTONDBLCLK, &CPaintView::OnRButtonDown),
        ui::OnMessage(WM_MOUSEMOVE, &CPaintView::OnMouseMove),
        ui::OnMessage(WM_LBUTTONUP, &CPaintView::OnButtonUp),
        ui::OnMessage(WM_RBUTTONUP, &CPaintView::OnButtonUp),
        ui::OnMessage(WM_CAPTURECHANGED, &CPaintView::OnCaptureChanged),
        ui::OnMessage(WM_KEYDOWN, &CPaintView::OnKeyDown),
        ui::OnMessage(WM_SETCURSOR, &CPaintView::OnSetCursor),
        ui::OnMessage(kPanByMessage, &CPaintView::OnPanBy),

        ui::OnCommand(ID_EDIT_UNDO, &CPaintView::OnUndo),
        ui::OnUpdate(ID_EDIT_UNDO, &CPaintView::OnUpdateUndo),
        ui::OnCommand(ID_EDIT_REDO, &CPaintView::OnRedo),
        ui::OnUpdate(ID_EDIT_REDO, &CPaintView::OnUpdateRedo),

        // One entry per id: the frame's own commands lie between them.
        ui::OnCommandRange(ID_TOOL_HAND, ID_TOOL_HAND, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_TOOL_PENCIL, ID_TOOL_PENCIL, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_TOOL_HIGHLIGHTER, ID_TOOL_HIGHLIGHTER, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_TOOL_MOSAIC, ID_TOOL_MOSAIC, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_PENCIL_BLACK, ID_PENCIL_BLUE, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_PENCIL_THIN, ID_PENCIL_THIN, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_PENCIL_MEDIUM, ID_PENCIL_THICK, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_HIGHLIGHTER_YELLOW, ID_HIGHLIGHTER_YELLOW, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_HIGHLIGHTER_PURPLE, ID_HIGHLIGHTER_CYAN, &CPaintView::OnPenCommand),
        ui::OnCommandRange(ID_MOSAIC_WEAK, ID_MOSAIC_STRONG, &CPaintView::OnPenCommand),
        ui::OnUpdate(ID_TOOL_HAND, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdate(ID_TOOL_PENCIL, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdate(ID_TOOL_HIGHLIGHTER, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdate(ID_TOOL_MOSAIC, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdateRange(ID_PENCIL_BLACK, ID_PENCIL_BLUE, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdate(ID_PENCIL_THIN, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdateRange(ID_PENCIL_MEDIUM, ID_PENCIL_THICK, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdate(ID_HIGHLIGHTER_YELLOW, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdateRange(ID_HIGHLIGHTER_PURPLE, ID_HIGHLIGHTER_CYAN, &CPaintView::OnUpdatePenCommand),
        ui::OnUpdateRange(ID_MOSAIC_WEAK, ID_MOSAIC_STRONG, &CPaintView::OnUpdatePenCommand),

        ui::OnCommand(ID_PENCIL_CUSTOM_COLOR, &CPaintView::OnCustomColour),
        ui::OnCommand(ID_PENCIL_CUSTOM_WIDTH, &CPaintView::OnCustomWidth),
        ui::OnCommand(ID_MOSAIC_CUSTOM, &CPaintView::OnCustomStrength),
        ui::OnUpdate(ID_PENCIL_CUSTOM_COLOR, &CPaintView::OnUpdateCustomCommand),
        ui::OnUpdate(ID_PENCIL_CUSTOM_WIDTH, &CPaintView::OnUpdateCustomCommand),
        ui::OnUpdate(ID_MOSAIC_CUSTOM, &CPaintView::OnUpdateCustomCommand),

        ui::OnCommand(ID_EDIT_COPY, &CPaintView::OnCopy),
        ui::OnUpdate(ID_EDIT_COPY, &CPaintView::OnUpdateCopy),
    });
    return &map;
}

bool CPaintView::CreateInFrame(ui::CWnd* frame, UINT id)
{
    // The picture first: one that cannot be opened is told about while no
    // window of it exists, so none ever shows empty.
    if (!history_.Display() && !Load())
        return false;
    const RECT none = {};
    if (!Create(WS_CHILD | WS_VISIBLE | WS_BORDER, none, frame, id))
        return false;
    Retitle(true);
    return true;
}

// ---- Loading, title and display ----

bool CPaintView::Load()
{
    LoadedImage image;
    bool loaded = false;
    try {
        loaded = LoadImageFile(path_, image) && history_.Reset(std::move(image.bitmap));
    } catch (...) {
        // Memory for a picture's header or bitmaps: the picture is not opened
        // and nothing else is the worse for it.
        loaded = false;
    }
    if (!loaded) {
        // Owned by the desktop: the frame may not be shown yet.
        ui::Shell().MessageBox(GetDesktopWindow(), L"打开文件失败", ui::LoadResString(IDS_APP_TITLE), MB_ICONHAND);
        return false;
    }
    rawFormat_ = image.rawFormat;
    preferredFormat_ = image.preferredFormat;
    size_ = image.size;
    multiFrame_ = image.multiFrame;
    return true;
}

void CPaintView::Retitle(bool open)
{
    HWND frame = GetParent();
    if (!frame)
        return;
    const kesh::String name(ui::LoadResString(IDR_MAINFRAME).c_str());
    const kesh::String title = open ? ViewTitle(name, history_.Modified(), path_) : name;
    ::SetWindowTextW(frame, kesh::Wide(title).c_str());
}

LRESULT CPaintView::OnDestroy(WPARAM, LPARAM)
{
    Retitle(false);
    return CallDefault();
}

void CPaintView::SetModified(int counter)
{
    history_.SetModified(counter);
    Retitle(true);
}

void CPaintView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    SetScrollExtent(ScrollSizesFor(size_).total);
}

POINT CPaintView::ImageOrigin() const
{
    const RECT client = GetClientRect();
    return ImageOriginFor(SIZE{client.right - client.left, client.bottom - client.top}, size_);
}

void CPaintView::OnDraw(HDC dc)
{
    const POINT origin = ImageOrigin();
    // Only the part that needs painting is copied, so a repaint costs what
    // the window shows, not what the image holds.
    const RECT image = {origin.x, origin.y, origin.x + size_.cx, origin.y + size_.cy};
    RECT wanted = image;
    RECT clip = {};
    const int clipKind = GetClipBox(dc, &clip);
    if (clipKind == NULLREGION)
        return;
    if (clipKind != ERROR && !IntersectRect(&wanted, &image, &clip))
        return;
    kesh::win::MemoryDC memory;
    kesh::win::SelectObjectGuard selected(memory, history_.Display());
    BitBlt(dc, wanted.left, wanted.top, wanted.right - wanted.left, wanted.bottom - wanted.top, memory,
           wanted.left - origin.x, wanted.top - origin.y, SRCCOPY);
}

LRESULT CPaintView::OnEraseBkgnd(WPARAM w, LPARAM)
{
    HDC dc = reinterpret_cast<HDC>(w);
    const POINT origin = ImageOrigin();
    const POINT scroll = ScrollPosition();
    const int left = origin.x - scroll.x;
    const int top = origin.y - scroll.y;
    const RECT client = GetClientRect();
    kesh::win::SaveDCGuard saved(dc);
    ExcludeClipRect(dc, left, top, left + size_.cx, top + size_.cy);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
    return TRUE;
}

LRESULT CPaintView::OnSize(WPARAM w, LPARAM l)
{
    const LRESULT result = CScrollView::OnSize(w, l);
    // The picture's place follows the client size, and the window keeps
    // what it showed where it kept its size: all of it is painted anew, or
    // the old picture stays beside the new one.
    Invalidate(true);
    return result;
}

// ---- Strokes ----

void CPaintView::BeginStroke(int kind, LPARAM l)
{
    if (GetCapture() == handle())
        return;
    SetCapture(handle());
    stroke_ = MakePen(settings_.ForKind(kind), static_cast<PenKind>(kind));
    TrackStroke(l);
}

void CPaintView::TrackStroke(LPARAM l)
{
    if (!stroke_)
        return;
    const POINT origin = ImageOrigin();
    const POINT scroll = ScrollPosition();
    const POINT offset = {origin.x - scroll.x, origin.y - scroll.y};
    const POINT client = pointOf(l);
    const POINT inImage = {client.x - offset.x, client.y - offset.y};
    const RECT clip = {0, 0, size_.cx, size_.cy};
    // Hold the stroke: a pan may scroll, and scrolling may repaint.
    const PenPtr stroke = stroke_;
    StrokeDC dc(handle(), offset);
    stroke->Track(history_.Display(), dc, inImage, clip);
}

LRESULT CPaintView::OnLButtonDown(WPARAM, LPARAM l)
{
    BeginStroke(toolKind_, l);
    return CallDefault();
}

LRESULT CPaintView::OnRButtonDown(WPARAM, LPARAM l)
{
    if (GetCapture() != handle()) {
        if (HCURSOR hand = LoadCursorW(ui::ResourceInstance(), MAKEINTRESOURCEW(CursorIdFor(kPenHand, 0))))
            SetCursor(hand);
        BeginStroke(kPenHand, l);
    }
    return CallDefault();
}

LRESULT CPaintView::OnMouseMove(WPARAM, LPARAM l)
{
    if (GetCapture() == handle())
        TrackStroke(l);
    return CallDefault();
}

LRESULT CPaintView::OnButtonUp(WPARAM, LPARAM l)
{
    if (GetCapture() == handle()) {
        if (stroke_) {
            TrackStroke(l);
            if (stroke_->HasContent()) {
                const PenPtr stroke = stroke_;
                history_.Record(stroke);
                SetModified(history_.Modified());
                Invalidate(true);
                stroke_.reset();
            }
        }
        // A stroke still held here (a pan) goes with the capture.
        ReleaseCapture();
    }
    return CallDefault();
}

LRESULT CPaintView::OnCaptureChanged(WPARAM, LPARAM l)
{
    if (reinterpret_cast<HWND>(l) != handle() && stroke_) {
        stroke_.reset();
        Invalidate(true);
    }
    return CallDefault();
}

LRESULT CPaintView::OnKeyDown(WPARAM w, LPARAM)
{
    if (w == VK_ESCAPE) {
        if (GetCapture() == handle())
            ReleaseCapture();
    } else {
        const SIZE step = ArrowKeyStep(static_cast<UINT>(w), PageSize(), LineSize());
        if ((step.cx != 0 || step.cy != 0) && OnScrollBy(step, true))
            UpdateWindow(handle());
    }
    return CallDefault();
}

LRESULT CPaintView::OnSetCursor(WPARAM, LPARAM l)
{
    if (LOWORD(l) == HTCLIENT) {
        const int kind = stroke_ ? stroke_->GetKind() : toolKind_;
        const int id = CursorIdFor(kind, settings_.highlighter.colour);
        if (id != 0) {
            if (HCURSOR cursor = LoadCursorW(ui::ResourceInstance(), MAKEINTRESOURCEW(id))) {
                SetCursor(cursor);
                return TRUE;
            }
        }
    }
    return CallDefault();
}

LRESULT CPaintView::OnPanBy(WPARAM w, LPARAM l)
{
    OnScrollBy(SIZE{static_cast<LONG>(static_cast<INT_PTR>(w)), static_cast<LONG>(l)}, true);
    return 0;
}

// ---- Undo and redo ----

void CPaintView::OnUndo()
{
    if (!history_.Undo())
        return;
    SetModified(history_.Modified());
    Invalidate(true);
}

void CPaintView::OnUpdateUndo(ui::CommandState* state) { state->Enable(history_.CanUndo()); }

void CPaintView::OnRedo()
{
    if (!history_.Redo())
        return;
    SetModified(history_.Modified());
    Invalidate(true);
}

void CPaintView::OnUpdateRedo(ui::CommandState* state) { state->Enable(history_.CanRedo()); }

// ---- Saving ----

bool CPaintView::SaveImage(const kesh::String& target, ULONG quality, const GUID& format)
{
    const SaveImageResult result = SaveBitmapAsImage(history_.Display(), target, quality, format);
    if (result != SaveImageResult::Saved) {
        ui::AppMessageBox(static_cast<UINT>(SaveFailureMessageId(result)), MB_OK | MB_ICONHAND);
        return false;
    }
    if (IsSameImagePath(target, path_))
        SetModified(0);
    return true;
}
