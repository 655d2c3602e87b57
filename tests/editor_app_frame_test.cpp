// The real main frame in this process, on the display that scripts/test.sh
// starts: toolbar, opening, drawing with the keys, the save prompts, drop,
// the file dialogs' filters, Save As by copy, the pen pop-ups, the About
// box and the history command. System dialogs go through a recording
// shell; the framework's own dialogs are answered from a timer.
#include "common/history_folder.h"
#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "common_ui/about_dlg.h"
#include "editor/app/main_frame.h"
#include "editor/view/paint_view.h"
#include "editor/resource.h"
#include "editor/app/vomla_app.h"
#include "kesh/file.h"
#include "kesh/property.h"
#include "ui/strings.h"
#include "tests/editor_app_support.h"
#include "tests/editor_view_support.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <memory>

namespace {

using editorapptest::ReadFileBytes;

using kesh::Wide;

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Keys as the message loop sees them, with Ctrl (and Shift) held.
void PressWithCtrl(HWND target, UINT key, bool shift = false)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg = {};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1;
    if (!ui::PreTranslate(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    keys[VK_CONTROL] = 0;
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    uitest::pump();
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gdiplus.ok());
        png = files.path("picture.png");
        editorapptest::WritePng(png, 120, 80, 0x3060C0, 0xFF0000);
        frame = std::make_unique<CMainFrame>(key.path());
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        ShowWindow(frame->handle(), SW_SHOW);
        uitest::pump();
    }
    void TearDown() override
    {
        frame.reset();
        uitest::pump();
        uitest::takeQuit();
    }

    CPaintView* view() const { return frame->PaintView(); }

    // One pencil stroke across the middle of the image.
    void DrawStroke()
    {
        ASSERT_NE(nullptr, view());
        frame->SendMessage(WM_COMMAND, ID_TOOL_PENCIL, 0);
        const POINT origin = view()->ImageOrigin();
        const int y = origin.y + view()->Height() / 2;
        view()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(origin.x + 5, y));
        view()->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(origin.x + 40, y + 10));
        view()->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(origin.x + 80, y));
        view()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(origin.x + 80, y));
        uitest::pump();
    }

    bool CommandEnabled(UINT id)
    {
        ui::CommandState state(id);
        state.DoUpdate(*frame, true);
        return state.enabled();
    }

    GdiplusSession gdiplus;
    viewtest::TestKey key;
    editortest::TempFolder files;
    editorapptest::RecordingShell shell;
    kesh::String png;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, StartsEmptyWithItsStylesSizeToolbarAndSaveCommandsDisabled)
{
    HWND hwnd = frame->handle();
    EXPECT_TRUE(GetWindowLongW(hwnd, GWL_STYLE) & WS_CLIPCHILDREN);
    const LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(ex & WS_EX_CLIENTEDGE);
    const RECT rc = frame->GetWindowRect();
    EXPECT_EQ(600, rc.right - rc.left);
    EXPECT_EQ(500, rc.bottom - rc.top);
    EXPECT_EQ(ui::LoadResString(IDR_MAINFRAME), frame->GetWindowText());
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0)));

    ui::CToolBar& bar = frame->ToolBar();
    const UINT order[] = {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_TOOL_HAND, ID_TOOL_PENCIL, ID_TOOL_HIGHLIGHTER,
                          ID_TOOL_MOSAIC, 0, ID_FILE_SAVE_TO_SERVER};
    ASSERT_EQ(9, bar.ButtonCount());
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(order[i], bar.CommandAt(i)) << i;
    for (UINT id : {ID_TOOL_PENCIL, ID_TOOL_HIGHLIGHTER, ID_TOOL_MOSAIC, ID_TOOL_HAND}) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_STYLE;
        bar.SendMessage(TB_GETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(id != ID_TOOL_HAND, (info.fsStyle & BTNS_DROPDOWN) != 0) << id;
    }
    EXPECT_TRUE(bar.SendMessage(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS);
    HIMAGELIST normal = reinterpret_cast<HIMAGELIST>(bar.SendMessage(TB_GETIMAGELIST));
    HIMAGELIST disabled = reinterpret_cast<HIMAGELIST>(bar.SendMessage(TB_GETDISABLEDIMAGELIST));
    ASSERT_NE(nullptr, normal);
    ASSERT_NE(nullptr, disabled);
    EXPECT_EQ(7, ImageList_GetImageCount(normal));
    EXPECT_EQ(7, ImageList_GetImageCount(disabled));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(normal, &cx, &cy);
    EXPECT_EQ(35, cx);
    EXPECT_EQ(32, cy);

    MINMAXINFO limits = {};
    frame->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(400, limits.ptMinTrackSize.x);
    EXPECT_EQ(400, limits.ptMinTrackSize.y);

    EXPECT_EQ(nullptr, view());
    EXPECT_FALSE(CommandEnabled(ID_FILE_SAVE));
    EXPECT_FALSE(CommandEnabled(ID_FILE_SAVE_AS));
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));  // nobody handles it without a view
    EXPECT_TRUE(CommandEnabled(ID_FILE_OPEN));
    EXPECT_TRUE(CommandEnabled(ID_APP_ABOUT));
}

