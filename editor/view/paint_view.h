#pragma once

#include "editor/core/pen.h"
#include "editor/core/pen_settings.h"
#include "editor/core/stroke_history.h"
#include "editor/view/view_commands.h"
#include "kesh/string.h"
#include "ui/resource_ids.h"
#include "ui/scroll_view.h"

#include <windows.h>

// The one view of the editor's main frame: it holds the opened image, the
// bitmaps it is shown from, the stroke being drawn, the undo and redo lists
// and the tool state. There is no document object; the frame reads the
// view's state to decide about saving.
//
// Life of a view:
//   auto view = std::make_unique<CPaintView>(path);
//   view->Load();                          // optional: before any window exists
//   if (!view->CreateInFrame(frame)) { view.reset(); ... }  // image unreadable:
//                                                            // the user was told
//   frame->SetActiveView(view.get());
//   view->SendMessage(ui::WM_INITIALUPDATE);  // scroll sizes (LoadFrame does this
//                                             // for views that exist before it)
//   ... frame commands read Modified(), RawFormat(), PreferredSaveFormat(),
//       IsMultiFrame() and call SaveImage() ...
//   view.reset();  // destroys the window, writes the pen settings back
//
// The frame owns the object; the window goes with it at the latest. A new
// image means a new view: destroy the old one first, so that the next one
// reads the pen settings the old one wrote.
class CPaintView : public ui::CScrollView {
public:
    // Stores path (the image file, UTF-8) and reads the pen settings from
    // the key at settingsKeyPath; the image is read by CreateInFrame.
    // Tests give a key of their own.
    explicit CPaintView(const kesh::String& path, const kesh::String& settingsKeyPath = kSettingsKeyPath);
    // Destroys the window if there still is one, releases the strokes and
    // writes the pen settings back.
    ~CPaintView() override;
    // Writes the pen settings back now (the session ends, and with it the
    // program, before this object goes).
    void SavePenSettings() const;

    // Reads the image and makes the bitmaps it is shown from; needs no
    // window, so the program reads a picture before any of its windows
    // exists. False when the image cannot be read or is too large for the
    // editor (LoadImageFile), whatever the failure (an exception included):
    // the user has been told ("打开文件失败", in a box owned by the desktop)
    // and the object is only to be destroyed.
    bool Load();

    // Reads the image unless Load did, then makes the view a child of frame
    // with the given child id, whose title then shows the file name,
    // unmodified. False when the image cannot be read (Load) or the window
    // cannot be made; the object is only to be destroyed.
    bool CreateInFrame(ui::CWnd* frame, UINT id = IDW_PANE_FIRST);

    // The image file's path as handed to the constructor.
    kesh::String GetPath() const { return path_; }

    // Writes the display bitmap (image with every undoable stroke) to target
    // in format through the GDI+ encoder; quality reaches the encoder for
    // JPEG only. A failure shows its message (IDS_SAVE_FORMAT_UNSUPPORTED,
    // IDS_SAVE_NO_BITMAP, IDS_SAVE_FAILED) and returns false with the
    // modified counter kept.
    // Saving over the image's own file (same file by its normalised path,
    // letter case ignored) clears the modified counter.
    bool SaveImage(const kesh::String& target, ULONG quality, const GUID& format);

    // The modified counter: 0 = not modified; +1 per recorded stroke and per
    // redo, -1 per undo. SetModified stores it and retitles the frame.
    int Modified() const { return history_.Modified(); }
    void SetModified(int counter);

    // Set when the file holds more than one frame (only the first is shown
    // and saved).
    bool IsMultiFrame() const { return multiFrame_; }
    // The opened file's format as its header shows it (GDI+'s raw format for
    // a metafile); GUID_NULL before loading.
    const GUID& RawFormat() const { return rawFormat_; }
    // The format saving proposes: the raw format, or JPEG for a file of more
    // than 0.8 bytes per pixel. GUID_NULL before loading.
    const GUID& PreferredSaveFormat() const { return preferredFormat_; }
    int Width() const { return size_.cx; }
    int Height() const { return size_.cy; }
    // The bitmap the view shows, copies and saves; owned by the view, never
    // selected into a DC between messages.
    HBITMAP DisplayBitmap() const { return history_.Display(); }

    // Tool kind (PenKind) for the left button and the pen values.
    int ToolKind() const { return toolKind_; }
    const PenSettings& Settings() const { return settings_; }
    const StrokeHistory& History() const { return history_; }
    // True while a stroke (or a pan) is in progress.
    bool IsTracking() const { return bool(stroke_); }

    // Top-left of the image in the view's scrolled coordinates: a margin of
    // 10 pixels, centred where the client area is larger than image plus
    // margins.
    POINT ImageOrigin() const;

    void OnInitialUpdate() override;
    void OnDraw(HDC dc) override;

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    // Window messages.
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnRButtonDown(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnButtonUp(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnPanBy(WPARAM, LPARAM);

    // Undo and redo (paint_view.cpp).
    void OnUndo();
    void OnUpdateUndo(ui::CommandState* state);
    void OnRedo();
    void OnUpdateRedo(ui::CommandState* state);

    // Tools, pen values and the clipboard (paint_view_commands.cpp).
    void OnPenCommand(UINT id);
    void OnUpdatePenCommand(ui::CommandState* state);
    void OnCustomColour();
    void OnCustomWidth();
    void OnCustomStrength();
    void OnUpdateCustomCommand(ui::CommandState* state);
    void OnCopy();
    void OnUpdateCopy(ui::CommandState* state);
    DWORD PenFieldValue(PenField field) const;
    void SetPenField(PenField field, DWORD value);

    void Retitle(bool open);
    // Starts a stroke of kind at a button-down; nothing while the view holds
    // the capture already.
    void BeginStroke(int kind, LPARAM point);
    void TrackStroke(LPARAM point);

    kesh::String path_;
    kesh::String settingsKeyPath_;
    GUID rawFormat_ = {};
    GUID preferredFormat_ = {};
    bool multiFrame_ = false;
    SIZE size_ = {0, 0};
    int toolKind_ = kPenHand;
    PenPtr stroke_;
    PenSettings settings_ = {};
    StrokeHistory history_;
};
