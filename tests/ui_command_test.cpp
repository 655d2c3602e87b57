// Command routing, command update (menus, accelerators, toolbar at idle) and
// the frame's toolbar tool tips.
#include "tests/ui_test_ids.h"
#include "tests/ui_test_support.h"

#include "kesh/handles.h"
#include "ui/frame.h"
#include "ui/menu.h"
#include "ui/resource_ids.h"
#include "ui/scroll_view.h"
#include "ui/toolbar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

class RoutingApp : public ui::CWinApp {
protected:
    const ui::MessageMap* GetMessageMap() const override
    {
        static const ui::MessageMap map(CWinApp::GetMessageMap(), {
            ui::OnCommand(ID_TEST_ALL_HANDLE, &RoutingApp::OnAll),
            ui::OnCommand(ID_TEST_FRAME_AND_APP, &RoutingApp::OnFrameAndApp),
            ui::OnCommand(ID_TEST_APP_ONLY, &RoutingApp::OnAppOnly),
        });
        return &map;
    }
    void OnAll() { calls.push_back("app:all"); }
    void OnFrameAndApp() { calls.push_back("app:frame-and-app"); }
    void OnAppOnly() { calls.push_back("app:app-only"); }
};

class RoutingView : public ui::CScrollView {
public:
    void OnDraw(HDC) override {}
    int initialUpdates = 0;
    void OnInitialUpdate() override { ++initialUpdates; }

protected:
    const ui::MessageMap* GetMessageMap() const override
    {
        static const ui::MessageMap map(CScrollView::GetMessageMap(), {
            ui::OnCommand(ID_TEST_ALL_HANDLE, &RoutingView::OnAll),
        });
        return &map;
    }
    void OnAll() { calls.push_back("view:all"); }
};

class RoutingFrame : public ui::CFrameWnd {
public:
    bool saveEnabled = false;
    int customWidth = 7;
    ui::CToolBar toolbar;
    std::unique_ptr<RoutingView> view;

    bool AddView()
    {
        view = std::make_unique<RoutingView>();
        const RECT none = {};
        if (!view->Create(WS_CHILD | WS_VISIBLE, none, this, IDW_PANE_FIRST))
            return false;
        SetActiveView(view.get());
        RecalcLayout();
        return true;
    }

protected:
    const ui::MessageMap* GetMessageMap() const override
    {
        static const ui::MessageMap map(CFrameWnd::GetMessageMap(), {
            ui::OnMessage(WM_CREATE, &RoutingFrame::OnCreate),
            ui::OnCommand(ID_TEST_ALL_HANDLE, &RoutingFrame::OnAll),
            ui::OnCommand(ID_TEST_FRAME_AND_APP, &RoutingFrame::OnFrameAndApp),
            ui::OnCommand(ID_FILE_SAVE, &RoutingFrame::OnSave),
            ui::OnUpdate(ID_FILE_SAVE, &RoutingFrame::OnUpdateSave),
            ui::OnCommand(ID_TEST_DISABLED, &RoutingFrame::OnDisabled),
            ui::OnUpdate(ID_TEST_DISABLED, &RoutingFrame::OnUpdateDisabled),
            ui::OnCommand(ID_TEST_CHECKED, &RoutingFrame::OnChecked),
            ui::OnUpdate(ID_TEST_CHECKED, &RoutingFrame::OnUpdateChecked),
            ui::OnCommand(ID_TEST_CUSTOM_TEXT, &RoutingFrame::OnChecked),
            ui::OnUpdate(ID_TEST_CUSTOM_TEXT, &RoutingFrame::OnUpdateCustomText),
            ui::OnCommand(ID_FILE_OPEN, &RoutingFrame::OnOpen),
        });
        return &map;
    }
    LRESULT OnCreate(WPARAM, LPARAM)
    {
        if (CallDefault() == -1)
            return -1;
        if (!toolbar.CreateEx(this, TBSTYLE_FLAT | CCS_TOP | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                              WS_CHILD | WS_VISIBLE | ui::CBRS_ALIGN_TOP | ui::CBRS_TOOLTIPS) ||
            !toolbar.LoadToolBar(IDR_TEST_FRAME))
            return -1;
        return 0;
    }
    void OnAll() { calls.push_back("frame:all"); }
    void OnFrameAndApp() { calls.push_back("frame:frame-and-app"); }
    void OnSave() { calls.push_back("frame:save"); }
    void OnUpdateSave(ui::CommandState* cmd) { cmd->Enable(saveEnabled); }
    void OnDisabled() { calls.push_back("frame:disabled"); }
    void OnUpdateDisabled(ui::CommandState* cmd) { cmd->Enable(false); }
    void OnChecked() { calls.push_back("frame:checked"); }
    void OnUpdateChecked(ui::CommandState* cmd) { cmd->SetCheck(1); }
    void OnOpen() { calls.push_back("frame:open"); }
    void OnUpdateCustomText(ui::CommandState* cmd)
    {
        if (!cmd->menu())
            return;
        wchar_t format[64] = {};
        GetMenuStringW(cmd->menu(), cmd->id(), format, 64, MF_BYCOMMAND);
        wchar_t text[64] = {};
        swprintf(text, 64, format, customWidth);
        cmd->SetText(text);
    }
};

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        ASSERT_TRUE(frame.LoadFrame(IDR_TEST_FRAME));
        app.mainWindow = &frame;
        ASSERT_TRUE(frame.AddView());
        ShowWindow(frame.handle(), SW_SHOW);
        uitest::pump();
    }
    void TearDown() override
    {
        frame.DestroyWindow();
        uitest::takeQuit();  // the main frame's end posts one
        app.mainWindow = nullptr;
    }
    void Command(UINT id, WORD code = 0) { frame.SendMessage(WM_COMMAND, MAKEWPARAM(id, code), 0); }

    RoutingApp app;
    RoutingFrame frame;
};

