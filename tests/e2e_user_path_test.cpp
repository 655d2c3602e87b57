// A user's road through the whole product: the real norpa.exe and vomla.exe
// under the test's display, driven by the system's input queue, with the
// fake upload server behind WinINet's proxy. The toolbar on a screen-like
// desktop; a capture by the hot key and a drag; the editor with the picture
// where it was captured; a pencil stroke and a mosaic; Save As JPEG; the
// upload through its dialogs to the addresses and the history's shortcut;
// both programs ended, nothing left running, no temporary copy left. Once
// as it should go, once through a server that refuses, fails and drops the
// connection half-way through the picture before it answers.
//
// With NORPA_SCREENSHOTS naming a folder, the first road leaves the
// README's pictures there (scripts/screenshots.sh).
#include "tests/toolbar_program_support.h"

#include "bench/screen_like.h"
#include "common/gdiplus_handles.h"
#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "editor/resource.h"
#include "kesh/property.h"
#include "kesh/time.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/upload_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace toolbartest;

namespace {

// Everything below is placed on the screen-like desktop of 1280 x 1024:
// the region holds text above and a grainy photo below (from (597, 548)).
const RECT kRegion = {400, 300, 1040, 780};
const POINT kPencilFrom = {440, 330}, kPencilTo = {1000, 370};
const int kMosaicRow = 740, kMosaicLeft = 650, kMosaicRight = 1000;

const wchar_t* const kFormatCaption = L"选择存储格式";
const wchar_t* const kInputCaption = L"存储到Norpa - 描述图片";
const wchar_t* const kResponseCaption = L"存储到Norpa - 完成";
const wchar_t* const kDescription = L"截图的描述: 标题和照片";
// The file name box of the system's file dialogs.
constexpr int kFileNameBox = 0x47c;
// The toolbar's arrow button, which opens its menu.
constexpr int kMenuButton = 1006;

// One press of OK in the description dialog: the server's behaviour for it
// and the start of the error box's text, or null when it succeeds.
struct Attempt {
    const char* scenario;
    const wchar_t* failure;
};

int At(const RECT& rect, POINT p) { return (p.y - rect.top) * (rect.right - rect.left) + (p.x - rect.left); }

RECT Inflated(RECT rect, int by)
{
    InflateRect(&rect, by, by);
    return rect;
}

// Hardly any two neighbours in a row alike: grain. Mostly alike: blocks.
double SameNeighbours(const std::vector<DWORD>& row)
{
    int same = 0;
    for (size_t i = 1; i < row.size(); ++i)
        same += row[i] == row[i - 1];
    return static_cast<double>(same) / static_cast<double>(row.size() - 1);
}

std::vector<DWORD> Row(const std::vector<DWORD>& pixels, const RECT& rect, int y, int left, int right)
{
    std::vector<DWORD> row;
    for (int x = left; x < right; ++x)
        row.push_back(pixels[At(rect, POINT{x, y})]);
    return row;
}

// A dialog of process that holds control id; null when none is up.
HWND FindDialogWithControl(DWORD process, int id)
{
    struct Search {
        DWORD process;
        int id;
        HWND found;
    } search = {process, id, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM l) -> BOOL {
            Search* s = reinterpret_cast<Search*>(l);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->process || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, s->id))
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible top-level windows of process other than except.
std::vector<RECT> WindowsOf(DWORD process, HWND except)
{
    struct Search {
        DWORD process;
        HWND except;
        std::vector<RECT> rects;
    } search = {process, except, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM l) -> BOOL {
            Search* s = reinterpret_cast<Search*>(l);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            RECT rect = {};
            if (owner == s->process && hwnd != s->except && IsWindowVisible(hwnd) && GetWindowRect(hwnd, &rect))
                s->rects.push_back(rect);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.rects;
}

// Writes what the screen shows in rect as folder\name.png, once the
// windows there have finished drawing.
void Screenshot(const std::wstring& folder, const wchar_t* name, RECT rect)
{
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&rect, &rect, &screen);
    // A program has finished drawing when its pixels stay: unchanged for
    // 100 ms.
    std::vector<DWORD> pixels = ScreenPixels(rect);
    DWORD changed = GetTickCount();
    WaitFor([&] {
        std::vector<DWORD> now = ScreenPixels(rect);
        if (now != pixels) {
            pixels.swap(now);
            changed = GetTickCount();
        }
        return GetTickCount() - changed >= 100;
    }, 3000);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    GpBitmapHandle bitmap;
    ImageCodecEntry png;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                                                          reinterpret_cast<BYTE*>(pixels.data()),
                                                                          bitmap.Receive()));
    ASSERT_TRUE(FindImageEncoder(png, kImageFormatPNG));
    const std::wstring path = folder + L"\\" + name + L".png";
    EXPECT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipSaveImageToFile(bitmap, path.c_str(), &png.clsid, nullptr)) << path.c_str();
}

class UserPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server_.available()) << "run through tests/with_upload_server.sh";
        ASSERT_TRUE(gdiplus_.ok());
        ASSERT_FALSE(ToolbarRunning()) << "another norpa.exe runs on this desktop";
        width_ = GetSystemMetrics(SM_CXSCREEN);
        height_ = GetSystemMetrics(SM_CYSCREEN);
        ASSERT_EQ(1280, width_);
        ASSERT_EQ(1024, height_);
        desktop_.resize(static_cast<size_t>(width_) * height_);
        bench::FillScreenLike(reinterpret_cast<std::uint32_t*>(desktop_.data()), width_, height_, width_);
        temporaryBefore_ = uploadtest::FilesIn(Temporary());
    }
    void TearDown() override
    {
        if (editor_.isValid() && WaitForSingleObject(editor_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(editor_, 99);
            WaitForSingleObject(editor_, 5000);
        }
        toolbar_.reset();
    }

    // The README's pictures, taken when the test's caller asks for them.
    void Shot(const wchar_t* name, const RECT& rect) const
    {
        wchar_t folder[MAX_PATH] = {};
        if (screenshots_ && GetEnvironmentVariableW(L"NORPA_SCREENSHOTS", folder, MAX_PATH) > 0)
            Screenshot(folder, name, rect);
    }
    static std::wstring Temporary() { return Wide(kesh::sys::getProperty("user.temp", "")); }
    DWORD Desktop(int x, int y) const { return desktop_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF; }
    // Whether the screen shows the desktop's picture all over rect.
    bool ShowsDesktop(const RECT& rect) const
    {
        const std::vector<DWORD> shown = ScreenPixels(rect);
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if (shown[At(rect, POINT{x, y})] != Desktop(x, y))
                    return false;
        return true;
    }

    // The road, attempt by attempt at the upload.
    void FollowTheRoad(const std::vector<Attempt>& attempts)
    {
        ASSERT_NO_FATAL_FAILURE(CaptureTheRegion());
        ASSERT_NO_FATAL_FAILURE(Annotate());
        ASSERT_NO_FATAL_FAILURE(SaveAsJpeg());
        ASSERT_NO_FATAL_FAILURE(Upload(attempts));
        ASSERT_NO_FATAL_FAILURE(EndBoth());
    }

    // The toolbar on the desktop, the hot key and a drag over the region,
    // and the editor that comes up with the capture where it was.
    void CaptureTheRegion()
    {
        backdrop_.reset(new Backdrop([this](int x, int y) { return Desktop(x, y); }));
        toolbar_.reset(new Toolbar);
        bar_ = toolbar_->WaitForWindow();
        ASSERT_NE(nullptr, bar_);
        RECT bar = {}, screen = {0, 0, width_, height_};
        GetWindowRect(bar_, &bar);
        IntersectRect(&bar, &bar, &screen);
        ASSERT_TRUE(WaitFor([&] { return !ShowsDesktop(bar); }, 5000)) << "the toolbar is not drawn";
        if (screenshots_) {
            // The toolbar with its menu, opened by its arrow button.
            ClickWindow(GetDlgItem(bar_, kMenuButton));
            HWND menu = WaitForWindowOf(toolbar_->id(), L"#32768", nullptr, 5000);
            ASSERT_NE(nullptr, menu);
            RECT shown = {};
            GetWindowRect(menu, &shown);
            UnionRect(&shown, &shown, &bar);
            Shot(L"toolbar", Inflated(shown, 40));
            PressKeys({VK_ESCAPE});
            ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 5000));
        }

        PressKeys({VK_CONTROL, VK_F2});
        ASSERT_NE(nullptr, WaitForOverlay(toolbar_->id()));
        MoveMouse(kRegion.left, kRegion.top);
        MouseButton(true);
        for (int i = 1; i <= 8; ++i)
            MoveMouse(kRegion.left + (kRegion.right - kRegion.left) * i / 8,
                      kRegion.top + (kRegion.bottom - kRegion.top) * i / 8);
        Shot(L"overlay", Inflated(kRegion, 90));
        MouseButton(false);
        ASSERT_TRUE(WaitForOverlayGone(toolbar_->id()));

        std::vector<std::wstring> captures;
        ASSERT_TRUE(WaitFor([&] { return (captures = history_.NewFiles(L"Capture")).size() == 1; }, 10000));
        const std::wstring name = captures[0].substr(captures[0].find_last_of(L'\\') + 1);
        ASSERT_TRUE(WaitFor([&] { return (editorWindow_ = FindTitledWindow(name)) != nullptr; }, 20000))
            << "no editor with " << name.c_str();
        GetWindowThreadProcessId(editorWindow_, &editorId_);
        editor_.Attach(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, editorId_));
        ASSERT_TRUE(editor_.isValid());
        // The picture lies exactly where it was taken from: what the screen
        // shows there is the desktop, though the editor is over it.
        RECT frame = {};
        GetWindowRect(editorWindow_, &frame);
        RECT both = {};
        IntersectRect(&both, &frame, &kRegion);
        ASSERT_TRUE(EqualRect(&both, &kRegion)) << "the editor's window does not cover the region";
        EXPECT_TRUE(WaitFor([&] { return ShowsDesktop(kRegion); }, 10000)) << "the picture is not where it was captured";
    }

    // Whether the region shows the pencil's stroke: red all along it.
    static bool ShowsStroke(const std::vector<DWORD>& region)
    {
        for (int i = 1; i < 8; ++i) {
            const POINT p = {kPencilFrom.x + (kPencilTo.x - kPencilFrom.x) * i / 8,
                             kPencilFrom.y + (kPencilTo.y - kPencilFrom.y) * i / 8};
            if (region[At(kRegion, p)] != 0xFF0000u)
                return false;
        }
        return true;
    }
    // Whether the region shows the mosaic: blocks along the photo's grain.
    static bool ShowsMosaic(const std::vector<DWORD>& region)
    {
        return SameNeighbours(Row(region, kRegion, kMosaicRow, kMosaicLeft + 20, kMosaicRight - 20)) > 0.8;
    }

    // A thick red pencil stroke across the text and a strong mosaic along
    // the photo, both with the mouse; the pens' settings from the items of
    // the toolbar's pop-ups. A posted command overtakes input still queued,
    // so each stroke is seen on the screen before the next pen is chosen.
    void Annotate()
    {
        std::vector<DWORD> grain;
        for (int x = kMosaicLeft + 20; x < kMosaicRight - 20; ++x)
            grain.push_back(Desktop(x, kMosaicRow));
        ASSERT_LT(SameNeighbours(grain), 0.2);

        ASSERT_TRUE(ClickCaption(editorWindow_));
        PressKeys({VK_CONTROL, 'P'});
        PostMessageW(editorWindow_, WM_COMMAND, ID_PENCIL_RED, 0);
        PostMessageW(editorWindow_, WM_COMMAND, ID_PENCIL_THICK, 0);
        Drag(kPencilFrom, kPencilTo);
        EXPECT_TRUE(WaitFor([&] { return ShowsStroke(ScreenPixels(kRegion)); }, 5000)) << "no red stroke";
        PressKeys({VK_CONTROL, 'M'});
        PostMessageW(editorWindow_, WM_COMMAND, ID_MOSAIC_STRONG, 0);
        Drag(POINT{kMosaicLeft, kMosaicRow}, POINT{kMosaicRight, kMosaicRow});
        EXPECT_TRUE(WaitFor([&] { return ShowsMosaic(ScreenPixels(kRegion)); }, 5000)) << "no mosaic along the photo";
        shown_ = ScreenPixels(kRegion);
        EXPECT_TRUE(ShowsStroke(shown_)) << "the mosaic took the stroke";
        RECT frame = {};
        GetWindowRect(editorWindow_, &frame);
        Shot(L"editor", Inflated(frame, 24));
    }

    HWND WaitForDialog(const wchar_t* caption) const
    {
        return WaitForWindowOf(editorId_, L"#32770", caption, 15000);
    }
    HWND WaitForMessage(const wchar_t* text) const
    {
        HWND box = nullptr;
        WaitFor([&] { return (box = FindDialogWithText(editorId_, text)) != nullptr; }, 20000);
        return box;
    }
    static void Press(HWND dialog, int id) { ClickWindow(GetDlgItem(dialog, id)); }
    static bool WaitGone(HWND window) { return WaitFor([window] { return !IsWindow(window); }, 15000); }

    // The format dialog's list opened with the mouse, its first entry
    // taken with the keys, then OK.
    void ChooseJpeg()
    {
        HWND dialog = WaitForDialog(kFormatCaption);
        ASSERT_NE(nullptr, dialog);
        HWND list = GetDlgItem(dialog, IDC_SAVE_FORMAT_LIST);
        ClickWindow(list);
        PressKeys({VK_HOME});
        PressKeys({VK_RETURN});
        EXPECT_TRUE(WaitFor([&] { return WindowText(list).find(L"JPEG") != std::wstring::npos; }, 5000))
            << WindowText(list).c_str();
        Press(dialog, IDOK);
        ASSERT_TRUE(WaitGone(dialog));
    }

    // Ctrl+Shift+S, JPEG, the file's name typed into the system's dialog.
    void SaveAsJpeg()
    {
        jpeg_ = files_.path("road.jpg");
        ASSERT_TRUE(ClickCaption(editorWindow_));
        PressKeys({VK_CONTROL, VK_SHIFT, 'S'});
        ASSERT_NO_FATAL_FAILURE(ChooseJpeg());
        HWND chooser = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (chooser = FindDialogWithControl(editorId_, kFileNameBox)) != nullptr; }, 15000));
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == chooser; }, 5000));
        TypeText(Wide(jpeg_));
        PressKeys({VK_RETURN});
        ASSERT_TRUE(WaitGone(chooser));
        // Written once the encoder has let go of it.
        ASSERT_TRUE(WaitFor([&] {
            const kesh::win::KernelHandle file(
                CreateFileW(Wide(jpeg_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            LARGE_INTEGER size = {};
            return file.isValid() && GetFileSizeEx(file, &size) && size.QuadPart > 0;
        }, 15000));
        jpegBytes_ = editorapptest::ReadFileBytes(jpeg_);
        ASSERT_EQ(0u, jpegBytes_.rfind("\xFF\xD8\xFF", 0)) << "not a JPEG";
        const Picture saved = ReadPicture(Wide(jpeg_));
        ASSERT_EQ(kRegion.right - kRegion.left, saved.width);
        ASSERT_EQ(kRegion.bottom - kRegion.top, saved.height);
        const DWORD stroke = saved.pixels[At(kRegion, POINT{(kPencilFrom.x + kPencilTo.x) / 2,
                                                            (kPencilFrom.y + kPencilTo.y) / 2})];
        EXPECT_TRUE((stroke >> 16) > 0xC0 && ((stroke >> 8) & 0xFF) < 0x40 && (stroke & 0xFF) < 0x40) << std::hex << stroke;
    }

    // Whether the picture and its edits show wherever no window of the
    // editor's own lies over them, and that is a good part of it: the
    // stroke's start and the mosaic included.
    bool PictureKept() const
    {
        const std::vector<RECT> covers = WindowsOf(editorId_, editorWindow_);
        const std::vector<DWORD> now = ScreenPixels(kRegion);
        const auto covered = [&](POINT p) {
            for (const RECT& cover : covers)
                if (PtInRect(&cover, p))
                    return true;
            return false;
        };
        size_t compared = 0;
        for (int y = kRegion.top; y < kRegion.bottom; ++y)
            for (int x = kRegion.left; x < kRegion.right; ++x) {
                if (covered(POINT{x, y}))
                    continue;
                if (now[At(kRegion, POINT{x, y})] != shown_[At(kRegion, POINT{x, y})])
                    return false;
                ++compared;
            }
        return compared > now.size() / 4 && !covered(kPencilFrom) && !covered(POINT{kMosaicLeft, kMosaicRow});
    }

    // Ctrl+T, JPEG, a description typed, then OK once per attempt; every
    // failure shown in its box, the picture kept and the description typed
    // before offered again; the addresses of the answer in the end.
    void Upload(const std::vector<Attempt>& attempts)
    {
        ASSERT_TRUE(ClickCaption(editorWindow_));
        PressKeys({VK_CONTROL, 'T'});
        ASSERT_NO_FATAL_FAILURE(ChooseJpeg());
        HWND input = WaitForDialog(kInputCaption);
        ASSERT_NE(nullptr, input);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == input; }, 5000));
        TypeText(kDescription);
        for (const Attempt& attempt : attempts) {
            ASSERT_TRUE(server_.SetScenario(attempt.scenario));
            EXPECT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(input, IDC_UPLOAD_DESCRIPTION)) == kDescription; },
                                5000))
                << attempt.scenario << ": " << WindowText(GetDlgItem(input, IDC_UPLOAD_DESCRIPTION)).c_str();
            Press(input, IDOK);
            if (!attempt.failure)
                break;
            HWND box = WaitForMessage(attempt.failure);
            ASSERT_NE(nullptr, box) << attempt.scenario;
            EXPECT_TRUE(WaitFor([&] { return PictureKept(); }, 5000)) << "the picture changed after " << attempt.scenario;
            Press(box, IDOK);
            input = WaitForDialog(kInputCaption);
            ASSERT_NE(nullptr, input) << "no second chance after " << attempt.scenario;
        }

        HWND response = WaitForDialog(kResponseCaption);
        ASSERT_NE(nullptr, response);
        HWND titles = GetDlgItem(response, IDC_RESPONSE_TITLES);
        EXPECT_EQ(2, SendMessageW(titles, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(L"图片地址", WindowText(titles));
        EXPECT_EQ(L"http://img.norpasoft.com/p/7f3a.png", WindowText(GetDlgItem(response, IDC_RESPONSE_ADDRESS)));
        RECT frame = {}, dialog = {}, both = {};
        GetWindowRect(editorWindow_, &frame);
        GetWindowRect(response, &dialog);
        UnionRect(&both, &frame, &dialog);
        Shot(L"upload", Inflated(both, 24));
        Press(response, IDOK);
        ASSERT_TRUE(WaitGone(response));

        // The edited picture, encoded as it was saved; the description as
        // typed.
        const uploadtest::PostRecord post = server_.LastPost();
        ASSERT_TRUE(post.present && !post.malformed);
        ASSERT_EQ(4u, post.parts.size());
        EXPECT_EQ(kesh::String(kDescription).c_str(), post.parts[0].value);
        EXPECT_EQ("image/pjpeg", post.parts[1].contentType);
        EXPECT_EQ(jpegBytes_.size(), post.parts[1].length);
        EXPECT_EQ(uploadtest::Crc32(jpegBytes_), post.parts[1].crc32);
        const std::vector<std::wstring> shortcuts = history_.NewFiles(L"Upload");
        ASSERT_EQ(1u, shortcuts.size());
        EXPECT_NE(std::string::npos, editorapptest::ReadFileBytes(kesh::String(shortcuts[0].c_str()))
                                         .find("URL=http://img.norpasoft.com/p/7f3a.png"));
    }

    // Alt+F4 in the editor, whose question about the unsaved picture (it
    // was saved elsewhere) is answered No; the toolbar's Exit; nothing of
    // either left.
    void EndBoth()
    {
        ASSERT_TRUE(ClickCaption(editorWindow_));
        PressKeys({VK_MENU, VK_F4});
        HWND question = WaitForMessage(L"是否保存修改到");
        ASSERT_NE(nullptr, question);
        Press(question, IDNO);
        ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(editor_, 0) == WAIT_OBJECT_0; }, 15000));
        DWORD code = 99;
        GetExitCodeProcess(editor_, &code);
        EXPECT_EQ(0u, code);
        EXPECT_TRUE(toolbar_->Exit(bar_));
        EXPECT_FALSE(ToolbarRunning());
        EXPECT_TRUE(ProcessesNamed(L"norpa.exe").empty());
        EXPECT_TRUE(ProcessesNamed(L"vomla.exe").empty());
        for (const std::wstring& name : uploadtest::FilesIn(Temporary()))
            EXPECT_TRUE(temporaryBefore_.count(name)) << "left in the temporary folder: " << name.c_str();
    }

    uploadtest::FakeUploadServer server_;
    SettingsKeyGuard toolbarSettings_;
    editorapptest::EditorKeyGuard editorSettings_;
    StartupShortcutGuard shortcut_;
    HistoryGuard history_;
    editortest::TempFolder files_;
    GdiplusSession gdiplus_;
    int width_ = 0, height_ = 0;
    std::vector<DWORD> desktop_;
    std::set<std::wstring> temporaryBefore_;
    std::unique_ptr<Backdrop> backdrop_;
    std::unique_ptr<Toolbar> toolbar_;
    HWND bar_ = nullptr;
    HWND editorWindow_ = nullptr;
    DWORD editorId_ = 0;
    kesh::win::KernelHandle editor_;
    bool screenshots_ = false;
    std::vector<DWORD> shown_;  // the region with the edits, as the editor shows it
    kesh::String jpeg_;
    std::string jpegBytes_;
};

TEST_F(UserPathTest, CaptureAnnotateSaveUploadAndEnd)
{
    screenshots_ = true;
    FollowTheRoad({{"ok", nullptr}});
}

TEST_F(UserPathTest, TheUploadOutlivesARefusalAFailureAndADropThenSucceeds)
{
    FollowTheRoad({
        {"entry_refused", L"传输中断: "},
        {"post500", L"服务暂时不可用"},
        {"dropped", L"传输中断: "},
        {"ok", nullptr},
    });
}

}  // namespace