TEST_F(MainFrameTest, FileOpenOffersEveryDecoderWithABlankBeforeItsPatterns)
{
    shell.fileAnswer = Wide(png);
    frame->SendMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    ASSERT_EQ(1u, shell.files.size());
    const ui::FileDialogRequest& request = shell.files[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_ENABLESIZING),
              request.flags & (OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_OVERWRITEPROMPT));
    EXPECT_TRUE(request.defaultExt.empty());

    std::vector<ImageCodecEntry> decoders;
    ListImageDecoders(decoders);
    ASSERT_FALSE(decoders.empty());
    std::wstring all, each;
    for (const ImageCodecEntry& decoder : decoders) {
        const std::wstring patterns = Lower(Wide(decoder.extensions));
        all += (all.empty() ? L"" : L";") + patterns;
        each += (each.empty() ? L"" : L"|") + Wide(decoder.description) + L" (" + patterns + L")|" + patterns;
    }
    const std::wstring bars = L"所有支持的格式 (" + all + L")|" + all + L"|" + each + L"|所有文件 (*.*)|*.*||";
    EXPECT_EQ(ui::FilterFromBars(bars), request.filter);

    ASSERT_NE(nullptr, view());
    EXPECT_STREQ(png.c_str(), view()->GetPath().c_str());
    EXPECT_EQ(view(), frame->GetActiveView());
    EXPECT_TRUE(shell.boxes.empty());
    // The view is a bordered pane with the frame's pane id.
    const LONG style = GetWindowLongW(view()->handle(), GWL_STYLE);
    EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_VISIBLE | WS_BORDER), style & (WS_CHILD | WS_VISIBLE | WS_BORDER));
    EXPECT_EQ(IDW_PANE_FIRST, GetDlgCtrlID(view()->handle()));
}

TEST_F(MainFrameTest, DrawsAndUndoesAndRedoesWithTheKeysAndCtrlSWithoutChangesDoesNothing)
{
    ASSERT_TRUE(frame->OpenImage(png));
    const std::string original = ReadFileBytes(png);
    DrawStroke();
    EXPECT_EQ(1, view()->Modified());
    EXPECT_TRUE(CommandEnabled(ID_FILE_SAVE));

    PressWithCtrl(view()->handle(), 'Z');
    EXPECT_EQ(0, view()->Modified());
    EXPECT_FALSE(CommandEnabled(ID_FILE_SAVE));
    PressWithCtrl(view()->handle(), 'Y');
    EXPECT_EQ(1, view()->Modified());
    PressWithCtrl(view()->handle(), 'Z');
    ASSERT_EQ(0, view()->Modified());

    PressWithCtrl(view()->handle(), 'S');
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_TRUE(shell.files.empty());
    EXPECT_EQ(original, ReadFileBytes(png));
    EXPECT_NE(nullptr, frame->handle());
}

TEST_F(MainFrameTest, ClosePromptNamesTheFileAndCancelKeepsTheWindow)
{
    ASSERT_TRUE(frame->OpenImage(png));
    DrawStroke();
    shell.boxAnswer = IDCANCEL;
    frame->SendMessage(WM_CLOSE);
    ASSERT_EQ(1u, shell.boxes.size());
    EXPECT_EQ(L"是否保存修改到\n" + Wide(png), shell.boxes[0].text);
    EXPECT_EQ(ui::LoadResString(IDS_APP_TITLE), shell.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION), shell.boxes[0].type);
    EXPECT_TRUE(IsWindow(frame->handle()));
    EXPECT_EQ(1, view()->Modified());

    shell.boxAnswer = IDNO;
    const std::string before = ReadFileBytes(png);
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(nullptr, frame->handle());
    EXPECT_EQ(before, ReadFileBytes(png));
}

