// What the framework hands to the shell through its one seam: message boxes
// with the program's caption, the file and colour dialogs, ShellExecute.
#include "tests/ui_test_ids.h"
#include "tests/log_lines.h"
#include "tests/ui_test_support.h"

#include "ui/controls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UiMessageBox, CaptionIsTheProgramNameAndIconFollowsTheButtons)
{
    uitest::FakeShell shell;
    struct Case {
        UINT type;
        UINT icon;
    } cases[] = {
        {MB_OK, MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_ICONEXCLAMATION},
        {MB_YESNO, MB_ICONQUESTION},
        {MB_YESNOCANCEL, MB_ICONQUESTION},
        {MB_YESNO | MB_ICONHAND, MB_ICONHAND},
        {MB_OK | MB_ICONINFORMATION, MB_ICONINFORMATION},
    };
    for (const Case& c : cases) {
        shell.boxes.clear();
        shell.boxAnswer = IDNO;
        EXPECT_EQ(ui::AppMessageBox(L"内容", c.type), IDNO);
        ASSERT_EQ(shell.boxes.size(), 1u);
        EXPECT_EQ(shell.boxes[0].caption, L"Norpa测试");
        EXPECT_EQ(shell.boxes[0].text, L"内容");
        EXPECT_EQ(shell.boxes[0].type & MB_ICONMASK, c.icon) << c.type;
        EXPECT_EQ(shell.boxes[0].type & MB_TYPEMASK, c.type & MB_TYPEMASK);
    }
    shell.boxes.clear();
    ui::AppMessageBox(IDR_TEST_FRAME, MB_OK);
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].text, L"测试框架");
}

TEST(UiShellSeam, FileDialogGetsTheFilterWithNulsAndReturnsThePath)
{
    uitest::FakeShell shell;
    shell.fileAnswer = L"C:\\图片\\a.png";
    ui::FileChooser dialog(false, L"png", nullptr, OFN_OVERWRITEPROMPT, L"PNG(*.png)|*.png||");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), L"C:\\图片\\a.png");
    ASSERT_EQ(shell.files.size(), 1u);
    EXPECT_FALSE(shell.files[0].open);
    EXPECT_EQ(shell.files[0].defaultExt, L"png");
    EXPECT_EQ(shell.files[0].flags, DWORD(OFN_OVERWRITEPROMPT));
    EXPECT_EQ(shell.files[0].filter, std::wstring(L"PNG(*.png)\0*.png\0\0\0", 19));

    shell.fileAnswer.clear();
    ui::FileChooser cancelled(true);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

TEST(UiShellSeam, FilterAlwaysEndsWithTwoNuls)
{
    const std::wstring filter = ui::FilterFromBars(L"所有文件 (*.*)|*.*");
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter[filter.size() - 1], L'\0');
    EXPECT_EQ(filter.find(L'|'), std::wstring::npos);
    EXPECT_EQ(filter, std::wstring(L"所有文件 (*.*)\0*.*\0", 15));
}

TEST(UiShellSeam, ColourDialogKeepsSixteenCustomColoursAcrossUses)
{
    uitest::FakeShell shell;
    shell.colorAnswer = RGB(1, 2, 3);
    ui::ColorChooser first(RGB(255, 0, 0), CC_FULLOPEN);
    EXPECT_EQ(first.request_.color, RGB(255, 0, 0));
    first.request_.customColors[3] = RGB(9, 9, 9);
    EXPECT_EQ(first.DoModal(), IDOK);
    EXPECT_EQ(first.GetColor(), RGB(1, 2, 3));
    ui::ColorChooser second;
    EXPECT_EQ(second.request_.customColors[3], RGB(9, 9, 9));
    shell.colorAnswerOk = false;
    EXPECT_EQ(second.DoModal(), IDCANCEL);
    first.request_.customColors[3] = RGB(255, 255, 255);
}

TEST(UiShellSeam, ColourDialogWithoutParentIsOwnedByTheActiveWindow)
{
    // An unowned colour dialog would leave every window of the program
    // usable while its loop runs, as the file dialogs do not.
    uitest::FakeShell shell;
    ui::CWnd active;
    const RECT rc = {0, 0, 200, 100};
    ASSERT_TRUE(active.CreateEx(0, nullptr, L"active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc, nullptr, 0));
    SetActiveWindow(active.handle());
    ASSERT_EQ(GetActiveWindow(), active.handle());
    ui::ColorChooser chooser;
    chooser.DoModal();
    EXPECT_EQ(shell.colorOwner, active.handle());
    ui::ColorChooser given(0, 0, GetDesktopWindow());
    given.DoModal();
    EXPECT_EQ(shell.colorOwner, GetDesktopWindow()) << "a given parent stays";
}

TEST(UiShellSeam, ShellExecuteGoesThroughTheSeamAndAFailureLeavesItsLine)
{
    uitest::FakeShell shell;
    testsupport::LogLines log;
    ui::Shell().ShellExecute(nullptr, nullptr, L"http://example.invalid/", nullptr, nullptr, SW_SHOWNORMAL);
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0], L"http://example.invalid/");
    EXPECT_TRUE(log.lines.empty());
    shell.executeError = ERROR_FILE_NOT_FOUND;
    ui::Shell().ShellExecute(nullptr, L"open", L"Explorer.exe", L"/n,\"C:\\gone\"", nullptr, SW_SHOWNORMAL);
    ASSERT_EQ(1u, log.lines.size());
    EXPECT_EQ(0u, log.lines[0].rfind("[ERR ] ShellExecuteW failed (Explorer.exe /n,\"C:\\gone\"): error 2 ", 0))
        << log.lines[0];
}

}  // namespace
