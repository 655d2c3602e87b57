// Closing the editor while its upload runs: the real vomla.exe against the
// fake upload server, on a slow line or keeping the upload waiting for
// good, its main window closed as the system closes a window (WM_CLOSE)
// once the upload is under way. The upload is cut off, the program ends
// within its bound, and its temporary copy goes.
#include "tests/toolbar_program_support.h"

#include "common/worker_exit.h"
#include "editor/resource.h"
#include "kesh/property.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/upload_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace toolbartest;

namespace {

// A 24-bit bitmap of noise: encoded for the upload it stays large, so that
// it takes a while on a slow line.
std::string NoiseBitmap(LONG width, LONG height)
{
    const DWORD pixels = static_cast<DWORD>(width * height * 3);
    const BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER file = {0x4D42, offset + pixels, 0, 0, offset};
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + uploadtest::PngLikeBytes(pixels);
}

TEST(EditorCloseTest, ClosingTheEditorMidUploadCutsItOffEndsItInTimeAndLeavesNoCopy)
{
    uploadtest::FakeUploadServer server;
    ASSERT_TRUE(server.available()) << "run through tests/with_upload_server.sh";
    editorapptest::EditorKeyGuard settings;
    HistoryGuard history;
    editortest::TempFolder files;
    const kesh::String picture = files.path("noise.bmp");
    editorapptest::WriteFileBytes(picture, NoiseBitmap(1600, 1200));
    const std::wstring temporary = Wide(kesh::sys::getProperty("user.temp", ""));
    const std::set<std::wstring> before = uploadtest::FilesIn(temporary);
    // Beyond the program's bound: its end, on a machine shared with other work.
    const DWORD kSlack = 4000;
    // A slow line; waits for good at the entry's TLS hello, or for the answer.
    for (const char* scenario : {"slow", "tls_silent", "one_header", "endless_headers", "slow_headers"}) {
        const bool slow = std::string(scenario) == "slow";
        ASSERT_TRUE(server.SetScenario(scenario));
        const std::wstring program = Wide(editorapptest::BesideTestProgram("vomla.exe"));
        Process editor(program, L"\"" + program + L"\" \"" + Wide(picture) + L"\" -x-1 -y-1");
        ASSERT_TRUE(editor.started());
        HWND frame = WaitForWindowOf(editor.id(), nullptr, L"noise.bmp", 20000);
        ASSERT_NE(nullptr, frame) << scenario;
        PostMessageW(frame, WM_COMMAND, ID_FILE_SAVE_TO_SERVER, 0);
        for (const wchar_t* caption : {L"选择存储格式", L"存储到Norpa - 描述图片"}) {
            HWND dialog = WaitForWindowOf(editor.id(), L"#32770", caption, 20000);
            ASSERT_NE(nullptr, dialog) << scenario << ": " << caption;
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
        HWND progress = WaitForWindowOf(editor.id(), L"#32770", L"存储到Norpa - 传送数据", 20000);
        ASSERT_NE(nullptr, progress) << scenario;
        const auto underWay = [&] {
            if (slow)
                return !WindowText(GetDlgItem(progress, IDC_UPLOAD_BYTES)).empty();
            const uploadtest::PostRecord post = server.LastPost();
            return post.present || post.hellos > 0;
        };
        ASSERT_TRUE(WaitFor(underWay, 20000)) << scenario;

        PostMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_NE(-1, editor.WaitForExit(kWorkerExitWait + kSlack)) << scenario << ": the editor still runs";
        // Copies are named by 32 hexadecimal characters; the folder is shared
        // with the programs of other tests.
        for (const std::wstring& name : uploadtest::FilesIn(temporary)) {
            const bool copy = name.size() == 32 && name.find_first_not_of(L"0123456789abcdef") == std::wstring::npos;
            EXPECT_TRUE(!copy || before.count(name)) << scenario << ": left in the temporary folder: " << name.c_str();
        }
        if (slow) {
            uploadtest::PostRecord post;
            EXPECT_TRUE(WaitFor([&] { return (post = server.LastPost()).present; }, 30000));
            EXPECT_LT(post.received, post.declared) << "the picture went on after the close";
        }
    }
}

}  // namespace
