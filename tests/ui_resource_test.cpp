// The resource pipeline and the small framework services around it:
// strings, the manifest's Common Controls 6, PNG resources, version block,
// message box captions and icons, file and colour dialogs through the seam,
// integer parsing.
#include "tests/ui_test_ids.h"
#include "tests/ui_test_support.h"

#include "kesh/handles.h"
#include "ui/controls.h"
#include "ui/data_exchange.h"
#include "ui/png_resource.h"
#include "ui/resource_ids.h"
#include "ui/strings.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

TEST(UiResources, StringsAreUtf8ChineseInLanguage2052)
{
    EXPECT_EQ(ui::LoadResString(IDS_APP_TITLE), L"Norpa测试");
    EXPECT_EQ(ui::LoadResString(IDS_PARSE_INT_RANGE), L"请输入一个在 %1 和 %2 之间的整数。");
    EXPECT_EQ(ui::LoadResString(12345), L"");
    HRSRC block = FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(IDS_APP_TITLE / 16 + 1),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_NE(block, nullptr);
}

TEST(UiResources, TooltipIsThePartAfterTheFirstNewline)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* tip;
    } cases[] = {
        {L"状态\n提示", L"提示"}, {L"\n只有提示", L"只有提示"}, {L"没有提示", L""},
        {L"a\nb\nc", L"b"},       {L"", L""},                   {L"a\n", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::TooltipOf(c.text), c.tip) << testing::PrintToString(std::wstring(c.text));
}

TEST(UiResources, NumberedPlaceholders)
{
    EXPECT_EQ(ui::FormatNumbered(L"在 %1 和 %2 之间", {L"1", L"100"}), L"在 1 和 100 之间");
    EXPECT_EQ(ui::FormatNumbered(L"%2-%1-%3%", {L"a", L"b"}), L"b-a-%3%");
}

TEST(UiResources, ManifestBringsCommonControls6)
{
    // The manifest redirects comctl32.dll to the side-by-side version 6
    // assembly, and the program's own imports are bound to that copy, not
    // to the one in the system folder.
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                         &data));
    HMODULE comctl = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&ImageList_Create)), &comctl));
    wchar_t bound[MAX_PATH] = {};
    GetModuleFileNameW(comctl, bound, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring systemCopy = std::wstring(system) + L"\\comctl32.dll";
    EXPECT_NE(lstrcmpiW(bound, systemCopy.c_str()), 0) << testing::PrintToString(std::wstring(bound));
}

TEST(UiResources, ManifestNamesOnlyCommonControlsForThisArchitecture)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(text, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
    EXPECT_EQ(manifest.find("x86\""), std::string::npos);
    EXPECT_EQ(manifest.find("GdiPlus"), std::string::npos);
    size_t dependencies = 0;
    for (size_t at = manifest.find("<dependentAssembly"); at != std::string::npos;
         at = manifest.find("<dependentAssembly", at + 1))
        ++dependencies;
    EXPECT_EQ(dependencies, 1u);
}

TEST(UiResources, VersionBlockKeepsFullSixteenBitParts)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(HIWORD(info->dwProductVersionMS), 1u);
    EXPECT_EQ(LOWORD(info->dwProductVersionMS), 0u);
    EXPECT_EQ(HIWORD(info->dwProductVersionLS), 300u);
    EXPECT_EQ(LOWORD(info->dwProductVersionLS), 2u);
}

TEST(UiResources, CursorKeepsItsHotSpotAndIconItsSizes)
{
    HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_TEST_CROSS));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    kesh::win::Bitmap colour(info.hbmColor), mask(info.hbmMask);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 15u);
    EXPECT_EQ(info.yHotspot, 15u);

    for (int size : {16, 32}) {
        const kesh::win::IconHandle icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TEST_FRAME), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon.isValid()) << size;
        ICONINFO iconInfo = {};
        ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
        kesh::win::Bitmap iconColour(iconInfo.hbmColor), iconMask(iconInfo.hbmMask);
        BITMAP bitmap = {};
        GetObjectW(iconColour, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
    }
}

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

TEST(UiResources, PngResourceBecomesABitmapThatOwnsItsMemory)
{
    GdiplusSession gdiplus;
    {
        boost::shared_ptr<Gdiplus::Bitmap> strip = ui::LoadPngResource(IDP_TEST_PNG);
        ASSERT_TRUE(strip);
        EXPECT_EQ(strip->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(strip->GetWidth(), 70u);
        EXPECT_EQ(strip->GetHeight(), 32u);
        Gdiplus::Color left, right;
        strip->GetPixel(0, 0, &left);
        strip->GetPixel(69, 31, &right);
        EXPECT_EQ(left.GetValue(), 0xFFFF0000u);
        EXPECT_EQ(right.GetAlpha(), 128);
        // Still readable after more allocations: the data stayed alive.
        HBITMAP copy = nullptr;
        ASSERT_EQ(strip->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &copy), Gdiplus::Ok);
        kesh::win::Bitmap owned(copy);
        BITMAP info = {};
        GetObjectW(owned, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, 70);
    }
    EXPECT_FALSE(ui::LoadPngResource(9999));
}

