// The capture's main road with the real toolbar under the test's display: a
// full-screen pattern of the test's own, the hot key, a drag, the PNG in the
// history, and the editor started with its path and place: a stand-in that
// records its command line, and once the real editor.
#include "tests/toolbar_program_support.h"

#include "common/gdiplus_handles.h"
#include "common/image_codecs.h"
#include "kesh/property.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "toolbar/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <map>
#include <set>

using namespace toolbartest;

namespace {

constexpr UINT kOptionsCommand = 32772;
constexpr UINT kOpenImageCommand = 32785;
constexpr UINT kPasteCommand = 32792;

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Screen-like: gradients across and down, noise in blue, so that every
// shifted, mirrored or scaled copy shows.
DWORD Pattern(int x, int y)
{
    const DWORD noise = (static_cast<DWORD>(x) * 2654435761u ^ static_cast<DWORD>(y) * 40503u) >> 13;
    return ((x * 255 / 1280) & 0xFF) << 16 | ((y * 255 / 1024) & 0xFF) << 8 | (noise & 0xFF);
}

// How many of picture's pixels differ from expected(x, y); the first few
// are reported.
int CountDifferences(const Picture& picture, const std::function<DWORD(int, int)>& expected)
{
    int wrong = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const DWORD got = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            if (got != expected(x, y) && ++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", not "
                              << expected(x, y);
        }
    return wrong;
}

// The toolbar in a folder of its own, beside a stand-in editor that writes
// its command lines into vomla.args.
class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(ToolbarRunning()) << "another norpa.exe runs on this desktop";
        CreateDirectoryW(Folder().c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(Wide(editorapptest::BesideTestProgram("norpa.exe")).c_str(), Program(L"norpa.exe").c_str(),
                              FALSE));
        ASSERT_TRUE(CopyFileW(Wide(editorapptest::BesideTestProgram("toolbar_editor_standin.exe")).c_str(),
                              Program(L"vomla.exe").c_str(), FALSE));
    }
    void TearDown() override
    {
        if (toolbar_ && toolbar_->Running()) {
            EXPECT_TRUE(toolbar_->Exit(window_));
        }
        toolbar_.reset();
        for (const wchar_t* name : {L"norpa.exe", L"vomla.exe", L"vomla.args"})
            DeleteFileW(Program(name).c_str());
        RemoveDirectoryW(Folder().c_str());
    }

    std::wstring Folder() const { return Wide(folder_.path("toolbar")); }
    std::wstring Program(const wchar_t* name) const { return Folder() + L"\\" + name; }

    HWND StartToolbar()
    {
        toolbar_.reset(new Toolbar(Folder()));
        window_ = toolbar_->WaitForWindow();
        return window_;
    }

    // The command lines the stand-in editor was started with, waited for
    // until there are count of them.
    std::vector<std::wstring> EditorStarts(size_t count, DWORD timeoutMs = 10000) const
    {
        std::vector<std::wstring> lines;
        WaitFor([&] {
            lines.clear();
            const std::string bytes = editorapptest::ReadFileBytes(kesh::String(Program(L"vomla.args").c_str()));
            const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
            size_t start = 0;
            for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
                lines.push_back(text.substr(start, end - start));
            return lines.size() >= count;
        }, timeoutMs);
        return lines;
    }

    // The one new capture, which the one start of the editor opened with
    // its path and position ("-x.. -y.."); "" when that is not so.
    std::wstring OneCaptureOpened(const std::wstring& position) const
    {
        const std::vector<std::wstring> starts = EditorStarts(1);
        const std::vector<std::wstring> files = captures_.NewFiles(L"Capture");
        if (files.size() != 1 || starts.size() != 1) {
            ADD_FAILURE() << files.size() << " captures, " << starts.size() << " starts of the editor";
            return std::wstring();
        }
        EXPECT_TRUE(EndsWith(starts[0], L"\"" + files[0] + L"\" " + position)) << starts[0].c_str();
        return files[0];
    }

    HWND Overlay() const { return FindOverlay(toolbar_->id()); }
    HWND WaitForOverlay() const { return toolbartest::WaitForOverlay(toolbar_->id()); }
    bool WaitForOverlayGone() const { return toolbartest::WaitForOverlayGone(toolbar_->id()); }

    SettingsKeyGuard settings_;
    StartupShortcutGuard shortcut_;
    HistoryGuard captures_;
    editortest::TempFolder folder_;
    GdiplusSession gdiplus_;
    std::unique_ptr<Toolbar> toolbar_;
    HWND window_ = nullptr;
};

