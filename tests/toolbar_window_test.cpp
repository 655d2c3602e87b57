// The toolbar window in this process, on the display that scripts/test.sh
// starts, for what the real program cannot be driven to from outside:
// dropped files, a hot key another program holds, declining the exit.
// Message boxes and the editor's start go through a recording shell.
#include "toolbar/app/norpa_dlg.h"

#include "common/image_codecs.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "toolbar/resource.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <memory>

namespace {

std::wstring Wide(const kesh::String& text) { return text.toWide().get(); }

class ToolbarWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        ASSERT_TRUE(gdiplus_.ok());
        sub_ = kesh::String::format("Software\\NorpaTest\\toolbar-window.%lu", GetCurrentProcessId());
        SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
        place_ = SettingsPlace{"HKEY_CURRENT_USER\\" + sub_, startup_.path("")};
    }
    void TearDown() override
    {
        toolbar_.reset();
        uitest::pump();
        uitest::takeQuit();
        SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
        CoUninitialize();
    }

    void Open()
    {
        toolbar_ = std::make_unique<CNorpaDlg>(place_);
        ASSERT_TRUE(toolbar_->Create(nullptr));
        uitest::pump();
    }

    GdiplusSession gdiplus_;
    editortest::TempFolder startup_;
    kesh::String sub_;
    SettingsPlace place_;
    editorapptest::RecordingShell shell_;
    std::unique_ptr<CNorpaDlg> toolbar_;
};

TEST_F(ToolbarWindowTest, ADropStartsTheEditorOnceWithTheFirstFileWhateverItsLength)
{
    Open();
    // A path far beyond MAX_PATH, as long paths allow.
    kesh::String longPath = "C:\\pictures";
    while (longPath.length() < 400)
        longPath = longPath + "\\a folder with a long name";
    longPath = longPath + "\\picture.png";
    toolbar_->SendMessage(WM_DROPFILES,
                          reinterpret_cast<WPARAM>(editorapptest::MakeDrop({longPath, "C:\\b.png", "C:\\c.png"})));
    ASSERT_EQ(1u, shell_.executions.size());
    EXPECT_EQ(L"open", shell_.executions[0].verb);
    EXPECT_EQ(Wide(editorapptest::BesideTestProgram("vomla.exe")), shell_.executions[0].file);
    EXPECT_EQ(L"\"" + Wide(longPath) + L"\" -x-1 -y-1", shell_.executions[0].parameters);
    EXPECT_TRUE(shell_.boxes.empty());
}

TEST_F(ToolbarWindowTest, AHotKeyAnotherProgramHoldsIsReportedAndTheToolbarRunsOn)
{
    // Ctrl+F2, the default, taken first by a window of the test's own.
    editortest::ClipboardOwner other;
    ASSERT_TRUE(RegisterHotKey(other.hwnd(), 7, MOD_CONTROL, VK_F2));
    Open();
    UnregisterHotKey(other.hwnd(), 7);
    ASSERT_EQ(1u, shell_.boxes.size());
    EXPECT_EQ(L"热键注册失败!", shell_.boxes[0].text);
    EXPECT_EQ(L"Norpa", shell_.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), shell_.boxes[0].type & MB_ICONMASK);
    EXPECT_TRUE(IsWindowVisible(toolbar_->handle()));
    // Free again, the key is the toolbar's after the options are confirmed.
    toolbar_->RegisterCaptureHotKey();
    EXPECT_EQ(1u, shell_.boxes.size());
    EXPECT_FALSE(RegisterHotKey(other.hwnd(), 8, MOD_CONTROL, VK_F2));
}

TEST_F(ToolbarWindowTest, DecliningTheExitQuestionKeepsTheToolbar)
{
    Open();
    shell_.boxAnswer = IDNO;
    toolbar_->SendMessage(WM_COMMAND, ID_TOOLBAR_EXIT, 0);
    ASSERT_EQ(1u, shell_.boxes.size());
    EXPECT_EQ(L"确定要关闭Norpa工具栏吗?", shell_.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), shell_.boxes[0].type);
    EXPECT_TRUE(IsWindow(toolbar_->handle()));
    EXPECT_EQ(-1, uitest::takeQuit());
    // Enter and Esc never end it.
    toolbar_->SendMessage(WM_COMMAND, IDOK, 0);
    toolbar_->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(toolbar_->handle()));

    shell_.boxAnswer = IDYES;
    toolbar_->SendMessage(WM_COMMAND, ID_TOOLBAR_EXIT, 0);
    EXPECT_EQ(nullptr, toolbar_->handle());
    EXPECT_EQ(0, uitest::takeQuit());
}

}  // namespace
