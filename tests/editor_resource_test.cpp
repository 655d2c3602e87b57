// The editor's resources as the built module holds them: texts, menus,
// keys, toolbar layout and images, icon, cursors, dialog templates, version
// block and manifest.
#include "editor/resource.h"

#include "kesh/handles.h"
#include "ui/png_resource.h"
#include "ui/strings.h"
#include "ui/toolbar.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>

#include <string>
#include <vector>

namespace {

const WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

HINSTANCE module() { return GetModuleHandleW(nullptr); }

TEST(EditorStrings, TableHoldsTheProgramTexts)
{
    struct Case {
        UINT id;
        const wchar_t* text;
    } cases[] = {
        {IDR_MAINFRAME, L"Norpa编辑器"},
        {IDS_VERSION_FORMAT, L"版本%d.%d.%d.%d"},
        {IDS_SAVE_BEFORE_OPEN, L"当前图片有修改未保存,要保存修改吗?"},
        {IDS_MULTI_FRAME_WARNING, L"图片包含多帧图像,修改会导致帧丢失!"},
        {IDS_OPEN_FILTER, L"所有支持的格式 %s|%s|所有文件 (*.*)|*.*||"},
        {IDS_SAVE_FAILED, L"文件保存失败!"},
        {IDS_UPLOAD_DEFAULT_DESCRIPTION, L"-在这里输入对图片的描述-"},
        {IDS_SAVE_BEFORE_CLOSE, L"是否保存修改到\n%s"},
        {IDS_SAVE_FORMAT_UNSUPPORTED, L"保存文件失败, 目标格式不支持!"},
        {IDS_SAVE_NO_BITMAP, L"保存文件失败, 无法创建位图!"},
        {IDS_APP_TITLE, L"Norpa编辑器"},
        {IDS_PARSE_INT, L"请输入一个整数。"},
        {IDS_PARSE_INT_RANGE, L"请输入一个在 %1 和 %2 之间的整数。"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::LoadResString(c.id), c.text) << c.id;
        EXPECT_NE(FindResourceExW(module(), RT_STRING, MAKEINTRESOURCEW(c.id / 16 + 1), kChinesePrc), nullptr)
            << c.id;
    }
}

TEST(EditorStrings, SiteAddressAndStartFailureTextAreThere)
{
    const std::wstring address = ui::LoadResString(IDS_WEBSITE_ADDRESS);
    EXPECT_EQ(address.rfind(L"http://", 0), 0u) << testing::PrintToString(address);
    EXPECT_FALSE(ui::LoadResString(IDS_OLE_INIT_FAILED).empty());
}

TEST(EditorStrings, CommandPromptsAreTooltipsOnly)
{
    struct Case {
        UINT id;
        const wchar_t* tip;
    } cases[] = {
        {ID_TOOL_PENCIL, L"铅笔"},
        {ID_TOOL_HIGHLIGHTER, L"荧光笔"},
        {ID_TOOL_MOSAIC, L"马赛克笔"},
        {ID_TOOL_HAND, L"手型"},
        {ID_FILE_SAVE_TO_SERVER, L"存储到Norpa"},
        {ID_FILE_OPEN, L"打开"},
        {ID_FILE_SAVE, L"保存"},
        {ID_EDIT_COPY, L"复制图像到剪贴板"},
        {ID_EDIT_UNDO, L"撤消上一操作"},
        {ID_EDIT_REDO, L"重复上次撤销的操作"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::LoadResString(c.id), std::wstring(L"\n") + c.tip) << c.id;
        EXPECT_EQ(ui::TooltipOf(ui::LoadResString(c.id)), c.tip) << c.id;
    }
}

TEST(EditorStrings, AboutTextShowsTheVersionParts)
{
    wchar_t text[64] = {};
    swprintf(text, 64, ui::LoadResString(IDS_VERSION_FORMAT).c_str(), 0, 9, 1, 2);
    EXPECT_STREQ(text, L"版本0.9.1.2");
}

// One menu item: a command (id, text), a separator (id 0, no text) or a
// pop-up (its text and items).
struct Item {
    UINT id;
    std::wstring text;
    std::vector<Item> items;
    bool operator==(const Item& o) const { return id == o.id && text == o.text && items == o.items; }
};

void PrintTo(const Item& item, std::ostream* os)
{
    *os << item.id << " " << testing::PrintToString(item.text);
    if (!item.items.empty())
        *os << " " << testing::PrintToString(item.items);
}

std::vector<Item> itemsOf(HMENU menu)
{
    std::vector<Item> out;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 128;
        EXPECT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
        if (info.fType & MFT_SEPARATOR)
            out.push_back({0, L"", {}});
        else if (info.hSubMenu)
            out.push_back({0, text, itemsOf(info.hSubMenu)});
        else
            out.push_back({info.wID, text, {}});
    }
    return out;
}