// Cancel at the session's end refuses it, as Windows lets a program do. A
// session that ends goes without closing the window: what the window's end
// writes, the pen settings, is written then.
TEST_F(MainFrameTest, TheSessionsEndAsksAsClosingDoesAndWritesThePenSettings)
{
    ASSERT_TRUE(frame->OpenImage(png));
    DrawStroke();
    shell.boxAnswer = IDCANCEL;
    EXPECT_EQ(FALSE, frame->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    ASSERT_EQ(1u, shell.boxes.size());
    EXPECT_EQ(L"是否保存修改到\n" + Wide(png), shell.boxes[0].text);
    EXPECT_EQ(1, view()->Modified());
    shell.boxAnswer = IDNO;
    EXPECT_EQ(TRUE, frame->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    frame->SendMessage(WM_COMMAND, ID_PENCIL_MEDIUM, 0);
    frame->SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_STREQ("2", key.value("pencilWidth").c_str());
}

TEST_F(MainFrameTest, YesToTheClosePromptSavesThenCloses)
{
    ASSERT_TRUE(frame->OpenImage(png));
    const std::string before = ReadFileBytes(png);
    DrawStroke();
    shell.boxAnswer = IDYES;
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(1u, shell.boxes.size());
    EXPECT_EQ(nullptr, frame->handle());
    EXPECT_NE(before, ReadFileBytes(png));
}

TEST_F(MainFrameTest, YesToTheClosePromptWithAFailingSaveKeepsTheWindowAndTheEdits)
{
    ASSERT_TRUE(frame->OpenImage(png));
    DrawStroke();
    ASSERT_EQ(1, view()->Modified());
    // Another program holds the file: the save cannot write it.
    editorapptest::FileLock lock(png);
    ASSERT_TRUE(lock.locked());
    shell.boxAnswer = IDYES;
    frame->SendMessage(WM_CLOSE);
    ASSERT_EQ(2u, shell.boxes.size());
    EXPECT_EQ(ui::LoadResString(IDS_SAVE_FAILED), shell.boxes[1].text);
    EXPECT_TRUE(IsWindow(frame->handle()));
    EXPECT_EQ(1, view()->Modified());
}

// GDI+ may name an icon's format BMP; saving over it must not turn it into
// a picture of another format under its name.
TEST_F(MainFrameTest, CtrlSOnAnIconFailsAndLeavesItByteForByte)
{
    // One entry of 16 x 16: a 32-bit DIB (its height counting the mask)
    // of grey, then the empty mask.
    const std::string entry("\x10\x10\0\0\1\0\x20\0\x68\x04\0\0\x16\0\0\0", 16);
    const std::string dib = std::string("\x28\0\0\0\x10\0\0\0\x20\0\0\0\1\0\x20\0", 16) +
                            std::string(24, '\0') + std::string(1024, '\x80') + std::string(64, '\0');
    const std::string icon = std::string("\0\0\1\0\1\0", 6) + entry + dib;
    const kesh::String path = files.path("icon.ico");
    editorapptest::WriteFileBytes(path, icon);
    ASSERT_TRUE(frame->OpenImage(path));
    DrawStroke();
    PressWithCtrl(frame->handle(), 'S');
    ASSERT_EQ(1u, shell.boxes.size());
    EXPECT_EQ(ui::LoadResString(IDS_SAVE_FORMAT_UNSUPPORTED), shell.boxes[0].text);
    EXPECT_TRUE(icon == ReadFileBytes(path)) << "the icon was rewritten";
    EXPECT_EQ(1, view()->Modified());
}

TEST_F(MainFrameTest, OpeningOverAModifiedImageAsksAndKeepsItUnlessSavedOrDropped)
{
    const kesh::String first = files.path("first.png");
    editorapptest::WritePng(first, 60, 60, 0x20A040, 0x20A040);
    ASSERT_TRUE(frame->OpenImage(first));
    DrawStroke();
    CPaintView* firstView = view();

    shell.boxAnswer = IDCANCEL;
    EXPECT_FALSE(frame->OpenImage(png));
    ASSERT_EQ(1u, shell.boxes.size());
    EXPECT_EQ(ui::LoadResString(IDS_SAVE_BEFORE_OPEN), shell.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION), shell.boxes[0].type);
    EXPECT_EQ(firstView, view());

    // Yes, but the file cannot be written: the edits stay.
    {
        editorapptest::FileLock lock(first);
        shell.boxAnswer = IDYES;
        EXPECT_FALSE(frame->OpenImage(png));
    }
    EXPECT_EQ(firstView, view());
    EXPECT_EQ(1, view()->Modified());

    shell.boxAnswer = IDNO;
    EXPECT_TRUE(frame->OpenImage(png));
    EXPECT_STREQ(png.c_str(), view()->GetPath().c_str());
    EXPECT_EQ(0, view()->Modified());
}

TEST_F(MainFrameTest, AnImageThatCannotBeReadLeavesTheFrameWithoutAView)
{
    const kesh::String broken = files.path("broken.png");
    editorapptest::WriteFileBytes(broken, "not an image");
    EXPECT_FALSE(frame->OpenImage(broken));
    EXPECT_EQ(nullptr, view());
    EXPECT_EQ(nullptr, frame->GetActiveView());
    EXPECT_EQ(1u, shell.boxes.size());  // the view's own message
    EXPECT_FALSE(CommandEnabled(ID_FILE_SAVE_AS));
}

// How the toolbar program starts the editor (no image), or a failed open:
// the tools were disabled while there was no view, and must come back with
// the image although their update handlers only tick them.
TEST_F(MainFrameTest, ToolsComeBackWithAnImageOpenedAfterStartingWithoutOne)
{
    ui::CToolBar& bar = frame->ToolBar();
    HMENU tools = GetSubMenu(GetMenu(frame->handle()), 3);
    ASSERT_EQ(static_cast<UINT>(ID_TOOL_HAND), GetMenuItemID(tools, 0));
    // What the idle loop and opening the Tools menu do.
    auto refresh = [&] {
        frame->SendToDescendants(ui::IdleUpdateMessage(), 0, 0);
        frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(tools), 3);
    };
    const UINT kinds[] = {ID_TOOL_HAND, ID_TOOL_PENCIL, ID_TOOL_HIGHLIGHTER, ID_TOOL_MOSAIC};
    refresh();
    for (UINT id : kinds) {
        EXPECT_FALSE(bar.SendMessage(TB_ISBUTTONENABLED, id)) << id;
        EXPECT_TRUE(GetMenuState(tools, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    }

    shell.fileAnswer = Wide(png);
    frame->SendMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    ASSERT_NE(nullptr, view());
    refresh();
    for (UINT id : kinds) {
        EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONENABLED, id)) << id;
        EXPECT_FALSE(GetMenuState(tools, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    }

    // The pencil by its key, a stroke; the hand, then the pencil by its
    // toolbar button, another stroke.
    const POINT origin = view()->ImageOrigin();
    const int y = origin.y + view()->Height() / 2;
    auto stroke = [&] {
        view()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(origin.x + 5, y));
        view()->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(origin.x + 60, y));
        view()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(origin.x + 60, y));
        uitest::pump();
    };
    PressWithCtrl(view()->handle(), 'P');
    EXPECT_EQ(kPenPencil, view()->ToolKind());
    stroke();
    EXPECT_EQ(1, view()->Modified());

    PressWithCtrl(view()->handle(), 'H');
    ASSERT_EQ(kPenHand, view()->ToolKind());
    RECT button = {};
    ASSERT_TRUE(bar.SendMessage(TB_GETRECT, ID_TOOL_PENCIL, reinterpret_cast<LPARAM>(&button)));
    const LPARAM middle = MAKELPARAM(button.left + 8, (button.top + button.bottom) / 2);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, middle);
    bar.SendMessage(WM_LBUTTONUP, 0, middle);
    uitest::pump();
    EXPECT_EQ(kPenPencil, view()->ToolKind());
    stroke();
    EXPECT_EQ(2, view()->Modified());
}

