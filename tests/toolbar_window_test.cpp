// The toolbar window in this process, on the display that scripts/test.sh
// starts, for what the real program cannot be driven to from outside:
// dropped files, where the menu opens and that no tooltip stands over it,
// declining the exit, the session's end, a screen that cannot be read, what
// a capture cut off left behind.
// Message boxes and the editor's start go through a recording shell.
#include "toolbar/app/capture_dlg.h"
#include "toolbar/app/capture_history.h"
#include "toolbar/app/norpa_dlg.h"

#include "common/image_codecs.h"
#include "kesh/file.h"
#include "kesh/registry.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/registry_cleanup.h"
#include "tests/toolbar_program_support.h"
#include "tests/wait.h"
#include "toolbar/resource.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

#include <algorithm>
#include <memory>

namespace {

using kesh::Wide;

class ToolbarWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        ASSERT_TRUE(gdiplus_.ok());
        sub_ = kesh::String::format("Software\\NorpaTest\\toolbar-window.%lu", GetCurrentProcessId());
        SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
        place_ = SettingsPlace{"HKEY_CURRENT_USER\\" + sub_, startup_.path("")};
    }
    void TearDown() override
    {
        toolbar_.reset();
        uitest::pump();
        uitest::takeQuit();
        testsupport::DeleteKeyAndEmptyParents(sub_.toWide().get());
        CoUninitialize();
    }

    void Open()
    {
        toolbar_ = std::make_unique<CNorpaDlg>(place_);
        ASSERT_TRUE(toolbar_->Create(nullptr));
        uitest::pump();
    }

    GdiplusSession gdiplus_;
    editortest::TempFolder startup_;
    kesh::String sub_;
    SettingsPlace place_;
    editorapptest::RecordingShell shell_;
    std::unique_ptr<CNorpaDlg> toolbar_;
};

TEST_F(ToolbarWindowTest, ADropStartsTheEditorOnceWithTheFirstFileWhateverItsLength)
{
    Open();
    // A path far beyond MAX_PATH, as long paths allow.
    kesh::String longPath = "C:\\pictures";
    while (longPath.length() < 400)
        longPath = longPath + "\\a folder with a long name";
    longPath = longPath + "\\picture.png";
    toolbar_->SendMessage(WM_DROPFILES,
                          reinterpret_cast<WPARAM>(editorapptest::MakeDrop({longPath, "C:\\b.png", "C:\\c.png"})));
    ASSERT_EQ(1u, shell_.executions.size());
    EXPECT_EQ(L"open", shell_.executions[0].verb);
    EXPECT_EQ(Wide(editorapptest::BesideTestProgram("vomla.exe")), shell_.executions[0].file);
    EXPECT_EQ(L"\"" + Wide(longPath) + L"\" -x-1 -y-1", shell_.executions[0].parameters);
    EXPECT_TRUE(shell_.boxes.empty());
}

TEST_F(ToolbarWindowTest, DecliningTheExitQuestionKeepsTheToolbar)
{
    Open();
    shell_.boxAnswer = IDNO;
    toolbar_->SendMessage(WM_COMMAND, ID_TOOLBAR_EXIT, 0);
    ASSERT_EQ(1u, shell_.boxes.size());
    EXPECT_EQ(L"确定要关闭Norpa工具栏吗?", shell_.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), shell_.boxes[0].type);
    EXPECT_TRUE(IsWindow(toolbar_->handle()));
    EXPECT_EQ(-1, uitest::takeQuit());
    // Enter and Esc never end it.
    toolbar_->SendMessage(WM_COMMAND, IDOK, 0);
    toolbar_->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(toolbar_->handle()));

    shell_.boxAnswer = IDYES;
    toolbar_->SendMessage(WM_COMMAND, ID_TOOLBAR_EXIT, 0);
    EXPECT_EQ(nullptr, toolbar_->handle());
    EXPECT_EQ(0, uitest::takeQuit());
}