std::vector<Item> loadedMenu(UINT id)
{
    const kesh::win::MenuHandle menu(LoadMenuW(module(), MAKEINTRESOURCEW(id)));
    EXPECT_TRUE(menu.isValid()) << id;
    if (!menu.isValid())
        return {};
    return itemsOf(menu);
}

const Item kSeparator = {0, L"", {}};

TEST(EditorMenus, MenuBarHasEveryCommandWithItsText)
{
    const std::vector<Item> expected = {
        {0, L"文件(&F)",
         {{ID_FILE_OPEN, L"打开(&O)...", {}},
          {ID_FILE_SAVE, L"保存(&S)", {}},
          {ID_FILE_SAVE_AS, L"存储为(&A)...", {}},
          {ID_FILE_SAVE_TO_SERVER, L"存储到Norpa(&T)...", {}},
          kSeparator,
          {ID_APP_EXIT, L"退出(&X)", {}}}},
        {0, L"编辑(&E)",
         {{ID_EDIT_COPY, L"复制(&C)\tCtrl+C", {}},
          kSeparator,
          {ID_EDIT_UNDO, L"撤消(&U)\tCtrl+Z", {}},
          {ID_EDIT_REDO, L"重做(&Y)\tCtrl+Y", {}}}},
        {0, L"查看(&V)", {{ID_VIEW_HISTORY, L"历史纪录(&H)...", {}}}},
        {0, L"工具(&T)",
         {{ID_TOOL_HAND, L"手型", {}},
          {ID_TOOL_PENCIL, L"铅笔", {}},
          {ID_TOOL_HIGHLIGHTER, L"荧光笔", {}},
          {ID_TOOL_MOSAIC, L"马赛克笔", {}}}},
        {0, L"帮助(&H)", {{ID_APP_ABOUT, L"关于(&A)...", {}}}},
    };
    EXPECT_EQ(loadedMenu(IDR_MAINFRAME), expected);
}

TEST(EditorMenus, PenPopupsInButtonOrderWithTheirFormats)
{
    const std::vector<Item> expected = {
        {0, L"铅笔",
         {{ID_PENCIL_BLACK, L"黑笔", {}},
          {ID_PENCIL_RED, L"红笔", {}},
          {ID_PENCIL_BLUE, L"蓝笔", {}},
          {ID_PENCIL_CUSTOM_COLOR, L"自定颜色 (#%06X)...", {}},
          kSeparator,
          {ID_PENCIL_THIN, L"细", {}},
          {ID_PENCIL_MEDIUM, L"中", {}},
          {ID_PENCIL_THICK, L"粗", {}},
          {ID_PENCIL_CUSTOM_WIDTH, L"自定粗细 (%dpx)...", {}}}},
        {0, L"荧光笔",
         {{ID_HIGHLIGHTER_YELLOW, L"黄色", {}},
          {ID_HIGHLIGHTER_PURPLE, L"紫色", {}},
          {ID_HIGHLIGHTER_CYAN, L"青色", {}}}},
        {0, L"马赛克笔",
         {{ID_MOSAIC_WEAK, L"微弱", {}},
          {ID_MOSAIC_MEDIUM, L"中等", {}},
          {ID_MOSAIC_STRONG, L"强烈", {}},
          {ID_MOSAIC_CUSTOM, L"自定强度(%d)...", {}}}},
    };
    EXPECT_EQ(loadedMenu(IDR_PEN_POPUPS), expected);
}

