// The description and response dialogs driven from inside their own modal
// loops on the display that scripts/test.sh starts: what they show, what
// they give back, the clipboard, the browser (through the recording shell)
// and the upload history.
#include "editor/resource.h"
#include "editor/upload/upload_input_dlg.h"
#include "editor/upload/upload_response_dlg.h"
#include "kesh/time.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/editor_view_support.h"
#include "tests/upload_test_support.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <set>
#include <string>
#include <vector>

namespace {

using viewtest::Click;
using viewtest::DialogDriver;
using viewtest::ItemText;

using kesh::Wide;

bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::vector<std::wstring> ComboItems(HWND dialog)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, IDC_RESPONSE_TITLES, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(dialog, IDC_RESPONSE_TITLES, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

void SelectTitle(HWND dialog, int index)
{
    SendDlgItemMessageW(dialog, IDC_RESPONSE_TITLES, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_RESPONSE_TITLES, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_RESPONSE_TITLES)));
}

std::wstring ClipboardText()
{
    editortest::ClipboardOwner owner;
    if (!editortest::OpenClipboardPatiently(owner.hwnd()))
        return L"<clipboard busy>";
    std::wstring text = L"<no text>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void PutOnClipboard(const std::wstring& text)
{
    editortest::ClipboardOwner owner;
    ASSERT_TRUE(editortest::OpenClipboardPatiently(owner.hwnd()));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// The files in the upload history under home.
std::vector<std::wstring> HistoryFiles(const kesh::String& home)
{
    const std::set<std::wstring> names = uploadtest::FilesIn(Wide(home) + L"\\My Norpa\\History\\Upload");
    return std::vector<std::wstring>(names.begin(), names.end());
}

class UploadDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        home = files.path("home");
        CreateDirectoryW(Wide(home).c_str(), nullptr);
    }
    void TearDown() override
    {
        editorapptest::RemoveTree(Wide(home));
        uitest::pump();
        CoUninitialize();
    }

    kesh::TArray<kesh::StringPair> List(std::initializer_list<std::pair<const char*, const char*>> entries)
    {
        kesh::TArray<kesh::StringPair> list;
        for (const auto& entry : entries)
            list.append(kesh::StringPair(entry.first, entry.second));
        return list;
    }

    editorapptest::RecordingShell shell;
    editortest::TempFolder files;
    kesh::String home;
};