// Each screen pixel during a drag from a to b: the pattern dimmed to about
// half outside the selection, a red frame on its outermost pixels, the
// pattern itself inside. The first few that differ are reported when
// report is set.
int CountOverlayDifferences(POINT a, POINT b, bool report = true)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const std::vector<DWORD> screen = ScreenPixels(RECT{0, 0, width, height});
    const RECT s = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD got = screen[static_cast<size_t>(y) * width + x];
            const DWORD pattern = Pattern(x, y);
            const bool inside = x >= s.left && x < s.right && y >= s.top && y < s.bottom;
            const bool frame = inside && (x == s.left || x == s.right - 1 || y == s.top || y == s.bottom - 1);
            bool ok = true;
            if (frame) {
                ok = got == 0xFF0000;
            } else if (inside) {
                ok = got == pattern;
            } else {
                for (int shift : {0, 8, 16}) {
                    const int dimmed = static_cast<int>((pattern >> shift) & 0xFF) * 127 / 255;
                    ok = ok && std::abs(dimmed - static_cast<int>((got >> shift) & 0xFF)) <= 1;
                }
            }
            if (!ok && ++wrong <= 3 && report)
                ADD_FAILURE() << "screen (" << x << ", " << y << ") shows " << std::hex << got << " over "
                              << pattern << (frame ? " on the frame" : inside ? " inside" : " outside");
        }
    return wrong;
}

// The same once the overlay has drawn what it was given (waited for).
int OverlayDifferencesOnceDrawn(POINT a, POINT b)
{
    WaitFor([&] { return CountOverlayDifferences(a, b, false) == 0; }, 5000);
    return CountOverlayDifferences(a, b);
}

TEST_F(CaptureTest, HotKeyAndDragSaveTheRegionAndStartTheEditorAtItsPlace)
{
    SettingsKeyGuard::WriteDword(L"hideWhenCapture", 1);
    Backdrop backdrop(Pattern);
    ASSERT_NE(nullptr, StartToolbar());
    PressKeys({VK_CONTROL, VK_F2});
    ASSERT_NE(nullptr, WaitForOverlay());
    EXPECT_FALSE(IsWindowVisible(window_)) << "the toolbar hides while capturing";

    // Dragged from bottom-right to top-left, by way of the screen's top
    // edge.
    const POINT start = {520, 390}, end = {200, 150};
    MoveMouse(start.x, start.y);
    MouseButton(true);
    MoveMouse(300, 0);
    MoveMouse(end.x, end.y);
    EXPECT_EQ(0, OverlayDifferencesOnceDrawn(start, end));
    // A second request while the overlay is open changes nothing.
    PressKeys({VK_CONTROL, VK_F2});
    MouseButton(false);
    ASSERT_TRUE(WaitForOverlayGone());

    const Picture picture = ReadPicture(OneCaptureOpened(L"-x200 -y150"));
    EXPECT_EQ(320, picture.width);
    EXPECT_EQ(240, picture.height);
    EXPECT_EQ(0, CountDifferences(picture, [](int x, int y) { return Pattern(200 + x, 150 + y); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window_) != FALSE; }, 3000)) << "the toolbar comes back";
    // Nothing shows a second start coming: it is watched for as long as one
    // takes.
    EXPECT_FALSE(WaitFor([&] { return EditorStarts(2, 0).size() > 1; }, 1000)) << "the editor started again";
}