TEST(UiMessageBox, CaptionIsTheProgramNameAndIconFollowsTheButtons)
{
    uitest::FakeShell shell;
    struct Case {
        UINT type;
        UINT icon;
    } cases[] = {
        {MB_OK, MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_ICONEXCLAMATION},
        {MB_YESNO, MB_ICONQUESTION},
        {MB_YESNOCANCEL, MB_ICONQUESTION},
        {MB_YESNO | MB_ICONHAND, MB_ICONHAND},
        {MB_OK | MB_ICONINFORMATION, MB_ICONINFORMATION},
    };
    for (const Case& c : cases) {
        shell.boxes.clear();
        shell.boxAnswer = IDNO;
        EXPECT_EQ(ui::AppMessageBox(L"内容", c.type), IDNO);
        ASSERT_EQ(shell.boxes.size(), 1u);
        EXPECT_EQ(shell.boxes[0].caption, L"Norpa测试");
        EXPECT_EQ(shell.boxes[0].text, L"内容");
        EXPECT_EQ(shell.boxes[0].type & MB_ICONMASK, c.icon) << c.type;
        EXPECT_EQ(shell.boxes[0].type & MB_TYPEMASK, c.type & MB_TYPEMASK);
    }
    shell.boxes.clear();
    ui::AppMessageBox(IDR_TEST_FRAME, MB_OK);
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].text, L"测试框架");
}

TEST(UiShellSeam, FileDialogGetsTheFilterWithNulsAndReturnsThePath)
{
    uitest::FakeShell shell;
    shell.fileAnswer = L"C:\\图片\\a.png";
    ui::FileChooser dialog(false, L"png", nullptr, OFN_OVERWRITEPROMPT, L"PNG(*.png)|*.png||");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), L"C:\\图片\\a.png");
    ASSERT_EQ(shell.files.size(), 1u);
    EXPECT_FALSE(shell.files[0].open);
    EXPECT_EQ(shell.files[0].defaultExt, L"png");
    EXPECT_EQ(shell.files[0].flags, DWORD(OFN_OVERWRITEPROMPT));
    EXPECT_EQ(shell.files[0].filter, std::wstring(L"PNG(*.png)\0*.png\0\0\0", 19));

    shell.fileAnswer.clear();
    ui::FileChooser cancelled(true);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

TEST(UiShellSeam, FilterAlwaysEndsWithTwoNuls)
{
    const std::wstring filter = ui::FilterFromBars(L"所有文件 (*.*)|*.*");
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter[filter.size() - 1], L'\0');
    EXPECT_EQ(filter.find(L'|'), std::wstring::npos);
    EXPECT_EQ(filter, std::wstring(L"所有文件 (*.*)\0*.*\0", 15));
}

TEST(UiShellSeam, ColourDialogKeepsSixteenCustomColoursAcrossUses)
{
    uitest::FakeShell shell;
    shell.colorAnswer = RGB(1, 2, 3);
    ui::ColorChooser first(RGB(255, 0, 0), CC_FULLOPEN);
    EXPECT_EQ(first.request_.color, RGB(255, 0, 0));
    first.request_.customColors[3] = RGB(9, 9, 9);
    EXPECT_EQ(first.DoModal(), IDOK);
    EXPECT_EQ(first.GetColor(), RGB(1, 2, 3));
    ui::ColorChooser second;
    EXPECT_EQ(second.request_.customColors[3], RGB(9, 9, 9));
    shell.colorAnswerOk = false;
    EXPECT_EQ(second.DoModal(), IDCANCEL);
    first.request_.customColors[3] = RGB(255, 255, 255);
}

TEST(UiShellSeam, ColourDialogWithoutParentIsOwnedByTheActiveWindow)
{
    // An unowned colour dialog would leave every window of the program
    // usable while its loop runs, as the file dialogs do not.
    uitest::FakeShell shell;
    ui::CWnd active;
    const RECT rc = {0, 0, 200, 100};
    ASSERT_TRUE(active.CreateEx(0, nullptr, L"active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc, nullptr, 0));
    SetActiveWindow(active.handle());
    ASSERT_EQ(GetActiveWindow(), active.handle());
    ui::ColorChooser chooser;
    chooser.DoModal();
    EXPECT_EQ(shell.colorOwner, active.handle());
    ui::ColorChooser given(0, 0, GetDesktopWindow());
    given.DoModal();
    EXPECT_EQ(shell.colorOwner, GetDesktopWindow()) << "a given parent stays";
}

TEST(UiShellSeam, ShellExecuteGoesThroughTheSeam)
{
    uitest::FakeShell shell;
    ui::Shell().ShellExecute(nullptr, nullptr, L"http://example.invalid/", nullptr, nullptr, SW_SHOWNORMAL);
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0], L"http://example.invalid/");
}

TEST(UiDataExchange, IntegerParsing)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        int value;
    } cases[] = {
        {L"0", true, 0},
        {L"  12  ", true, 12},
        {L"+7", true, 7},
        {L"-2147483648", true, -2147483647 - 1},
        {L"2147483647", true, 2147483647},
        {L"2147483648", false, 0},
        {L"-2147483649", false, 0},
        {L"99999999999999999999", false, 0},
        {L"", false, 0},
        {L" ", false, 0},
        {L"-", false, 0},
        {L"1 2", false, 0},
        {L"0x10", false, 0},
        {L"１２", false, 0},  // full-width digits are not digits here
    };
    for (const Case& c : cases) {
        int value = -99;
        EXPECT_EQ(ui::ParseInt(c.text, value), c.ok) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(value, c.ok ? c.value : -99) << testing::PrintToString(std::wstring(c.text));
    }
}

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
