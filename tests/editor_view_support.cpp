#include "tests/editor_view_support.h"

#include "common/dib_section.h"
#include "common/image_formats.h"
#include "editor/io/image_saver.h"
#include "kesh/registry.h"
#include "tests/registry_cleanup.h"

#include <gdiplus.h>
#include <shlwapi.h>

namespace viewtest {

namespace gp = Gdiplus::DllExports;

TestKey::TestKey()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const kesh::String name = kesh::String::format("Software\\NorpaTest\\%s.%s.%lu.%lu", info->test_suite_name(),
                                                   info->name(), GetCurrentProcessId(), GetTickCount());
    sub_ = name.toWide().get();
    path_ = kesh::String("HKEY_CURRENT_USER\\") + name;
    SHDeleteKeyW(HKEY_CURRENT_USER, sub_.c_str());
}

TestKey::~TestKey() { testsupport::DeleteKeyAndEmptyParents(sub_); }

kesh::String TestKey::value(const char* name) const
{
    return kesh::app::openRegistryKey(path_, true)->getValue(name, "");
}

bool TestKey::hasValue(const char* name) const
{
    return kesh::app::openRegistryKey(path_, true)->getValue(name, "<none>").compare("<none>") != 0;
}

bool WritePatternPng(const kesh::String& path, int width, int height)
{
    editortest::OwnedBitmap pattern = editortest::MakeSection32(width, height, false);
    return SaveBitmapAsImage(pattern.get(), path, 0, kImageFormatPNG) == SaveImageResult::Saved;
}

std::uint32_t FilePixel(const kesh::String& path, int x, int y)
{
    GpBitmapHandle bitmap;
    if (gp::GdipCreateBitmapFromFile(path.toWide().get(), bitmap.Receive()) != Gdiplus::Ok)
        return 0;
    Gdiplus::ARGB argb = 0;
    gp::GdipBitmapGetPixel(bitmap, x, y, &argb);
    return argb;
}

std::uint32_t BitmapPixel(HBITMAP bitmap, int x, int y)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    // Top-down: row y is the image's row y.
    BITMAPINFO request = DibInfo(info.bmWidth, info.bmHeight, RowOrder::TopDown);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    const kesh::win::MemoryDC dc;
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &request, DIB_RGB_COLORS);
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(info.bmWidth) + static_cast<size_t>(x)] & 0xFFFFFF;
}

void ViewTest::SetUp()
{
    const RECT rc = {0, 0, 400, 300};
    ASSERT_TRUE(host_.CreateEx(0, nullptr, L"host", WS_POPUP | WS_VISIBLE, rc, nullptr, 0));
}

void ViewTest::TearDown()
{
    if (GetCapture())
        ReleaseCapture();
    view_.reset();
    host_.DestroyWindow();
    uitest::pump();
}

CPaintView* ViewTest::Open(const kesh::String& path, int clientWidth, int clientHeight)
{
    view_.reset(new CPaintView(path, key_.path()));
    if (!view_->CreateInFrame(&host_)) {
        ADD_FAILURE() << "the view did not open " << path.c_str();
        view_.reset();
        return nullptr;
    }
    ResizeView(clientWidth, clientHeight);
    view_->SendMessage(ui::WM_INITIALUPDATE);
    uitest::pump();
    return view_.get();
}

void ViewTest::ResizeView(int clientWidth, int clientHeight)
{
    // The border is what the window has beyond its client area at that
    // size.
    MoveWindow(view_->handle(), 0, 0, clientWidth, clientHeight, FALSE);
    const RECT window = view_->GetWindowRect();
    const RECT client = view_->GetClientRect();
    const int borderWidth = (window.right - window.left) - (client.right - client.left);
    const int borderHeight = (window.bottom - window.top) - (client.bottom - client.top);
    MoveWindow(view_->handle(), 0, 0, clientWidth + borderWidth, clientHeight + borderHeight, TRUE);
}

CPaintView* ViewTest::OpenPattern(int width, int height, int clientWidth, int clientHeight)
{
    const kesh::String path = folder_.path("pattern.png");
    if (!WritePatternPng(path, width, height)) {
        ADD_FAILURE() << "no pattern file";
        return nullptr;
    }
    return Open(path, clientWidth, clientHeight);
}

void ViewTest::Mouse(UINT message, int x, int y, WPARAM keys)
{
    view_->SendMessage(message, keys, MAKELPARAM(x, y));
}

void ViewTest::Drag(UINT down, UINT up, POINT from, POINT to)
{
    const WPARAM button = down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON;
    Mouse(down, from.x, from.y, button);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        Mouse(WM_MOUSEMOVE, from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps, button);
    Mouse(up, to.x, to.y);
}

namespace {
DialogDriver* activeDriver = nullptr;

BOOL CALLBACK findDialog(HWND hwnd, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (IsWindowVisible(hwnd) && std::wstring(name) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

DialogDriver::DialogDriver(std::function<void(HWND)> script)
    : script_(std::move(script)), timer_(SetTimer(nullptr, 0, 20, &DialogDriver::Tick))
{
    activeDriver = this;
}

DialogDriver::~DialogDriver()
{
    KillTimer(nullptr, timer_);
    activeDriver = nullptr;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogDriver* driver = activeDriver;
    if (!driver)
        return;
    if (driver->ran_) {
        if (!IsWindow(driver->dialog_) || !IsWindowVisible(driver->dialog_)) {
            KillTimer(nullptr, driver->timer_);
        } else if (GetTickCount() - driver->ranAt_ > 3000) {
            KillTimer(nullptr, driver->timer_);
            driver->forced_ = true;
            Click(driver->dialog_, IDCANCEL);
        }
        return;
    }
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &findDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    driver->ran_ = true;
    driver->dialog_ = dialog;
    driver->ranAt_ = GetTickCount();
    driver->script_(dialog);
}

std::wstring ItemText(HWND dialog, int id) { return ui::WindowText(GetDlgItem(dialog, id)); }

void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace viewtest
