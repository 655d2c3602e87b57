// The shared window code: a network dialog's answer to its worker's last
// stage.
#include "common_ui/runner_dialog.h"
#include "tests/ui_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A window that keeps the WM_RUNNER_DONE posted to it.
class DoneRecorder {
public:
    DoneRecorder()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr))
    {
    }
    ~DoneRecorder() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    std::vector<WPARAM> Taken()
    {
        std::vector<WPARAM> results;
        MSG msg;
        while (PeekMessageW(&msg, hwnd_, WM_RUNNER_DONE, WM_RUNNER_DONE, PM_REMOVE))
            results.push_back(msg.wParam);
        return results;
    }

private:
    HWND hwnd_;
};

TEST(FinishRunnerDialogTest, ShowsAFailureUnlessCancelledAndPostsTheEnd)
{
    struct Case {
        const char* what;
        bool ok;
        bool cancelled;
        size_t boxes;
        WPARAM result;
    };
    const Case cases[] = {
        {"success", true, false, 0, IDOK},
        {"failure", false, false, 1, IDCANCEL},
        {"failure after a cancel", false, true, 0, IDCANCEL},
    };
    for (const Case& c : cases) {
        uitest::FakeShell shell;
        DoneRecorder dialog;
        RunnerResult result;
        result.ok = c.ok;
        result.message = c.ok ? "" : "服务暂时不可用";
        FinishRunnerDialog(dialog.hwnd(), result, c.cancelled);
        ASSERT_EQ(c.boxes, shell.boxes.size()) << c.what;
        if (c.boxes) {
            EXPECT_EQ(L"服务暂时不可用", shell.boxes[0].text) << c.what;
            EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), shell.boxes[0].type & MB_ICONMASK) << c.what;
        }
        EXPECT_EQ(std::vector<WPARAM>{c.result}, dialog.Taken()) << c.what;
    }
}

}  // namespace