TEST_F(CaptureTest, EscDropsTheDragThenTheOverlayWithoutACapture)
{
    SettingsKeyGuard::WriteDword(L"hideWhenCapture", 1);
    Backdrop backdrop(Pattern);
    ASSERT_NE(nullptr, StartToolbar());
    PressKeys({VK_CONTROL, VK_F2});
    ASSERT_NE(nullptr, WaitForOverlay());
    MoveMouse(100, 100);
    MouseButton(true);
    MoveMouse(400, 300);
    PressKeys({VK_ESCAPE});
    // Dimmed everywhere again: an empty selection.
    EXPECT_EQ(0, OverlayDifferencesOnceDrawn(POINT{0, 0}, POINT{0, 0}));
    EXPECT_NE(nullptr, Overlay()) << "the first Esc drops only the drag";
    MouseButton(false);
    // A click without a drag leaves the overlay open too. It shows nothing:
    // the overlay's end is watched for as long as an end takes.
    MoveMouse(600, 600);
    MouseButton(true);
    MouseButton(false);
    EXPECT_FALSE(WaitFor([&] { return Overlay() == nullptr; }, 300)) << "a click ended the overlay";
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitForOverlayGone());
    // The toolbar comes back after what a capture saves and starts.
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window_) != FALSE; }, 3000)) << "the toolbar comes back";
    EXPECT_TRUE(captures_.NewFiles(L"Capture").empty());
    EXPECT_TRUE(EditorStarts(1, 0).empty());
}

// The menu's own loop would keep the mouse from the overlay.
TEST_F(CaptureTest, TheHotKeyOverTheOpenMenuClosesItAndCaptures)
{
    SettingsKeyGuard::WriteDword(L"hideWhenCapture", 1);
    Backdrop backdrop(Pattern);
    ASSERT_NE(nullptr, StartToolbar());
    ClickWindow(GetDlgItem(window_, IDC_MENU_BUTTON));
    ASSERT_NE(nullptr, WaitForWindowOf(toolbar_->id(), L"#32768", nullptr, 5000)) << "the menu never opened";
    PressKeys({VK_CONTROL, VK_F2});
    ASSERT_NE(nullptr, WaitForOverlay());
    EXPECT_EQ(nullptr, FindWindowOf(toolbar_->id(), L"#32768")) << "the menu stayed open";
    Drag(POINT{150, 120}, POINT{470, 360});
    ASSERT_TRUE(WaitForOverlayGone());
    const Picture picture = ReadPicture(OneCaptureOpened(L"-x150 -y120"));
    EXPECT_EQ(320, picture.width);
    EXPECT_EQ(240, picture.height);
    EXPECT_EQ(0, CountDifferences(picture, [](int x, int y) { return Pattern(150 + x, 120 + y); }));
}

TEST_F(CaptureTest, CtrlATakesTheWholeScreenWithTheToolbarOnIt)
{
    Backdrop backdrop(Pattern);
    ASSERT_NE(nullptr, StartToolbar());
    RECT bar = {};
    GetWindowRect(window_, &bar);
    const POINT onBar = {bar.left + 40, bar.top + 25};
    ASSERT_TRUE(WaitFor([&] {
        return ScreenPixels(RECT{onBar.x, onBar.y, onBar.x + 1, onBar.y + 1})[0] != Pattern(onBar.x, onBar.y);
    }, 5000)) << "the toolbar is not drawn";
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const std::vector<DWORD> before = ScreenPixels(RECT{0, 0, width, height});
    PressKeys({VK_CONTROL, VK_F2});
    ASSERT_NE(nullptr, WaitForOverlay());
    PressKeys({VK_CONTROL, 'A'});
    ASSERT_TRUE(WaitForOverlayGone());

    const Picture picture = ReadPicture(OneCaptureOpened(L"-x0 -y0"));
    EXPECT_EQ(width, picture.width);
    EXPECT_EQ(height, picture.height);
    // What the screen showed, the toolbar included.
    EXPECT_EQ(0, CountDifferences(picture, [&](int x, int y) { return before[static_cast<size_t>(y) * width + x]; }));
    EXPECT_NE(Pattern(onBar.x, onBar.y), before[static_cast<size_t>(onBar.y) * width + onBar.x]);
}