// The system ends the program after the session's end without destroying
// its window: what the exit command writes is written then.
TEST_F(ToolbarWindowTest, TheSessionsEndWritesTheSettingsWithTheToolbarsPlace)
{
    Open();
    SetWindowPos(toolbar_->handle(), nullptr, 321, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_NE(0, toolbar_->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    toolbar_->SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const auto key = kesh::app::openRegistryKey(place_.keyPath, true);
    for (const char* name : {"xPos", "yPos", "autoRun", "hideWhenCapture", "captureHotkey"})
        EXPECT_STRNE("none", key->getValue(name, "none").c_str()) << name;
    EXPECT_STREQ("321", key->getValue("xPos", "").c_str());
    EXPECT_STREQ("234", key->getValue("yPos", "").c_str());
}

// What the menu showed while it was open: its rectangle and whether the
// clipboard item was grayed. The menu is closed again from a timer, since
// it runs a loop of its own.
struct OpenedMenu {
    RECT rect = {};
    bool pasteGrayed = false;
    bool seen = false;
};
OpenedMenu* openedMenu = nullptr;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu) || !openedMenu)
        return;
    GetWindowRect(menu, &openedMenu->rect);
    HMENU handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    openedMenu->pasteGrayed = (GetMenuState(handle, ID_PASTE_CLIPBOARD, MF_BYCOMMAND) & MF_GRAYED) != 0;
    openedMenu->seen = true;
    EndMenu();
}

TEST_F(ToolbarWindowTest, TheMenuOpensBesideTheToolbarNeverOverItNorAtTheCursor)
{
    struct Case {
        const char* what;
        int x, y;  // where the toolbar stands
        bool bitmap;  // a bitmap on the clipboard
        bool below;   // the menu opens below it
    };
    const RECT area = [] {
        RECT r = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        return r;
    }();
    const Case cases[] = {
        {"bottom-right corner, empty clipboard", 10000, 10000, false, false},
        {"near the top, a bitmap on the clipboard", 300, 20, true, true},
    };
    for (const Case& c : cases) {
        {
            editortest::ClipboardOwner owner;
            ASSERT_TRUE(editortest::OpenClipboardPatiently(owner.hwnd()));
            EmptyClipboard();
            if (c.bitmap) {
                kesh::win::ClientDC screen(nullptr);
                SetClipboardData(CF_BITMAP, CreateCompatibleBitmap(screen, 4, 4));
            }
            CloseClipboard();
        }
        const DWORD x = static_cast<DWORD>(c.x), y = static_cast<DWORD>(c.y);
        SHSetValueW(HKEY_CURRENT_USER, sub_.toWide().get(), L"xPos", REG_SZ, std::to_wstring(x).c_str(),
                    static_cast<DWORD>((std::to_wstring(x).size() + 1) * sizeof(wchar_t)));
        SHSetValueW(HKEY_CURRENT_USER, sub_.toWide().get(), L"yPos", REG_SZ, std::to_wstring(y).c_str(),
                    static_cast<DWORD>((std::to_wstring(y).size() + 1) * sizeof(wchar_t)));
        Open();
        const RECT bar = toolbar_->GetWindowRect();
        OpenedMenu menu;
        openedMenu = &menu;
        const UINT_PTR timer = SetTimer(nullptr, 0, 200, &CloseMenu);
        // The menu button's message: the cursor's point, far from the bar.
        toolbar_->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(toolbar_->handle()), MAKELPARAM(640, 400));
        KillTimer(nullptr, timer);
        openedMenu = nullptr;
        ASSERT_TRUE(menu.seen) << c.what;
        RECT overlap = {};
        EXPECT_FALSE(IntersectRect(&overlap, &menu.rect, &bar)) << c.what;
        // At the bar's left edge, unless the screen's edge pushes it back.
        EXPECT_EQ(std::min<LONG>(bar.left, area.right - (menu.rect.right - menu.rect.left)), menu.rect.left)
            << c.what;
        EXPECT_EQ(c.below ? bar.bottom : bar.top, c.below ? menu.rect.top : menu.rect.bottom) << c.what;
        EXPECT_GE(menu.rect.top, area.top) << c.what;
        EXPECT_EQ(!c.bitmap, menu.pasteGrayed) << c.what;
        toolbar_.reset();
    }
}