TEST(EditorKeys, AcceleratorTableHasExactlyTheEditorKeys)
{
    // A table loaded from resources belongs to the module: not destroyed.
    HACCEL table = LoadAcceleratorsW(module(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    const int count = CopyAcceleratorTableW(table, nullptr, 0);
    std::vector<ACCEL> entries(count);
    CopyAcceleratorTableW(table, entries.data(), count);

    struct Key {
        BYTE mods;
        WORD key;
        WORD cmd;
    } expected[] = {
        {FCONTROL, 'C', ID_EDIT_COPY},
        {FCONTROL, 'Z', ID_EDIT_UNDO},
        {FALT, VK_BACK, ID_EDIT_UNDO},
        {FCONTROL, 'Y', ID_EDIT_REDO},
        {FCONTROL, 'S', ID_FILE_SAVE},
        {FCONTROL | FSHIFT, 'S', ID_FILE_SAVE_AS},
        {FCONTROL, 'T', ID_FILE_SAVE_TO_SERVER},
        {FCONTROL, 'H', ID_TOOL_HAND},
        {FCONTROL, 'P', ID_TOOL_PENCIL},
        {FCONTROL, 'N', ID_TOOL_HIGHLIGHTER},
        {FCONTROL, 'M', ID_TOOL_MOSAIC},
    };
    ASSERT_EQ(entries.size(), std::size(expected));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY | expected[i].mods) << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
        EXPECT_NE(entries[i].cmd, ID_FILE_OPEN);
    }
}

TEST(EditorToolbar, LayoutListsTheButtonsInOrder)
{
    HRSRC found = FindResourceW(module(), MAKEINTRESOURCEW(IDR_MAIN_TOOLBAR), MAKEINTRESOURCEW(RT_TOOLBAR_LAYOUT));
    ASSERT_NE(found, nullptr);
    const WORD* words = static_cast<const WORD*>(LockResource(LoadResource(module(), found)));
    const std::vector<WORD> layout(words, words + SizeofResource(module(), found) / sizeof(WORD));
    const std::vector<WORD> expected = {1, 35, 32, 9, ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_TOOL_HAND, ID_TOOL_PENCIL,
                                        ID_TOOL_HIGHLIGHTER, ID_TOOL_MOSAIC, 0, ID_FILE_SAVE_TO_SERVER};
    EXPECT_EQ(layout, expected);

    // The fallback bitmap holds one image per button.
    kesh::win::Bitmap bitmap(LoadBitmapW(module(), MAKEINTRESOURCEW(IDR_MAIN_TOOLBAR)));
    BITMAP info = {};
    ASSERT_EQ(GetObjectW(bitmap, sizeof(info), &info), int(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 7 * TOOLBAR_IMAGE_WIDTH);
    EXPECT_EQ(info.bmHeight, TOOLBAR_IMAGE_HEIGHT);

    ui::CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW, RECT{0, 0, 400, 200}, nullptr, 0));
    ui::CToolBar toolbar;
    ASSERT_TRUE(toolbar.CreateEx(&host));
    ASSERT_TRUE(toolbar.LoadToolBar(IDR_MAIN_TOOLBAR));
    EXPECT_EQ(toolbar.ButtonCount(), 9);
    EXPECT_EQ(toolbar.CommandAt(8), UINT(ID_FILE_SAVE_TO_SERVER));
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

// Every 35 x 32 image of the strip: whether it draws something, and whether
// everything it draws is grey.
struct StripCells {
    std::vector<bool> drawn;
    bool allGrey = true;
};

StripCells inspect(Gdiplus::Bitmap& strip)
{
    StripCells cells;
    const UINT count = strip.GetWidth() / TOOLBAR_IMAGE_WIDTH;
    for (UINT cell = 0; cell < count; ++cell) {
        int opaque = 0;
        for (UINT y = 0; y < strip.GetHeight(); ++y)
            for (UINT x = cell * TOOLBAR_IMAGE_WIDTH; x < (cell + 1) * TOOLBAR_IMAGE_WIDTH; ++x) {
                Gdiplus::Color c;
                strip.GetPixel(x, y, &c);
                if (c.GetAlpha() > 128)
                    ++opaque;
                if (c.GetAlpha() && !(c.GetR() == c.GetG() && c.GetG() == c.GetB()))
                    cells.allGrey = false;
            }
        cells.drawn.push_back(opaque > 40);
    }
    return cells;
}