TEST_F(CommandTest, CommandsGoToTheViewThenTheFrameThenTheApplication)
{
    struct Case {
        UINT id;
        const char* handler;
    } cases[] = {
        {ID_TEST_ALL_HANDLE, "view:all"},
        {ID_TEST_FRAME_AND_APP, "frame:frame-and-app"},
        {ID_TEST_APP_ONLY, "app:app-only"},
    };
    for (const Case& c : cases) {
        calls.clear();
        Command(c.id);
        ASSERT_EQ(calls.size(), 1u) << c.id;
        EXPECT_EQ(calls[0], c.handler) << c.id;
    }
    calls.clear();
    Command(ID_TEST_NOBODY);
    EXPECT_TRUE(calls.empty());
}

TEST_F(CommandTest, WithoutAnActiveViewTheFrameIsFirst)
{
    frame.SetActiveView(nullptr);
    Command(ID_TEST_ALL_HANDLE);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "frame:all");
}

TEST_F(CommandTest, DisabledCommandFromMenuOrAcceleratorIsDropped)
{
    for (WORD code : {WORD(0), WORD(1)}) {
        calls.clear();
        frame.saveEnabled = false;
        Command(ID_FILE_SAVE, code);
        EXPECT_TRUE(calls.empty()) << "code " << code;
        frame.saveEnabled = true;
        Command(ID_FILE_SAVE, code);
        EXPECT_EQ(calls, std::vector<std::string>{"frame:save"}) << "code " << code;
    }
}

TEST_F(CommandTest, AcceleratorKeyRunsOnlyAnEnabledCommand)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE pressed[256];
    std::copy(keys, keys + 256, pressed);
    pressed[VK_CONTROL] = 0x80;
    SetKeyboardState(pressed);

    MSG msg = {};
    msg.hwnd = frame.view->handle();  // keys reach the focused view, the frame translates them
    msg.message = WM_KEYDOWN;
    msg.wParam = 'S';
    msg.lParam = 1;
    frame.saveEnabled = false;
    const bool translatedWhileDisabled = ui::PreTranslate(&msg);
    const std::vector<std::string> whileDisabled = calls;
    frame.saveEnabled = true;
    const bool translatedWhileEnabled = ui::PreTranslate(&msg);
    SetKeyboardState(keys);

    EXPECT_TRUE(translatedWhileEnabled);
    EXPECT_TRUE(whileDisabled.empty());
    EXPECT_TRUE(translatedWhileDisabled);  // the key is used up either way
    EXPECT_EQ(calls, std::vector<std::string>{"frame:save"});
}

TEST_F(CommandTest, PopupMenuItemsTakeTheirStateFromUpdateHandlers)
{
    ui::Menu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_POPUPS));
    HMENU popup = menu.GetSubMenu(0);
    // Greyed as an update while nobody handled the commands left them: a
    // handler that only ticks or names the item must not keep them so.
    for (UINT id : {ID_TEST_CHECKED, ID_TEST_CUSTOM_TEXT})
        EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);

    auto state = [&](UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND); };
    EXPECT_FALSE(state(ID_TEST_ALL_HANDLE) & MF_GRAYED) << "handled without an update handler";
    EXPECT_TRUE(state(ID_TEST_NOBODY) & MF_GRAYED) << "nobody handles it";
    EXPECT_TRUE(state(ID_TEST_DISABLED) & MF_GRAYED);
    EXPECT_TRUE(state(ID_TEST_CHECKED) & MF_CHECKED);
    EXPECT_FALSE(state(ID_TEST_CHECKED) & MF_GRAYED);
    EXPECT_FALSE(state(ID_TEST_CUSTOM_TEXT) & MF_GRAYED);
    wchar_t text[64] = {};
    GetMenuStringW(popup, ID_TEST_CUSTOM_TEXT, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"自定粗细 (7px)...");
}