// A device bitmap of width x height showing Pattern from (dx, dy), on the
// clipboard as CF_BITMAP.
void PutPatternOnClipboard(int width, int height, int dx, int dy)
{
    kesh::win::ClientDC screen(nullptr);
    kesh::win::Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    {
        kesh::win::MemoryDC memory(screen);
        kesh::win::SelectObjectGuard select(memory, bitmap);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const DWORD c = Pattern(dx + x, dy + y);
                SetPixelV(memory, x, y, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
            }
    }
    editortest::ClipboardOwner owner;
    ASSERT_TRUE(editortest::OpenClipboardPatiently(owner.hwnd()));
    EmptyClipboard();
    // The clipboard owns the bitmap from here on.
    if (SetClipboardData(CF_BITMAP, bitmap))
        bitmap.Detach();
    CloseClipboard();
}

TEST_F(CaptureTest, AClipboardPictureIsSavedAndOpenedCentred)
{
    ASSERT_NE(nullptr, StartToolbar());
    PutPatternOnClipboard(90, 70, 33, 44);
    PostMessageW(window_, WM_COMMAND, kPasteCommand, 0);
    const Picture picture = ReadPicture(OneCaptureOpened(L"-x-1 -y-1"));
    EXPECT_EQ(90, picture.width);
    EXPECT_EQ(70, picture.height);
    EXPECT_EQ(0, CountDifferences(picture, [](int x, int y) { return Pattern(33 + x, 44 + y); }));
}

TEST_F(CaptureTest, TheOpenCommandStartsTheEditorWithoutAPicture)
{
    ASSERT_NE(nullptr, StartToolbar());
    PostMessageW(window_, WM_COMMAND, kOpenImageCommand, 0);
    const std::vector<std::wstring> starts = EditorStarts(1);
    ASSERT_EQ(1u, starts.size());
    EXPECT_TRUE(EndsWith(starts[0], L" \"\" -x-1 -y-1")) << starts[0].c_str();
    EXPECT_TRUE(captures_.NewFiles(L"Capture").empty());
}

TEST_F(CaptureTest, AMissingEditorIsReportedWithTheClipboardFreeAndTheSavedPictureStays)
{
    ASSERT_TRUE(DeleteFileW(Program(L"vomla.exe").c_str()));
    ASSERT_NE(nullptr, StartToolbar());
    PutPatternOnClipboard(20, 10, 0, 0);
    PostMessageW(window_, WM_COMMAND, kPasteCommand, 0);
    HWND message = nullptr;
    WaitFor([&] { return (message = FindDialogWithText(toolbar_->id(), L"无法打开Norpa编辑器!")) != nullptr; }, 10000);
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(L"Norpa", WindowText(message));
    {
        // While the message waits for the user, other programs can use the
        // clipboard.
        editortest::ClipboardOwner other;
        EXPECT_TRUE(editortest::OpenClipboardPatiently(other.hwnd()));
        CloseClipboard();
    }
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(message); }, 5000));
    const std::vector<std::wstring> files = captures_.NewFiles(L"Capture");
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(20, ReadPicture(files[0]).width);
}