TEST(EditorToolbar, PngStripsHoldSevenImagesForAnImageList)
{
    GdiplusSession gdiplus;
    for (UINT id : {IDP_TOOLBAR_NORMAL, IDP_TOOLBAR_DISABLED}) {
        boost::shared_ptr<Gdiplus::Bitmap> strip = ui::LoadPngResource(id);
        ASSERT_TRUE(strip) << id;
        ASSERT_EQ(strip->GetLastStatus(), Gdiplus::Ok) << id;
        EXPECT_EQ(strip->GetWidth(), 7u * TOOLBAR_IMAGE_WIDTH) << id;
        EXPECT_EQ(strip->GetHeight(), UINT(TOOLBAR_IMAGE_HEIGHT)) << id;

        const StripCells cells = inspect(*strip);
        EXPECT_EQ(cells.drawn, std::vector<bool>(7, true)) << id;
        EXPECT_EQ(cells.allGrey, id == IDP_TOOLBAR_DISABLED) << id;

        HBITMAP handle = nullptr;
        ASSERT_EQ(strip->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &handle), Gdiplus::Ok);
        kesh::win::Bitmap bitmap(handle);
        ui::ImageList list;
        ASSERT_TRUE(list.Create(TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT, ILC_COLOR32, 7, 0));
        EXPECT_EQ(list.Add(bitmap), 0);
        EXPECT_EQ(list.GetImageCount(), 7) << id;
    }
}

TEST(EditorArtwork, IconComesInEverySizeTheShellAsksFor)
{
    for (int size : {16, 24, 32, 48, 256}) {
        const kesh::win::IconHandle icon(static_cast<HICON>(
            LoadImageW(module(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        ASSERT_TRUE(icon.isValid()) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
        kesh::win::Bitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bitmap = {};
        GetObjectW(colour, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
    }
}

TEST(EditorArtwork, CursorsPointWhereTheToolDraws)
{
    struct Case {
        UINT id;
        DWORD x, y;
    } cases[] = {
        {IDC_CURSOR_PENCIL, 1, 30},             // the pencil's tip
        {IDC_CURSOR_MOSAIC, 15, 15},            // the brush square's centre
        {IDC_CURSOR_HIGHLIGHTER_YELLOW, 2, 29}, // the chisel tip
        {IDC_CURSOR_HIGHLIGHTER_PURPLE, 2, 29},
        {IDC_CURSOR_HIGHLIGHTER_CYAN, 2, 29},
        {IDC_CURSOR_HAND, 15, 15},              // the palm
    };
    for (const Case& c : cases) {
        HCURSOR cursor = LoadCursorW(module(), MAKEINTRESOURCEW(c.id));
        ASSERT_NE(cursor, nullptr) << c.id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(cursor, &info)) << c.id;
        kesh::win::Bitmap colour(info.hbmColor), mask(info.hbmMask);
        EXPECT_FALSE(info.fIcon) << c.id;
        EXPECT_EQ(info.xHotspot, c.x) << c.id;
        EXPECT_EQ(info.yHotspot, c.y) << c.id;
        BITMAP bitmap = {};
        GetObjectW(colour, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, 32) << c.id;
    }
}

// One control of a dialog template, in creation order. x, y, cx, cy are
// dialog units; sized false for controls that size themselves (combo boxes
// take the height of their edit, icons of the icon, spins their own width).
struct Control {
    int id;
    const wchar_t* cls;
    const wchar_t* text;  // nullptr: not compared
    int x, y, cx, cy;
    DWORD style;          // bits that must be set
    bool sized;
};

struct Template {
    UINT id;
    const wchar_t* caption;
    int cx, cy;
    std::vector<Control> controls;
};

std::wstring classOf(HWND hwnd)
{
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    std::wstring text(name);
    const size_t bang = text.find(L'!');  // versioned class names
    return bang == std::wstring::npos ? text : text.substr(bang + 1);
}

std::wstring textOf(HWND hwnd) { return ui::WindowText(hwnd); }

INT_PTR CALLBACK plainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

const int kStatic = -1;

void checkTemplate(const Template& t)
{
    SCOPED_TRACE(t.id);
    HWND dialog = CreateDialogParamW(module(), MAKEINTRESOURCEW(t.id), nullptr, plainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(dialog), t.caption);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_STYLE) & DS_MODALFRAME);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION);

    RECT size = {0, 0, t.cx, t.cy};
    MapDialogRect(dialog, &size);
    RECT client = {};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), t.controls.size());
    for (size_t i = 0; i < children.size(); ++i) {
        const Control& c = t.controls[i];
        HWND child = children[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(short(GetDlgCtrlID(child)), c.id);
        EXPECT_EQ(lstrcmpiW(classOf(child).c_str(), c.cls), 0) << testing::PrintToString(classOf(child));
        if (c.text) {
            EXPECT_EQ(textOf(child), c.text);
        }
        EXPECT_EQ(DWORD(GetWindowLongW(child, GWL_STYLE)) & c.style, c.style);
        EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE);
        if (lstrcmpiW(c.cls, L"Edit") == 0) {
            // Dialogs turn an edit's border into the sunken edge.
            EXPECT_TRUE((GetWindowLongW(child, GWL_STYLE) & WS_BORDER) ||
                        (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        }

        // Position and size are converted apart, as the dialog manager does.
        RECT at = {c.x, c.y, c.cx, c.cy};
        MapDialogRect(dialog, &at);
        const RECT want = {at.left, at.top, at.left + at.right, at.top + at.bottom};
        RECT got = {};
        GetWindowRect(child, &got);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        if (c.sized) {
            EXPECT_EQ(got.right, want.right);
            EXPECT_EQ(got.bottom, want.bottom);
        }
    }
    DestroyWindow(dialog);
}

class EditorDialogs : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
    }
};