TEST_F(MainFrameTest, DroppingSeveralFilesOpensOnlyTheFirst)
{
    const kesh::String second = files.path("second.png");
    const kesh::String third = files.path("third.png");
    editorapptest::WritePng(second, 30, 30, 0x00FF00, 0x00FF00);
    editorapptest::WritePng(third, 30, 30, 0x0000FF, 0x0000FF);
    frame->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(editorapptest::MakeDrop({second, png, third})));
    ASSERT_NE(nullptr, view());
    EXPECT_STREQ(second.c_str(), view()->GetPath().c_str());
    EXPECT_EQ(30, view()->Width());
    EXPECT_TRUE(shell.boxes.empty());
}

TEST_F(MainFrameTest, SaveAsWithSkipCopiesTheFileByteForByte)
{
    const kesh::String gif = files.path("dot.gif");
    editorapptest::WriteTinyGif(gif);
    ASSERT_TRUE(frame->OpenImage(gif));
    const kesh::String copy = files.path("copy.gif");
    {
        shell.fileAnswer = Wide(copy);
        viewtest::DialogDriver skip([](HWND dialog) { viewtest::Click(dialog, IDC_SAVE_SKIP); });
        frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS, 0);
        EXPECT_TRUE(skip.ran());
        EXPECT_FALSE(skip.forcedClose());
    }
    ASSERT_EQ(1u, shell.files.size());
    const ui::FileDialogRequest& request = shell.files[0];
    EXPECT_FALSE(request.open);
    EXPECT_EQ(L"gif", request.defaultExt);
    EXPECT_EQ(static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_ENABLESIZING),
              request.flags & (OFN_OVERWRITEPROMPT | OFN_ENABLESIZING | OFN_FILEMUSTEXIST));
    ImageCodecEntry encoder;
    ASSERT_TRUE(FindImageEncoder(encoder, kImageFormatGIF));
    const std::wstring patterns = Lower(Wide(encoder.extensions));
    EXPECT_EQ(ui::FilterFromBars(Wide(encoder.description) + L"(" + patterns + L")|" + patterns + L"||"),
              request.filter);
    EXPECT_EQ(ReadFileBytes(gif), ReadFileBytes(copy));
    EXPECT_TRUE(shell.boxes.empty());

    // A file the user agreed to replace is replaced.
    const kesh::String existing = files.path("existing.gif");
    editorapptest::WriteFileBytes(existing, "older content");
    {
        shell.fileAnswer = Wide(existing);
        viewtest::DialogDriver skip([](HWND dialog) { viewtest::Click(dialog, IDC_SAVE_SKIP); });
        frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS, 0);
    }
    EXPECT_EQ(ReadFileBytes(gif), ReadFileBytes(existing));
    EXPECT_TRUE(shell.boxes.empty());

    // The image's own file: nothing to copy, nothing lost.
    const std::string own = ReadFileBytes(gif);
    {
        shell.fileAnswer = Wide(gif);
        viewtest::DialogDriver skip([](HWND dialog) { viewtest::Click(dialog, IDC_SAVE_SKIP); });
        frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS, 0);
    }
    EXPECT_EQ(own, ReadFileBytes(gif));
    EXPECT_TRUE(shell.boxes.empty());

    // The image's file gone meanwhile: the copy fails, is reported, and
    // the file the user chose keeps what it held.
    DeleteFileW(Wide(gif).c_str());
    {
        shell.fileAnswer = Wide(existing);
        viewtest::DialogDriver skip([](HWND dialog) { viewtest::Click(dialog, IDC_SAVE_SKIP); });
        frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS, 0);
    }
    ASSERT_EQ(1u, shell.boxes.size());
    EXPECT_EQ(ui::LoadResString(IDS_SAVE_FAILED), shell.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), shell.boxes[0].type & MB_ICONMASK);
    EXPECT_EQ(own, ReadFileBytes(existing));
}

