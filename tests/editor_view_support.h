#pragma once

// A real paint view in a window of its own, a registry key and a temp
// folder per test, a shell that answers instead of showing dialogs, and a
// driver for the modal dialogs a command opens.

#include "editor/view/paint_view.h"
#include "editor_test_support.h"
#include "kesh/string.h"
#include "tests/ui_test_support.h"
#include "ui/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace viewtest {

// HKCU\Software\NorpaTest\<test>.<pid>.<tick>, removed before and after.
class TestKey {
public:
    TestKey();
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    const kesh::String& path() const { return path_; }
    // The value as text, or "" when it does not exist.
    kesh::String value(const char* name) const;
    bool hasValue(const char* name) const;

private:
    std::wstring sub_;
    kesh::String path_;
};

// Writes the PixelAt test pattern (distinct pixels) of width x height as a
// PNG file.
bool WritePatternPng(const kesh::String& path, int width, int height);

// The ARGB pixel (x, y) of an image file, 0 when it cannot be read.
std::uint32_t FilePixel(const kesh::String& path, int x, int y);
// The 0x00RRGGBB pixel (x, y) of a GDI bitmap (read through GetDIBits).
std::uint32_t BitmapPixel(HBITMAP bitmap, int x, int y);

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A view of path in a host whose client area is clientWidth x height,
    // after its initial update; null (with a failure) when it did not open.
    CPaintView* Open(const kesh::String& path, int clientWidth = 300, int clientHeight = 200);
    // A view of a new pattern image of width x height.
    CPaintView* OpenPattern(int width, int height, int clientWidth = 300, int clientHeight = 200);
    void CloseView() { view_.reset(); }
    // Sizes the view so that its client area is clientWidth x clientHeight
    // (the border lies around it), repainting what the move exposes.
    void ResizeView(int clientWidth, int clientHeight);

    // Mouse messages at client point (x, y) of the view.
    void Mouse(UINT message, int x, int y, WPARAM keys = 0);
    void Drag(UINT down, UINT up, POINT from, POINT to);
    void Command(UINT id) { view_->SendMessage(WM_COMMAND, id, 0); }
    // The host's title.
    std::wstring Title() const { return host_.GetWindowText(); }

    uitest::FakeShell shell_;
    TestKey key_;
    editortest::TempFolder folder_;
    ui::CWnd host_;
    std::unique_ptr<CPaintView> view_;
};

// Runs script once on the first visible dialog of this thread that shows
// up while the driver lives (checked by a thread timer inside the dialog's
// own modal loop), so a test never blocks on a modal dialog: one the script
// left open is cancelled after a few seconds (forcedClose() then tells).
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> script);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    bool ran() const { return ran_; }
    bool forcedClose() const { return forced_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::function<void(HWND)> script_;
    UINT_PTR timer_;
    bool ran_ = false;
    bool forced_ = false;
    HWND dialog_ = nullptr;
    DWORD ranAt_ = 0;
};

// Text of a dialog's control.
std::wstring ItemText(HWND dialog, int id);
// Presses a dialog button the way a click does.
void Click(HWND dialog, int id);

}  // namespace viewtest
