// Windows bound to their objects: subclassing a control and giving it back,
// owner-drawn buttons, an object and its window going together, control
// notifications apart from commands, the tooltip control.
#include "ui/controls.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>

namespace {

// A control bound by subclassing sees its messages first and gets the
// hook before; unbinding gives the window its own procedure back.
class CountingButton : public ui::CButton {
public:
    int preSubclassCalls = 0;
    int clicks = 0;
    int draws = 0;
    void PreSubclassWindow() override { ++preSubclassCalls; }
    void DrawItem(DRAWITEMSTRUCT*) override { ++draws; }

protected:
    const ui::MessageMap* GetMessageMap() const override
    {
        static const ui::MessageMap map(nullptr, {
            ui::OnMessage(WM_LBUTTONDOWN, &CountingButton::OnLButtonDown),
        });
        return &map;
    }
    LRESULT OnLButtonDown(WPARAM, LPARAM)
    {
        ++clicks;
        return CallDefault();
    }
};

TEST(UiWindows, SubclassingAControlAndGivingItBack)
{
    ui::CWnd host;
    const RECT rc = {0, 0, 200, 100};
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW, rc, nullptr, 0));
    HWND button = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, host.handle(),
                                  reinterpret_cast<HMENU>(7), nullptr, nullptr);
    const LONG_PTR original = GetWindowLongPtrW(button, GWLP_WNDPROC);
    CountingButton wrapper;
    ASSERT_TRUE(wrapper.SubclassChild(7, &host));
    EXPECT_EQ(wrapper.preSubclassCalls, 1);
    EXPECT_EQ(ui::CWnd::ObjectOf(button), &wrapper);
    EXPECT_FALSE(CountingButton().Subclass(button)) << "one object per window";
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(wrapper.clicks, 1);
    EXPECT_EQ(wrapper.Unsubclass(), button);
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), original);
    EXPECT_EQ(ui::CWnd::ObjectOf(button), nullptr);
}

TEST(UiWindows, OwnerDrawnButtonDrawsItself)
{
    ui::CWnd host;
    const RECT rc = {0, 0, 200, 100};
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW, rc, nullptr, 0));
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 50, 20,
                                  host.handle(), reinterpret_cast<HMENU>(8), nullptr, nullptr);
    CountingButton wrapper;
    ASSERT_TRUE(wrapper.SubclassChild(8, &host));
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 8;
    item.hwndItem = button;
    EXPECT_EQ(host.SendMessage(WM_DRAWITEM, 8, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(wrapper.draws, 1);
}

TEST(UiWindows, DestroyingTheObjectDestroysItsWindow)
{
    HWND hwnd = nullptr;
    {
        ui::CWnd wnd;
        const RECT rc = {0, 0, 10, 10};
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"short-lived", WS_POPUP, rc, nullptr, 0));
        hwnd = wnd.handle();
        EXPECT_EQ(ui::CWnd::ObjectOf(hwnd), &wnd);
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(ui::CWnd::ObjectOf(hwnd), nullptr);
}

// A window whose object goes as soon as the window is gone, while the
// handler that destroyed the window has not returned yet (as when a frame
// drops its view in AfterDestroy and the view's own handler closed the
// frame).
class DoomedWindow : public ui::CWnd {
public:
    static constexpr UINT WM_CLOSE_NOW = WM_APP + 7;
    static unsigned char storage[];
    static constexpr unsigned char kFreed = 0xA5;

    void AfterDestroy() override { release(this); }

protected:
    const ui::MessageMap* GetMessageMap() const override
    {
        static const ui::MessageMap map(nullptr, {
            ui::OnMessage(WM_CLOSE_NOW, &DoomedWindow::OnCloseNow),
        });
        return &map;
    }
    LRESULT OnCloseNow(WPARAM, LPARAM)
    {
        DestroyWindow();
        return 5;
    }

private:
    static void release(DoomedWindow* wnd)
    {
        wnd->~DoomedWindow();
        std::memset(storage, kFreed, sizeof(DoomedWindow));
    }
};
alignas(DoomedWindow) unsigned char DoomedWindow::storage[sizeof(DoomedWindow)];

TEST(UiWindows, NothingTouchesAnObjectDeletedWhileItsHandlerRuns)
{
    DoomedWindow* wnd = new (DoomedWindow::storage) DoomedWindow;
    const RECT rc = {0, 0, 10, 10};
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, L"doomed", WS_POPUP, rc, nullptr, 0));
    HWND hwnd = wnd->handle();
    EXPECT_EQ(SendMessageW(hwnd, DoomedWindow::WM_CLOSE_NOW, 0, 0), 5);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(ui::CWnd::ObjectOf(hwnd), nullptr);
    size_t written = 0;
    for (unsigned char byte : DoomedWindow::storage)
        written += byte != DoomedWindow::kFreed;
    EXPECT_EQ(written, 0u) << "the freed object was written to after its handler returned";
}

// A window with a command handler and a control notification handler for
// the same id, as a list or combo box beside a menu command would have.
class PickHost : public ui::CWnd {
public:
    static constexpr UINT kId = 9;
    int commands = 0;
    int selectionChanges = 0;

protected:
    const ui::MessageMap* GetMessageMap() const override
    {
        static const ui::MessageMap map(nullptr, {
            ui::OnCommand(kId, &PickHost::OnPick),
            ui::OnControl(CBN_SELCHANGE, kId, &PickHost::OnSelectionChange),
        });
        return &map;
    }
    void OnPick() { ++commands; }
    void OnSelectionChange() { ++selectionChanges; }
};

TEST(UiWindows, ControlNotificationWithCodeOneIsNoCommand)
{
    // CBN_SELCHANGE and LBN_SELCHANGE are 1, the code accelerators carry;
    // only a click (0) or a menu or accelerator (no control) is a command.
    PickHost host;
    const RECT rc = {0, 0, 200, 100};
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW, rc, nullptr, 0));
    HWND combo = CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 100, 80,
                                 host.handle(), reinterpret_cast<HMENU>(PickHost::kId), nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    host.SendMessage(WM_COMMAND, MAKEWPARAM(PickHost::kId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(host.selectionChanges, 1);
    EXPECT_EQ(host.commands, 0);
    host.SendMessage(WM_COMMAND, MAKEWPARAM(PickHost::kId, 1), 0);
    EXPECT_EQ(host.commands, 1) << "an accelerator";
    host.SendMessage(WM_COMMAND, MAKEWPARAM(PickHost::kId, BN_CLICKED), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(host.commands, 2) << "a click";
}

TEST(UiControls, ToolTipTakesToolsWithTheX64StructSize)
{
    ui::CWnd host;
    const RECT rc = {0, 0, 200, 100};
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"tips", WS_OVERLAPPEDWINDOW, rc, nullptr, 0));
    ui::CButton button;
    ASSERT_TRUE(button.CreateEx(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 20}, host.handle(), 5));
    ui::CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&host, TTS_ALWAYSTIP));
    EXPECT_TRUE(tips.AddTool(&button, L"截取屏幕"));
    EXPECT_EQ(tips.GetToolCount(), 1);
}

}  // namespace
