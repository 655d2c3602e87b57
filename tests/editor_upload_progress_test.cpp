// The progress dialog with its real worker against the fake upload server,
// driven from inside its own modal loop: what it shows, how it ends, and
// that only the worker's end ends it (Enter does nothing, Cancel cuts the
// upload off wherever it is and waits).
#include "editor/resource.h"
#include "editor/upload/upload_progress_dlg.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/editor_view_support.h"
#include "tests/upload_test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace {

using viewtest::Click;
using viewtest::DialogDriver;
using viewtest::ItemText;

using kesh::Wide;

class UploadProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/with_upload_server.sh";
        image = files.path("upload.png");
        editorapptest::WriteFileBytes(image, uploadtest::PngLikeBytes(200000));
        dialog.width = 800;
        dialog.height = 600;
        dialog.imagePath = Wide(image);
        dialog.comment = L"描述";
        dialog.sign = L"署名";
        dialog.uid = L"0123456789abcdef0123456789abcdef";
    }
    void TearDown() override { uitest::pump(); }

    uploadtest::FakeUploadServer server;
    editorapptest::RecordingShell shell;
    editortest::TempFolder files;
    kesh::String image;
    CUploadProgressDlg dialog;
};

TEST_F(UploadProgressTest, ASuccessEndsWithTheAddressesAndAFullBar)
{
    // The configuration waits for the script, which surely runs meanwhile.
    ASSERT_TRUE(server.SetScenario("held_config"));
    std::wstring stage, bytes, caption;
    int position = -1;
    DialogDriver driver([&](HWND d) {
        wchar_t text[64] = {};
        GetWindowTextW(d, text, 64);
        caption = text;
        // Enter, as the dialog manager turns it into IDOK, does not end it.
        Click(d, IDOK);
        EXPECT_TRUE(server.Release());
        uploadtest::PumpUntil([&] { return !IsWindowVisible(d); });
        stage = ItemText(d, IDC_UPLOAD_STAGE);
        bytes = ItemText(d, IDC_UPLOAD_BYTES);
        position = static_cast<int>(SendDlgItemMessageW(d, IDC_UPLOAD_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(L"存储到Norpa - 传送数据", caption);
    EXPECT_EQ(L"操作完成", stage);
    EXPECT_EQ(L"195.4K/195.4K", bytes) << "data bytes: 200000 of the image and 44 of the texts";
    EXPECT_EQ(100, position);
    ASSERT_EQ(2u, dialog.addresses.size());
    EXPECT_STREQ("图片地址", dialog.addresses.at(0).first.c_str());
    EXPECT_STREQ("http://img.norpasoft.com/p/7f3a.png", dialog.addresses.at(0).second.c_str());
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_FALSE(dialog.cancelled);
}

TEST_F(UploadProgressTest, AFailureIsShownOnceAndEndsWithCancel)
{
    struct Case {
        const char* scenario;
        const wchar_t* message;
    };
    // One refusal of the worker's, one of the dialog's own judgement.
    const Case cases[] = {
        {"config500", L"服务暂时不可用"},
        {"result3", L"图片格式不被接受"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(server.SetScenario(c.scenario));
        shell.boxes.clear();
        CUploadProgressDlg attempt;
        attempt.width = 800;
        attempt.height = 600;
        attempt.imagePath = Wide(image);
        EXPECT_EQ(IDCANCEL, attempt.DoModal()) << c.scenario;
        ASSERT_EQ(1u, shell.boxes.size()) << c.scenario;
        EXPECT_EQ(c.message, shell.boxes[0].text) << c.scenario;
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), shell.boxes[0].type & MB_ICONMASK) << c.scenario;
        EXPECT_EQ(0u, attempt.addresses.size()) << c.scenario;
    }
}

TEST_F(UploadProgressTest, CancelWhileTheImageGoesOutEndsQuietly)
{
    // A server on a slow line: the POST runs for seconds.
    editorapptest::WriteFileBytes(image, uploadtest::PngLikeBytes(3 << 20));
    ASSERT_TRUE(server.SetScenario("slow"));
    bool visibleAfterCancel = false;
    DialogDriver driver([&](HWND d) {
        uploadtest::PumpUntil([&] { return !ItemText(d, IDC_UPLOAD_BYTES).empty(); });
        Click(d, IDCANCEL);
        visibleAfterCancel = IsWindowVisible(d) != FALSE;
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(visibleAfterCancel) << "the dialog waits for the worker's end";
    EXPECT_TRUE(dialog.cancelled);
    EXPECT_TRUE(shell.boxes.empty()) << "a cancel is not reported as a failure";
}

TEST_F(UploadProgressTest, CancelWhileTheConfigurationIsFetchedEndsQuietly)
{
    ASSERT_TRUE(server.SetScenario("held_config"));
    DialogDriver driver([&](HWND d) {
        Click(d, IDCANCEL);
        EXPECT_TRUE(server.Release());
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(driver.ran());
    EXPECT_TRUE(dialog.cancelled);
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_EQ(0u, dialog.addresses.size());
}

}  // namespace