TEST_F(UploadDialogTest, DescriptionDialogShowsTheSizeAndGivesBackTheTexts)
{
    const kesh::String image = files.path("upload.png");
    editorapptest::WriteFileBytes(image, std::string(1536, 'x'));
    CUploadInputDlg dialog;
    dialog.description = L"-在这里输入对图片的描述-";
    dialog.signature = L"张三";
    dialog.imagePath = image;
    dialog.width = 800;
    dialog.height = 600;
    std::wstring shownDescription, shownSignature, sizeLine, caption;
    DialogDriver driver([&](HWND d) {
        shownDescription = ItemText(d, IDC_UPLOAD_DESCRIPTION);
        shownSignature = ItemText(d, IDC_UPLOAD_SIGNATURE);
        sizeLine = ItemText(d, IDC_UPLOAD_IMAGE_SIZE);
        caption = ui::WindowText(d);
        SetDlgItemTextW(d, IDC_UPLOAD_DESCRIPTION, L"第一行\r\n第二行");
        SetDlgItemTextW(d, IDC_UPLOAD_SIGNATURE, L"");
        Click(d, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(L"-在这里输入对图片的描述-", shownDescription);
    EXPECT_EQ(L"张三", shownSignature);
    EXPECT_EQ(L"1.5K   800 X 600像素", sizeLine);
    EXPECT_EQ(L"存储到Norpa - 描述图片", caption);
    EXPECT_EQ(L"第一行\r\n第二行", dialog.description);
    EXPECT_EQ(L"", dialog.signature) << "an empty signature is taken as it is";

    // A file that cannot be read counts 0 bytes.
    dialog.imagePath = files.path("missing.png");
    DialogDriver again([&](HWND d) {
        sizeLine = ItemText(d, IDC_UPLOAD_IMAGE_SIZE);
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(L"0B   800 X 600像素", sizeLine);
}

TEST_F(UploadDialogTest, ResponseListsTitlesCopiesOpensAndKeepsTheFirstInTheHistory)
{
    CUploadResponseDlg dialog;
    dialog.historyHome = home;
    dialog.addresses = List({{"图片地址", "http://img.norpasoft.com/p/7f3a.png"},
                             {"网页地址", "https://www.norpasoft.com/v/7f3a"},
                             {"", "img.norpasoft.com/no-scheme"}});
    std::vector<std::wstring> titles, addresses, notices;
    std::vector<bool> openEnabled, copyEnabled;
    std::wstring copied;
    size_t executedAfterFirstOpen = 0;
    const auto look = [&](HWND d) {
        addresses.push_back(ItemText(d, IDC_RESPONSE_ADDRESS));
        openEnabled.push_back(ItemEnabled(d, IDC_RESPONSE_OPEN));
        copyEnabled.push_back(ItemEnabled(d, IDC_RESPONSE_COPY));
    };
    DialogDriver driver([&](HWND d) {
        titles = ComboItems(d);
        look(d);
        Click(d, IDC_RESPONSE_OPEN);
        executedAfterFirstOpen = shell.executions.size();
        SelectTitle(d, 1);
        look(d);
        Click(d, IDC_RESPONSE_COPY);
        copied = ClipboardText();
        notices.push_back(ItemText(d, IDC_RESPONSE_NOTICE));
        SendMessageW(d, WM_TIMER, 1, 0);
        notices.push_back(ItemText(d, IDC_RESPONSE_NOTICE));
        SelectTitle(d, 2);
        look(d);
        Click(d, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ((std::vector<std::wstring>{L"图片地址", L"网页地址", L""}), titles);
    EXPECT_EQ((std::vector<std::wstring>{L"http://img.norpasoft.com/p/7f3a.png", L"https://www.norpasoft.com/v/7f3a",
                                         L"img.norpasoft.com/no-scheme"}),
              addresses);
    EXPECT_EQ((std::vector<bool>{true, true, false}), openEnabled);
    EXPECT_EQ((std::vector<bool>{true, true, true}), copyEnabled);
    ASSERT_EQ(1u, executedAfterFirstOpen);
    EXPECT_EQ(L"", shell.executions[0].verb);
    EXPECT_EQ(L"http://img.norpasoft.com/p/7f3a.png", shell.executions[0].file);
    EXPECT_EQ(L"https://www.norpasoft.com/v/7f3a", copied);
    EXPECT_EQ((std::vector<std::wstring>{L"\"网页地址\" 已经复制到剪贴板", L""}), notices);

    const std::vector<std::wstring> history = HistoryFiles(home);
    ASSERT_EQ(1u, history.size());
    EXPECT_EQ(L"norpa" + Wide(kesh::Time::now().format("yyMMdd")) + L"-001.url", history[0]);
}

TEST_F(UploadDialogTest, AnswerWithoutAddressesDisablesCopyAndOpenAndKeepsNothing)
{
    CUploadResponseDlg dialog;
    dialog.historyHome = home;
    PutOnClipboard(L"what the user copied before");
    bool copyEnabled = true, openEnabled = true;
    size_t items = 99;
    std::wstring notice = L"<unread>";
    DialogDriver driver([&](HWND d) {
        items = ComboItems(d).size();
        copyEnabled = ItemEnabled(d, IDC_RESPONSE_COPY);
        openEnabled = ItemEnabled(d, IDC_RESPONSE_OPEN);
        // Enter presses the default button, Copy, even when it is disabled.
        Click(d, IDC_RESPONSE_COPY);
        Click(d, IDC_RESPONSE_OPEN);
        notice = ItemText(d, IDC_RESPONSE_NOTICE);
        Click(d, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0u, items);
    EXPECT_FALSE(copyEnabled);
    EXPECT_FALSE(openEnabled);
    EXPECT_EQ(L"", notice) << "nothing was copied";
    EXPECT_TRUE(shell.executions.empty());
    EXPECT_EQ(L"what the user copied before", ClipboardText());
    EXPECT_TRUE(HistoryFiles(home).empty());
}

TEST_F(UploadDialogTest, AddressesTheShellMustNotGetAreShownButNeverOpenedOrKept)
{
    CUploadResponseDlg dialog;
    dialog.historyHome = home;
    dialog.addresses = List({{"文件", "file:///C:/windows/system32/calc.exe"},
                             {"脚本", "javascript:alert(1)"},
                             {"换行", "http://img.norpasoft.com/a\r\nSet-Cookie: x"},
                             {"安全", "https://img.norpasoft.com/p/safe"}});
    std::vector<bool> openEnabled;
    std::wstring shownFirst;
    DialogDriver driver([&](HWND d) {
        shownFirst = ItemText(d, IDC_RESPONSE_ADDRESS);
        for (int i = 0; i < 4; ++i) {
            SelectTitle(d, i);
            openEnabled.push_back(ItemEnabled(d, IDC_RESPONSE_OPEN));
            // A click that reaches the handler anyway opens nothing unsafe.
            Click(d, IDC_RESPONSE_OPEN);
        }
        Click(d, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(L"file:///C:/windows/system32/calc.exe", shownFirst);
    EXPECT_EQ((std::vector<bool>{false, false, false, true}), openEnabled);
    ASSERT_EQ(1u, shell.executions.size());
    EXPECT_EQ(L"https://img.norpasoft.com/p/safe", shell.executions[0].file);
    EXPECT_TRUE(HistoryFiles(home).empty()) << "the first address is not one to keep";
}

}  // namespace