TEST_F(CaptureTest, AHotKeyChosenInTheOptionsWorksAtOnce)
{
    ASSERT_NE(nullptr, StartToolbar());
    PostMessageW(window_, WM_COMMAND, kOptionsCommand, 0);
    HWND options = WaitForWindowOf(toolbar_->id(), L"#32770", L"Norpa 选项", 10000);
    ASSERT_NE(nullptr, options);
    // A second request brings the open dialog forward instead of another;
    // the toolbar's one queue hands it over before the OK posted below.
    PostMessageW(window_, WM_COMMAND, kOptionsCommand, 0);
    HWND hotKey = GetDlgItem(options, 1013);
    EXPECT_EQ(MAKEWORD(VK_F2, HOTKEYF_CONTROL), LOWORD(SendMessageW(hotKey, HKM_GETHOTKEY, 0, 0)));
    SendMessageW(hotKey, HKM_SETHOTKEY, MAKEWORD(VK_F9, HOTKEYF_SHIFT), 0);
    PostMessageW(options, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(options); }, 5000));
    EXPECT_EQ(nullptr, FindWindowOf(toolbar_->id(), L"#32770", L"Norpa 选项"));
    EXPECT_EQ(L"65656", SettingsKeyGuard::Read(L"captureHotkey"));

    // The old key no longer captures; Shift+F9 (not Alt+F9) does. A key
    // that does nothing shows nothing: an overlay is watched for as long as
    // one takes to come.
    PressKeys({VK_CONTROL, VK_F2});
    EXPECT_FALSE(WaitFor([&] { return Overlay() != nullptr; }, 1000)) << "the old key captures";
    PressKeys({VK_MENU, VK_F9});
    EXPECT_FALSE(WaitFor([&] { return Overlay() != nullptr; }, 1000)) << "Alt+F9 captures";
    PressKeys({VK_SHIFT, VK_F9});
    ASSERT_NE(nullptr, WaitForOverlay());
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitForOverlayGone());
}

// Whether cursor's hot spot lies where the arms of its cross meet: the arms
// above and left of it lead to it, with the light halo beside them.
bool HotSpotOnCross(HCURSOR cursor)
{
    ICONINFO icon = {};
    if (!GetIconInfo(cursor, &icon))
        return false;
    const kesh::win::Bitmap colour(icon.hbmColor), mask(icon.hbmMask);
    BITMAP size = {};
    GetObjectW(colour, sizeof(size), &size);
    kesh::win::MemoryDC dc(nullptr);
    kesh::win::SelectObjectGuard select(dc, colour);
    const auto dark = [&](int dx, int dy) {
        const COLORREF p = GetPixel(dc, static_cast<int>(icon.xHotspot) + dx, static_cast<int>(icon.yHotspot) + dy);
        return p != CLR_INVALID && GetRValue(p) + GetGValue(p) + GetBValue(p) < 288;
    };
    const int arm = size.bmWidth / 4;
    return dark(0, -arm) && !dark(-1, -arm) && !dark(1, -arm) && dark(-arm, 0) && !dark(-arm, -1) && !dark(-arm, 1);
}