TEST_F(ToolbarWindowTest, NoTooltipStandsOverTheOpenMenu)
{
    using editorapptest::TooltipShown;
    for (bool tipShownFirst : {true, false}) {  // else the pointer arrives and clicks at once
        Open();
        HWND button = GetDlgItem(toolbar_->handle(), IDC_MENU_BUTTON);
        RECT r = {};
        GetWindowRect(button, &r);
        const LPARAM middle = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
        // The toolbar relays the button's mouse messages to the tooltip.
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(button, WM_MOUSEMOVE, 0, middle);
        if (tipShownFirst) {
            ASSERT_TRUE(testsupport::WaitFor(TooltipShown, 5000, uitest::pump)) << "the tooltip never showed";
        }
        const auto click = [&] {
            if (tipShownFirst) {  // the button's click alone, which nothing relays
                toolbar_->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MENU_BUTTON, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(button));
                return;
            }
            PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
            PostMessageW(button, WM_LBUTTONUP, 0, middle);
        };
        EXPECT_EQ(0, editorapptest::TooltipOverMenu(click)) << "tip shown first: " << tipShownFirst;
        // Once the menu is closed, the tip comes again.
        PostMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        PostMessageW(button, WM_MOUSEMOVE, 0, middle);
        EXPECT_TRUE(testsupport::WaitFor(TooltipShown, 5000, uitest::pump)) << "tip shown first: " << tipShownFirst;
        toolbar_.reset();
    }
}

// A capture is staged and read back before it is named, as the editor's
// saves are: one cut off (the toolbar ended while writing it) leaves no
// half-written picture under a history name, and the next capture of that
// name clears away what it left.
TEST_F(ToolbarWindowTest, WhatACaptureCutOffLeftIsClearedByTheNextOne)
{
    const toolbartest::HistoryGuard history;
    const editortest::OwnedBitmap bitmap = editortest::MakeSection32(8, 6, false);
    // The name the next capture takes, freed again.
    const kesh::String path = SaveBitmapToHistory(bitmap.get());
    ASSERT_TRUE(kesh::fs::remove(path));
    // Staged by a process of this id that ended before this one began.
    const kesh::String staged = path + kesh::String::format(".%lu.0000000000000001.saving", GetCurrentProcessId());
    editorapptest::WriteFileBytes(staged, "half a capture");
    EXPECT_STREQ(path.c_str(), SaveBitmapToHistory(bitmap.get()).c_str());
    EXPECT_TRUE(shell_.boxes.empty());
    EXPECT_FALSE(kesh::fs::exists(staged));
}

// An overlay that shows is ended from a timer (it runs a loop of its own).
CCaptureDlg* shownOverlay = nullptr;
void CALLBACK EndShownOverlay(HWND, UINT, UINT_PTR, DWORD)
{
    if (shownOverlay && IsWindowVisible(shownOverlay->handle()))
        shownOverlay->EndDialog(IDABORT);
}

TEST_F(ToolbarWindowTest, AScreenThatCannotBeReadIsReportedWithoutAnOverlay)
{
    // No picture can hold it: its pixels pass 4 GiB.
    CCaptureDlg overlay(GetDesktopWindow(), SIZE{65536, 65536});
    shownOverlay = &overlay;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &EndShownOverlay);
    EXPECT_EQ(IDCANCEL, overlay.DoModal()) << "an overlay showed";
    KillTimer(nullptr, timer);
    shownOverlay = nullptr;
    ASSERT_EQ(1u, shell_.boxes.size());
    EXPECT_EQ(L"截取屏幕失败!", shell_.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), shell_.boxes[0].type);
}

}  // namespace