// The pop-up opens below its button, never over it (Wine, for one, ignores
// the rectangle a pop-up is told to keep clear of).
TEST_F(MainFrameTest, TheHighlighterArrowDropsDownItsPopupBelowTheButton)
{
    ui::CToolBar& bar = frame->ToolBar();
    RECT button = {};
    ASSERT_TRUE(bar.SendMessage(TB_GETRECT, ID_TOOL_HIGHLIGHTER, reinterpret_cast<LPARAM>(&button)));

    static UINT firstItem;
    static int itemCount;
    static int ticks;
    static RECT shownAt;
    firstItem = 0;
    itemCount = 0;
    ticks = 0;
    shownAt = RECT();
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            HMENU shown = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
            firstItem = GetMenuItemID(shown, 0);
            itemCount = GetMenuItemCount(shown);
            GetWindowRect(menu, &shownAt);
            EndMenu();
        } else if (++ticks > 100) {
            EndMenu();
        }
    });
    // A click on the arrow, at the button's right end. Another program on
    // the same display that holds the pointer for a moment closes a menu at
    // once, so the click is tried again a few times.
    const LPARAM arrow = MAKELPARAM(button.right - 3, (button.top + button.bottom) / 2);
    for (int attempt = 0; attempt < 5 && firstItem == 0; ++attempt) {
        ticks = 0;
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, arrow);
        bar.SendMessage(WM_LBUTTONUP, 0, arrow);
        uitest::pump();
    }
    KillTimer(nullptr, timer);
    uitest::pump();
    EXPECT_EQ(static_cast<UINT>(ID_HIGHLIGHTER_YELLOW), firstItem);
    EXPECT_EQ(3, itemCount);
    MapWindowPoints(bar.handle(), nullptr, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, shownAt.left);
    EXPECT_GE(shownAt.top, button.bottom);
}

