// The shared window code: a network dialog's answer to its worker's last
// stage, and the dialog that runs a worker.
#include "common_ui/runner_dialog.h"
#include "kesh/handles.h"
#include "tests/ui_test_ids.h"
#include "tests/ui_test_support.h"
#include "tests/wait.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <atomic>
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

// A worker that reports its first stage, then holds its last one until the
// test lets it go.
class HeldRunner : public NetworkRunner {
public:
    static constexpr unsigned kLastStage = 2;
    explicit HeldRunner(HWND owner) : NetworkRunner(owner) {}
    void run() override
    {
        Report(1, nullptr);
        WaitForSingleObject(release, 10000);
        RunnerResult result;
        result.message = "传输中断: ";
        lastAnswer = Report(kLastStage, &result);
        finished = true;
    }
    bool Cancel() override { return !cancelledOnce.exchange(true); }

    const kesh::win::KernelHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> cancelledOnce{false};
    std::atomic<bool> finished{false};
    std::atomic<LRESULT> lastAnswer{-1};
};

class HeldRunnerDialog : public CRunnerDialog {
public:
    explicit HeldRunnerDialog(TakenCancel takenCancel)
        : CRunnerDialog(IDD_TEST_EXCHANGE, nullptr, HeldRunner::kLastStage, takenCancel)
    {
    }
    boost::shared_ptr<HeldRunner> runner;
    std::vector<unsigned> stages;

protected:
    boost::shared_ptr<NetworkRunner> MakeRunner() override
    {
        runner = boost::make_shared<HeldRunner>(handle());
        return runner;
    }
    LRESULT OnStage(unsigned stage, void*) override
    {
        stages.push_back(stage);
        return 1;
    }
};

TEST(RunnerDialogTest, OnlyTheWorkersLastStageEndsItWhateverEnterAndCancelDo)
{
    struct Case {
        const char* what;
        CRunnerDialog::TakenCancel takenCancel;
        bool cancelEnabledOnceTaken;
    };
    const Case cases[] = {
        {"Cancel stays enabled", CRunnerDialog::TakenCancel::StaysEnabled, true},
        {"Cancel grays", CRunnerDialog::TakenCancel::Grays, false},
    };
    for (const Case& c : cases) {
        uitest::FakeShell shell;
        HeldRunnerDialog dialog(c.takenCancel);
        ASSERT_TRUE(dialog.Create()) << c.what;
        const HWND d = dialog.handle();
        ASSERT_TRUE(testsupport::WaitFor([&] { return !dialog.stages.empty(); }, 10000)) << c.what;
        SendMessageW(d, WM_COMMAND, IDOK, 0);
        const HWND cancel = GetDlgItem(d, IDCANCEL);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        testsupport::DispatchQueued();
        EXPECT_FALSE(dialog.IsEnded()) << c.what;
        EXPECT_TRUE(dialog.cancelled) << c.what;
        EXPECT_EQ(c.cancelEnabledOnceTaken, IsWindowEnabled(cancel) != FALSE) << c.what;

        SetEvent(dialog.runner->release);
        EXPECT_TRUE(testsupport::WaitFor([&] { return dialog.IsEnded() && dialog.runner->finished; }, 10000))
            << c.what;
        EXPECT_EQ((std::vector<unsigned>{1, HeldRunner::kLastStage}), dialog.stages) << c.what;
        EXPECT_TRUE(shell.boxes.empty()) << c.what << ": a cancelled worker's failure is not shown";
        dialog.DestroyWindow();
    }
}

TEST(RunnerDialogTest, AfterATakenCancelItWaitsItsBoundAtMostAndTheLeftWorkerReportsToNobody)
{
    uitest::FakeShell shell;
    HeldRunnerDialog dialog(CRunnerDialog::TakenCancel::StaysEnabled);
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(testsupport::WaitFor([&] { return !dialog.stages.empty(); }, 10000));
    SendMessageW(dialog.handle(), WM_COMMAND, IDCANCEL, 0);
    // The worker holds on past the bound; its last stage then comes while
    // the window still exists, and reaches it not.
    EXPECT_TRUE(testsupport::WaitFor([&] { return dialog.IsEnded(); }, CRunnerDialog::kCancelWait + 3000));
    EXPECT_FALSE(dialog.runner->finished);
    SetEvent(dialog.runner->release);
    EXPECT_TRUE(testsupport::WaitFor([&] { return dialog.runner->finished.load(); }, 10000));
    EXPECT_EQ(std::vector<unsigned>{1}, dialog.stages);
    EXPECT_EQ(0, dialog.runner->lastAnswer);
    EXPECT_TRUE(shell.boxes.empty());
    dialog.DestroyWindow();
}

}  // namespace
