#pragma once

#include "kesh/handles.h"
#include "ui/resource_ids.h"
#include "ui/window.h"

#include <commctrl.h>

namespace ui {

// Bar styles of CToolBar::CreateEx, in the low word of its window styles.
// Only CBRS_TOOLTIPS changes anything: the bar is always laid out by its
// frame, at the top.
constexpr DWORD CBRS_TOOLTIPS = 0x0001;
constexpr DWORD CBRS_FLYBY = 0x0002;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_ALIGN_TOP = 0x0008;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0010;

// The common toolbar control, laid out from a toolbar layout resource.
// At idle its buttons are enabled and checked by the update handlers of
// the parent's command routing; a button nobody handles is disabled.
class CToolBar : public CWnd {
public:
    // ctrlStyle: TBSTYLE_/CCS_ styles; style: window styles plus CBRS_ bits
    // (CBRS_TOOLTIPS gives tool tips).
    bool CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                  DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, RECT borders = RECT(),
                  UINT id = IDW_TOOLBAR);
    // Buttons from layout resource id; images from the bitmap of the same id
    // when there is one.
    bool LoadToolBar(UINT id);

    int ButtonCount() const;
    UINT CommandAt(int index) const;
    int IndexOf(UINT id) const;
    // Adds BTNS_ styles (such as BTNS_DROPDOWN) to the button of command id.
    bool AddButtonStyle(UINT id, BYTE style);
    void SetExtendedStyle(DWORD style);

    // Sets every button's state from target's update handlers.
    void UpdateButtons(CommandTarget& target, bool disableUnhandled);

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnIdleUpdate(WPARAM, LPARAM);
};

// An image list, destroyed with the object unless detached.
class ImageList {
public:
    bool Create(int cx, int cy, UINT flags, int initial, int grow)
    {
        handle_.Attach(ImageList_Create(cx, cy, flags, initial, grow));
        return handle_.isValid();
    }
    // The index of the first new image, -1 on failure.
    int Add(HBITMAP image, HBITMAP mask = nullptr) { return ImageList_Add(handle_, image, mask); }
    int GetImageCount() const { return ImageList_GetImageCount(handle_); }
    HIMAGELIST Detach() { return handle_.Detach(); }
    HIMAGELIST handle() const { return handle_; }

private:
    kesh::win::ImageListHandle handle_;
};

}  // namespace ui