// The pointer arrives on a pen button's arrow and clicks at once: the tip
// it was about to show never stands over the pop-up.
TEST_F(MainFrameTest, NoTooltipStandsOverAPenPopup)
{
    ui::CToolBar& bar = frame->ToolBar();
    for (UINT command : {ID_TOOL_PENCIL, ID_TOOL_HIGHLIGHTER, ID_TOOL_MOSAIC}) {
        RECT button = {};
        ASSERT_TRUE(bar.SendMessage(TB_GETRECT, command, reinterpret_cast<LPARAM>(&button)));
        POINT arrow = {button.right - 3, (button.top + button.bottom) / 2};
        const LPARAM at = MAKELPARAM(arrow.x, arrow.y);
        ClientToScreen(bar.handle(), &arrow);
        // Another program on the same display that holds the pointer for a
        // moment closes a menu at once: the click is tried again.
        int tipShown = -1;
        for (int attempt = 0; attempt < 5 && tipShown < 0; ++attempt)
            tipShown = editorapptest::TooltipOverMenu([&] {
                SetCursorPos(arrow.x, arrow.y);
                bar.SendMessage(WM_MOUSEMOVE, 0, at);
                bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
                bar.SendMessage(WM_LBUTTONUP, 0, at);
            });
        EXPECT_EQ(0, tipShown) << command;
    }
}

TEST_F(MainFrameTest, AboutBoxShowsTheProductVersionAndOpensTheWebSite)
{
    {
        std::wstring version;
        viewtest::DialogDriver ok([&version](HWND dialog) {
            version = viewtest::ItemText(dialog, IDC_ABOUT_VERSION);
            viewtest::Click(dialog, IDOK);
        });
        frame->SendMessage(WM_COMMAND, ID_APP_ABOUT, 0);
        EXPECT_TRUE(ok.ran());
        EXPECT_FALSE(ok.forcedClose());
        EXPECT_EQ(L"版本0.9.1.2", version);
    }
    EXPECT_EQ(std::wstring(kProductWebsite), ui::LoadResString(IDS_WEBSITE_ADDRESS));
    {
        CAboutDlg about(frame->handle());
        ASSERT_TRUE(about.Create(frame->handle()));
        viewtest::Click(about.handle(), IDC_ABOUT_WEBSITE);
        ASSERT_EQ(1u, shell.executions.size());
        EXPECT_EQ(L"", shell.executions[0].verb);
        EXPECT_EQ(std::wstring(kProductWebsite), shell.executions[0].file);
        const std::wstring text = viewtest::ItemText(about.handle(), IDC_ABOUT_WEBSITE);
        EXPECT_EQ(std::wstring(kProductWebsite), text.substr(text.size() - wcslen(kProductWebsite)));
        about.DestroyWindow();
    }
}

TEST_F(MainFrameTest, HistoryCommandOpensTheHistoryRootInANewExplorerWindow)
{
    // The command is the application's; the frame passes it on.
    CvomlaApp app;
    const kesh::String home = kesh::sys::getProperty("user.home", "");
    ASSERT_FALSE(home.isEmpty());
    const std::wstring ourFolder = Wide(home) + L"\\My Norpa";
    const bool existed = GetFileAttributesW(ourFolder.c_str()) != INVALID_FILE_ATTRIBUTES;

    frame->SendMessage(WM_COMMAND, ID_VIEW_HISTORY, 0);
    ASSERT_EQ(1u, shell.executions.size());
    EXPECT_EQ(L"open", shell.executions[0].verb);
    EXPECT_EQ(L"Explorer.exe", shell.executions[0].file);
    const std::wstring root = ourFolder + L"\\History";
    EXPECT_EQ(L"/n,\"" + root + L"\"", shell.executions[0].parameters);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(root.c_str()));
    if (!existed)
        editorapptest::RemoveTree(ourFolder);
}

}  // namespace