TEST_F(CommandTest, MenuBarPopupsAreUpdatedToo)
{
    HMENU file = GetSubMenu(GetMenu(frame.handle()), 0);
    ASSERT_NE(file, nullptr);
    frame.saveEnabled = false;
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_TRUE(GetMenuState(file, ID_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(file, ID_APP_EXIT, MF_BYCOMMAND) & MF_GRAYED) << "the application's exit";
    frame.saveEnabled = true;
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_FALSE(GetMenuState(file, ID_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(CommandTest, ToolbarButtonsFollowUpdateHandlersAtIdle)
{
    frame.saveEnabled = false;
    app.IdleWork(0);
    auto enabled = [&](UINT id) { return frame.toolbar.SendMessage(TB_ISBUTTONENABLED, id) != 0; };
    EXPECT_TRUE(enabled(ID_FILE_OPEN));
    EXPECT_FALSE(enabled(ID_FILE_SAVE));
    EXPECT_FALSE(enabled(ID_TEST_NOBODY));
    frame.saveEnabled = true;
    app.IdleWork(0);
    EXPECT_TRUE(enabled(ID_FILE_SAVE));
}

TEST_F(CommandTest, ToolbarLayoutComesFromTheResource)
{
    ASSERT_EQ(frame.toolbar.ButtonCount(), 4);
    EXPECT_EQ(frame.toolbar.CommandAt(0), UINT(ID_FILE_OPEN));
    EXPECT_EQ(frame.toolbar.CommandAt(1), 0u) << "separator";
    EXPECT_EQ(frame.toolbar.CommandAt(2), UINT(ID_FILE_SAVE));
    EXPECT_TRUE(frame.toolbar.AddButtonStyle(ID_FILE_SAVE, BTNS_DROPDOWN));
    TBBUTTON b = {};
    frame.toolbar.SendMessage(TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&b));
    EXPECT_TRUE(b.fsStyle & BTNS_DROPDOWN);
}

TEST_F(CommandTest, ToolbarButtonClickIsACommand)
{
    frame.toolbar.SendMessage(WM_COMMAND, 0, 0);  // nothing for the toolbar itself
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, BN_CLICKED),
                      reinterpret_cast<LPARAM>(frame.toolbar.handle()));
    EXPECT_EQ(calls, std::vector<std::string>{"frame:open"});
}

TEST_F(CommandTest, ToolTipIsTheCommandStringAfterTheNewline)
{
    struct Case {
        UINT id;
        const wchar_t* tip;
    } cases[] = {
        {ID_FILE_OPEN, L"打开"},
        {ID_TEST_ALL_HANDLE, L"全部"},
        {IDS_NO_TOOLTIP, L""},
        {ID_TEST_NOBODY, L""},  // no string at all
    };
    for (const Case& c : cases) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = c.id;
        info.hdr.code = TTN_GETDISPINFOW;
        frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(info.lpszText, nullptr) << c.id;
        EXPECT_STREQ(info.lpszText, c.tip) << c.id;
    }
}

TEST_F(CommandTest, FrameSetsUpTitleViewLayoutAndInitialUpdate)
{
    EXPECT_EQ(frame.GetWindowText(), L"测试框架");
    EXPECT_NE(frame.SendMessage(WM_GETICON, ICON_BIG), 0) << "icon of the frame's id";
    EXPECT_NE(frame.SendMessage(WM_GETICON, ICON_SMALL), 0);
    EXPECT_EQ(frame.view->initialUpdates, 0) << "the view came after LoadFrame";
    frame.SendToDescendants(ui::WM_INITIALUPDATE, 0, 0);
    EXPECT_EQ(frame.view->initialUpdates, 1);

    RECT bar = frame.toolbar.GetWindowRect();
    RECT view = frame.view->GetWindowRect();
    RECT client = frame.GetClientRect();
    EXPECT_GT(bar.bottom - bar.top, 0);
    EXPECT_EQ(view.top, bar.bottom) << "the view starts under the toolbar";
    EXPECT_EQ(view.right - view.left, client.right);
    EXPECT_EQ(view.bottom - view.top, client.bottom - (bar.bottom - bar.top));
}

TEST_F(CommandTest, ApplicationExitClosesTheMainWindowAndEndsTheLoop)
{
    HWND hwnd = frame.handle();
    Command(ID_APP_EXIT);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(frame.handle(), nullptr);
    EXPECT_EQ(uitest::takeQuit(), 0);
}

TEST_F(CommandTest, FocusOnTheFrameGoesToTheView)
{
    SetActiveWindow(frame.handle());
    SetFocus(frame.handle());
    EXPECT_EQ(GetFocus(), frame.view->handle());
}

}  // namespace