TEST_F(EditorDialogs, AboutBox)
{
    checkTemplate({IDD_ABOUTBOX, L"关于Norpa编辑器", 171, 113,
                   {
                       {kStatic, L"Static", nullptr, 14, 15, 20, 20, SS_ICON, false},
                       {kStatic, L"Static", L"Norpa编辑器", 45, 15, 48, 8, SS_NOPREFIX, true},
                       {IDC_ABOUT_VERSION, L"Static", L"", 95, 15, 69, 8, 0, true},
                       {kStatic, L"Static", L"版权所有 (C) 2026 NorpaSoft", 45, 33, 119, 8, 0, true},
                       {IDC_ABOUT_WEBSITE, L"Button",
                        (L"访问Norpa网站 " + ui::LoadResString(IDS_WEBSITE_ADDRESS)).c_str(), 7, 58, 157, 14,
                        WS_TABSTOP, true},
                       {IDOK, L"Button", L"确定", 114, 92, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
                   }});
}

TEST_F(EditorDialogs, PencilWidthAndMosaicStrength)
{
    const DWORD edit = ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP;
    const DWORD spin = UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS;
    checkTemplate({IDD_PENCIL_WIDTH, L"自定粗细", 174, 95,
                   {
                       {IDC_PENCIL_WIDTH_EDIT, L"Edit", nullptr, 46, 19, 40, 14, edit, true},
                       {IDC_PENCIL_WIDTH_SPIN, L"msctls_updown32", nullptr, 86, 18, 10, 15, spin, false},
                       {IDOK, L"Button", L"确定", 60, 74, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
                       {IDCANCEL, L"Button", L"取消", 117, 74, 50, 14, WS_TABSTOP, true},
                       {kStatic, L"Static", L"铅笔粗细", 7, 22, 36, 8, WS_GROUP, true},
                       {kStatic, L"Static", L"像素", 104, 22, 15, 8, WS_GROUP, true},
                   }});
    checkTemplate({IDD_MOSAIC_STRENGTH, L"自定强度", 174, 95,
                   {
                       {IDC_MOSAIC_STRENGTH_EDIT, L"Edit", nullptr, 54, 19, 40, 14, edit, true},
                       {IDC_MOSAIC_STRENGTH_SPIN, L"msctls_updown32", nullptr, 94, 18, 10, 15, spin, false},
                       {IDOK, L"Button", L"确定", 60, 74, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
                       {IDCANCEL, L"Button", L"取消", 117, 74, 50, 14, WS_TABSTOP, true},
                       {kStatic, L"Static", L"马赛克强度", 7, 22, 44, 8, WS_GROUP, true},
                   }});
}

TEST_F(EditorDialogs, SaveFormat)
{
    // The combo box hands its scroll bar style on to its list.
    const DWORD list = CBS_DROPDOWNLIST | WS_TABSTOP;
    checkTemplate({IDD_SAVE_FORMAT, L"选择存储格式", 187, 130,
                   {
                       {IDC_SAVE_FORMAT_LIST, L"ComboBox", nullptr, 6, 7, 59, 127, list, false},
                       {IDC_SAVE_QUALITY_EDIT, L"Edit", nullptr, 39, 51, 26, 12,
                        ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, true},
                       {IDC_SAVE_QUALITY_PRESET, L"ComboBox", nullptr, 68, 50, 32, 108, list, false},
                       {IDC_SAVE_QUALITY_SLIDER, L"msctls_trackbar32", nullptr, 10, 77, 106, 15, TBS_NOTICKS, true},
                       {IDC_SAVE_SKIP, L"Button", L"跳过", 130, 7, 50, 14, BS_DEFPUSHBUTTON, true},
                       {IDOK, L"Button", L"确定", 130, 36, 50, 14, 0, true},
                       {IDCANCEL, L"Button", L"取消", 130, 55, 50, 14, 0, true},
                       {kStatic, L"Button", L"选项", 6, 34, 115, 89, BS_GROUPBOX, true},
                       {kStatic, L"Static", L"品质", 15, 53, 20, 8, 0, true},
                       {kStatic, L"Static", L"小文件", 19, 92, 22, 8, 0, true},
                       {kStatic, L"Static", L"高品质", 90, 92, 22, 8, 0, true},
                   }});
    // OK starts as a plain button: the dialog makes it the default only
    // when skipping is not offered.
    HWND dialog = CreateDialogParamW(module(), MAKEINTRESOURCEW(IDD_SAVE_FORMAT), nullptr, plainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    DestroyWindow(dialog);
}

std::wstring versionValue(const std::vector<BYTE>& block, const wchar_t* name)
{
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080403a8\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return L"<missing>";
    return value;
}

TEST(EditorVersion, BlockReads0912WithTheProductTexts)
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
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(info->dwFileVersionMS, DWORD(MAKELONG(9, 0)));
    EXPECT_EQ(info->dwFileVersionLS, DWORD(MAKELONG(2, 1)));
    EXPECT_EQ(info->dwProductVersionMS, DWORD(MAKELONG(9, 0)));
    EXPECT_EQ(info->dwProductVersionLS, DWORD(MAKELONG(2, 1)));
    EXPECT_EQ(info->dwFileType, DWORD(VFT_APP));

    struct Case {
        const wchar_t* name;
        const wchar_t* value;
    } cases[] = {
        {L"CompanyName", L"NorpaSoft"},        {L"FileDescription", L"Norpa编辑器"},
        {L"FileVersion", L"0.9.1.2"},          {L"InternalName", L"vomla.exe"},
        {L"OriginalFilename", L"vomla.exe"},   {L"ProductName", L"Norpa"},
        {L"ProductVersion", L"0.9.1.2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(versionValue(block, c.name), c.value) << testing::PrintToString(std::wstring(c.name));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 936);
}

TEST(EditorManifest, AsksOnlyForCommonControlsOfThisArchitecture)
{
    HRSRC found = FindResourceW(module(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module(), found)));
    const std::string manifest(text, SizeofResource(module(), found));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
    EXPECT_EQ(manifest.find("x86"), std::string::npos);
    EXPECT_EQ(manifest.find("GdiPlus"), std::string::npos);
}

}  // namespace