TEST(RealEditorTest, TheCaptureOpensInTheEditorWhereItWasOnTheScreenAtTheDisplaysScale)
{
    ASSERT_FALSE(ToolbarRunning()) << "another norpa.exe runs on this desktop";
    // The toolbar is as large to the eye at each scale the test runs at
    // (tests/CMakeLists.txt).
    const std::map<int, SIZE> barAt = {{96, {85, 50}}, {144, {128, 75}}};
    const int dpi = GetDeviceCaps(kesh::win::ClientDC(nullptr), LOGPIXELSY);
    ASSERT_EQ(1u, barAt.count(dpi)) << dpi << " DPI";
    if (const char* scaled = std::getenv("NORPA_DISPLAY_DPI")) {
        ASSERT_EQ(std::atoi(scaled), dpi);
    }
    SettingsKeyGuard settings;
    StartupShortcutGuard shortcut;
    HistoryGuard captures;
    editorapptest::EditorKeyGuard editorSettings;
    GdiplusSession gdiplus;
    SettingsKeyGuard::WriteDword(L"hideWhenCapture", 1);
    SettingsKeyGuard::WriteText(L"xPos", L"100");
    SettingsKeyGuard::WriteText(L"yPos", L"100");
    // A magenta block in the pattern, whose corner shows where the editor
    // puts the picture.
    const COLORREF magenta = RGB(0xE0, 0x20, 0xB0);
    const RECT block = {400, 300, 700, 500};
    const auto colour = [&](int x, int y) {
        const POINT p = {x, y};
        return PtInRect(&block, p) ? 0xE020B0u : Pattern(x, y);
    };
    std::unique_ptr<Backdrop> backdrop(new Backdrop(colour));
    Toolbar toolbar;  // beside the real editor
    HWND window = toolbar.WaitForWindow();
    ASSERT_NE(nullptr, window);
    // Stored at (100, 100): its edges' pixels show it, the next ones the
    // backdrop (measured in the screen's pixels, since under Wine other
    // processes' windows are not placed in them at every scale).
    const RECT bar = {100, 100, 100 + barAt.at(dpi).cx, 100 + barAt.at(dpi).cy};
    const int midX = (bar.left + bar.right) / 2, midY = (bar.top + bar.bottom) / 2;
    const auto shows = [&](int x, int y) { return ScreenPixels(RECT{x, y, x + 1, y + 1})[0] != backdrop->At(x, y); };
    EXPECT_TRUE(WaitFor([&] {
        return shows(bar.left, midY) && !shows(bar.left - 1, midY) && shows(bar.right - 1, midY) &&
               !shows(bar.right, midY) && shows(midX, bar.top) && !shows(midX, bar.top - 1) &&
               shows(midX, bar.bottom - 1) && !shows(midX, bar.bottom);
    }, 5000));
    PressKeys({VK_CONTROL, VK_F2});
    // The overlay is up once the screen is dimmed (its window is not looked
    // up: Wine reports another process's window at 96-DPI places).
    ASSERT_TRUE(WaitFor([&] { return ScreenPixels(RECT{1000, 900, 1001, 901})[0] != backdrop->At(1000, 900); }, 10000));
    // What the user aims with is what is taken: the overlay's pointer as the
    // system makes it for the display's scale.
    const kesh::win::CursorHandle pointer(static_cast<HCURSOR>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CAPTURE_CURSOR), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
    EXPECT_TRUE(HotSpotOnCross(pointer));
    // Within the screen's top-left two thirds: at 144 DPI Wine 8 finds the
    // window under the pointer as if DPI-aware windows had their 96-DPI places.
    const RECT region = {380, 280, 720, 520};
    Drag(POINT{region.left, region.top}, POINT{region.right, region.bottom});
    // From here on the screen shows the editor, not the pattern.
    backdrop.reset();

    // The capture is named once it is whole: it reads as soon as it shows.
    std::wstring file;
    Picture picture;
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<std::wstring> files = captures.NewFiles(L"Capture");
        return files.size() == 1 && (picture = ReadPicture(file = files[0])).width > 0;
    }, 10000));
    EXPECT_EQ(region.right - region.left, picture.width);
    EXPECT_EQ(region.bottom - region.top, picture.height);
    EXPECT_EQ(0, CountDifferences(picture, [&](int x, int y) { return colour(region.left + x, region.top + y); }));
    const std::wstring name = file.substr(file.find_last_of(L'\\') + 1);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = FindTitledWindow(name)) != nullptr; }, 20000)) << "no editor with " << name.c_str();
    POINT corner = {};
    EXPECT_TRUE(WaitFor([&] { return editorapptest::FindImageCorner(POINT{block.left, block.top}, 3, magenta, corner); },
                        10000));
    EXPECT_LE(std::abs(corner.x - block.left), 1) << corner.x;
    EXPECT_LE(std::abs(corner.y - block.top), 1) << corner.y;
    // An unmodified picture closes without a question.
    DWORD editorProcess = 0;
    GetWindowThreadProcessId(editor, &editorProcess);
    const kesh::win::KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, editorProcess));
    PostMessageW(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 15000));
    EXPECT_TRUE(toolbar.Exit(window));
}

}  // namespace
