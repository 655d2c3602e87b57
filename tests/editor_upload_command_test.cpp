// The store-to-server command of the real main frame, end to end against
// the fake upload server: its dialogs answered from a timer inside their
// own modal loops, message boxes through the recording shell. What the
// server received, the registry, the client id file, the upload history
// and the temporary copy are checked afterwards.
#include "common/image_codecs.h"
#include "editor/app/main_frame.h"
#include "editor/resource.h"
#include "editor/upload/client_id.h"
#include "editor/view/paint_view.h"
#include "httpclient/client.h"
#include "kesh/file.h"
#include "kesh/path.h"
#include "kesh/property.h"
#include "kesh/time.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/editor_view_support.h"
#include "tests/upload_test_support.h"
#include "ui/window.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using viewtest::Click;

using kesh::Wide;
std::string Utf8(const std::wstring& text) { return kesh::String(text.c_str()).c_str(); }

const wchar_t* const kFormatCaption = L"选择存储格式";
const wchar_t* const kInputCaption = L"存储到Norpa - 描述图片";
const wchar_t* const kProgressCaption = L"存储到Norpa - 传送数据";
const wchar_t* const kResponseCaption = L"存储到Norpa - 完成";

// Answers each dialog of this thread that comes up, by its caption, once
// per appearance, from a thread timer that runs inside any modal loop. A
// dialog its script leaves open for long is cancelled, so that a test
// never hangs. Every dialog made meanwhile is recorded as it is created,
// also one that ends before the timer could see it.
class DialogScripts {
public:
    using Script = std::function<void(HWND)>;

    explicit DialogScripts(std::map<std::wstring, Script> scripts)
        : scripts_(std::move(scripts)), timer_(SetTimer(nullptr, 0, 20, &DialogScripts::Tick)),
          hook_(SetWindowsHookExW(WH_CBT, &DialogScripts::Created, nullptr, GetCurrentThreadId()))
    {
        active_ = this;
    }
    ~DialogScripts()
    {
        UnhookWindowsHookEx(hook_);
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    // The captions of the dialogs made, in order.
    std::vector<std::wstring> seen;

private:
    static LRESULT CALLBACK Created(int code, WPARAM w, LPARAM l)
    {
        if (code == HCBT_CREATEWND && active_) {
            const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(l)->lpcs;
            const bool dialog = IS_INTRESOURCE(create->lpszClass) &&
                                LOWORD(reinterpret_cast<ULONG_PTR>(create->lpszClass)) == 0x8002;
            if (dialog)
                active_->seen.push_back(create->lpszName ? create->lpszName : L"");
        }
        return CallNextHookEx(nullptr, code, w, l);
    }

    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found)
    {
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, 16);
        if (IsWindowVisible(hwnd) && std::wstring(name) == L"#32770") {
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        DialogScripts* self = active_;
        if (!self || self->running_)
            return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &DialogScripts::FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return;
        if (dialog == self->current_) {
            if (GetTickCount() - self->since_ > 30000)
                Click(dialog, IDCANCEL);
            return;
        }
        self->current_ = dialog;
        self->since_ = GetTickCount();
        wchar_t caption[128] = {};
        GetWindowTextW(dialog, caption, 128);
        const auto script = self->scripts_.find(caption);
        if (script == self->scripts_.end())
            return;
        self->running_ = true;
        script->second(dialog);
        self->running_ = false;
    }

    static DialogScripts* active_;
    std::map<std::wstring, Script> scripts_;
    UINT_PTR timer_;
    HHOOK hook_;
    HWND current_ = nullptr;
    DWORD since_ = 0;
    bool running_ = false;
};
DialogScripts* DialogScripts::active_ = nullptr;

class StoreToServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/with_upload_server.sh";
        ASSERT_TRUE(gdiplus.ok());
        CoInitialize(nullptr);
        // The client id and the history live under the user's documents
        // folder (this prefix's own): what the test adds there it takes
        // away again.
        home = Wide(kesh::sys::getProperty("user.home", ""));
        ASSERT_FALSE(home.empty());
        ourFolder = home + L"\\My Norpa";
        madeOurFolder = GetFileAttributesW(ourFolder.c_str()) == INVALID_FILE_ATTRIBUTES;
        CreateDirectoryW(ourFolder.c_str(), nullptr);
        oidPath = ClientIdPathUnder(kesh::String(home.c_str()));
        oidBefore = kesh::fs::exists(oidPath) ? editorapptest::ReadFileBytes(oidPath) : std::string("<none>");
        historyFolder = ourFolder + L"\\History\\Upload";
        historyBefore = uploadtest::FilesIn(historyFolder);
        temporaryBefore = uploadtest::FilesIn(Wide(kesh::sys::getProperty("user.temp", "")));

        png = files.path("picture.png");
        editorapptest::WritePng(png, 120, 80, 0x3060C0, 0xFF0000);
        pngBytes = editorapptest::ReadFileBytes(png);
        frame = std::make_unique<CMainFrame>(key.path());
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        ShowWindow(frame->handle(), SW_SHOW);
        uitest::pump();
    }
    void TearDown() override
    {
        frame.reset();
        uitest::pump();
        uitest::takeQuit();
        for (const std::wstring& name : uploadtest::FilesIn(historyFolder))
            if (!historyBefore.count(name))
                DeleteFileW((historyFolder + L"\\" + name).c_str());
        if (madeOurFolder)
            editorapptest::RemoveTree(ourFolder);
        else if (oidBefore == "<none>")
            DeleteFileW(Wide(oidPath).c_str());
        else
            editorapptest::WriteFileBytes(oidPath, oidBefore);
        CoUninitialize();
    }

    bool CommandEnabled(UINT id)
    {
        ui::CommandState state(id);
        state.DoUpdate(*frame, true);
        return state.enabled();
    }
    bool ToolbarButtonEnabled(UINT id)
    {
        frame->ToolBar().SendMessage(ui::IdleUpdateMessage(), TRUE);
        return frame->ToolBar().SendMessage(TB_ISBUTTONENABLED, id) != 0;
    }

    // Types a description and a signature and presses OK.
    DialogScripts::Script Describe(const std::wstring& description, const std::wstring& signature)
    {
        return [=](HWND d) {
            shownDescriptions.push_back(viewtest::ItemText(d, IDC_UPLOAD_DESCRIPTION));
            shownSignatures.push_back(viewtest::ItemText(d, IDC_UPLOAD_SIGNATURE));
            SetDlgItemTextW(d, IDC_UPLOAD_DESCRIPTION, description.c_str());
            SetDlgItemTextW(d, IDC_UPLOAD_SIGNATURE, signature.c_str());
            Click(d, IDOK);
        };
    }
    DialogScripts::Script Press(int id)
    {
        return [id](HWND d) { Click(d, id); };
    }
    // One pencil stroke: the image then differs from its file. The image's
    // pixels along it as they are shown.
    std::vector<std::uint32_t> DrawStroke(CPaintView& view)
    {
        frame->SendMessage(WM_COMMAND, ID_TOOL_PENCIL, 0);
        const POINT origin = view.ImageOrigin();
        view.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(origin.x + 5, origin.y + 5));
        view.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(origin.x + 60, origin.y + 40));
        view.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(origin.x + 60, origin.y + 40));
        return StrokePixels(view);
    }
    static std::vector<std::uint32_t> StrokePixels(const CPaintView& view)
    {
        std::vector<std::uint32_t> pixels;
        for (int i = 0; i <= 8; ++i)
            pixels.push_back(viewtest::BitmapPixel(view.DisplayBitmap(), 5 + 55 * i / 8, 5 + 35 * i / 8));
        return pixels;
    }
    // Temporary copies the command left: files named by 32 hexadecimal
    // characters (the temporary folder is shared with other programs).
    std::set<std::wstring> NewTemporaryFiles() const
    {
        std::set<std::wstring> added;
        for (const std::wstring& name : uploadtest::FilesIn(Wide(kesh::sys::getProperty("user.temp", ""))))
            if (!temporaryBefore.count(name) && name.size() == 32 &&
                name.find_first_not_of(L"0123456789abcdef") == std::wstring::npos)
                added.insert(name);
        return added;
    }

    uploadtest::FakeUploadServer server;
    GdiplusSession gdiplus;
    viewtest::TestKey key;
    editortest::TempFolder files;
    editorapptest::RecordingShell shell;
    std::wstring home, ourFolder, historyFolder;
    bool madeOurFolder = false;
    kesh::String oidPath;
    std::string oidBefore;
    std::set<std::wstring> historyBefore, temporaryBefore;
    kesh::String png;
    std::string pngBytes;
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::wstring> shownDescriptions, shownSignatures;
};

TEST_F(StoreToServerTest, TheCloudButtonAndCtrlTWorkWhileAnImageIsOpen)
{
    EXPECT_FALSE(CommandEnabled(ID_FILE_SAVE_TO_SERVER));
    EXPECT_FALSE(ToolbarButtonEnabled(ID_FILE_SAVE_TO_SERVER));
    ASSERT_TRUE(frame->OpenImage(png));
    EXPECT_TRUE(CommandEnabled(ID_FILE_SAVE_TO_SERVER));
    EXPECT_TRUE(ToolbarButtonEnabled(ID_FILE_SAVE_TO_SERVER));

    // The key opens the format dialog; cancelling it ends the command with
    // nothing written.
    DialogScripts scripts({{kFormatCaption, Press(IDCANCEL)}});
    MSG msg = {};
    msg.hwnd = frame->handle();
    msg.message = WM_KEYDOWN;
    msg.wParam = 'T';
    msg.lParam = 1;
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    const bool translated = TranslateAcceleratorW(frame->handle(), LoadAcceleratorsW(GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(IDR_MAINFRAME)), &msg) != 0;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(translated);
    EXPECT_EQ(std::vector<std::wstring>{kFormatCaption}, scripts.seen);
    EXPECT_TRUE(NewTemporaryFiles().empty());
    EXPECT_FALSE(server.LastPost().present);
}

TEST_F(StoreToServerTest, UploadsTheFileAsItIsRetriesAfterAFailureAndKeepsTheAddress)
{
    ASSERT_TRUE(frame->OpenImage(png));
    ASSERT_TRUE(server.SetScenario("post500"));
    int inputs = 0;
    const DialogScripts::Script firstAttempt = Describe(L"第一次", L"张三");
    const DialogScripts::Script secondAttempt = Describe(L"第二次的描述", L"李四");
    std::vector<std::wstring> titles;
    DialogScripts scripts({
        // An unchanged PNG may go byte for byte.
        {kFormatCaption, Press(IDC_SAVE_SKIP)},
        {kInputCaption,
         [&](HWND d) {
             if (++inputs == 1) {
                 firstAttempt(d);
             } else {
                 server.SetScenario("ok");
                 secondAttempt(d);
             }
         }},
        {kResponseCaption,
         [&](HWND d) {
             const int count = static_cast<int>(SendDlgItemMessageW(d, IDC_RESPONSE_TITLES, CB_GETCOUNT, 0, 0));
             for (int i = 0; i < count; ++i) {
                 wchar_t text[64] = {};
                 SendDlgItemMessageW(d, IDC_RESPONSE_TITLES, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                 titles.push_back(text);
             }
             Click(d, IDOK);
         }},
    });
    frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_TO_SERVER, 0);

    EXPECT_EQ((std::vector<std::wstring>{kFormatCaption, kInputCaption, kProgressCaption, kInputCaption,
                                         kProgressCaption, kResponseCaption}),
              scripts.seen);
    // The failure was shown once; the description came back as typed.
    ASSERT_EQ(1u, shell.boxes.size());
    EXPECT_EQ(L"服务暂时不可用", shell.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), shell.boxes[0].type & MB_ICONMASK);
    ASSERT_EQ(2u, shownDescriptions.size());
    EXPECT_EQ(L"-在这里输入对图片的描述-", shownDescriptions[0]);
    EXPECT_EQ(Wide(kesh::sys::getProperty("user.name", "")), shownSignatures[0]);
    EXPECT_EQ(L"第一次", shownDescriptions[1]);
    EXPECT_EQ(L"张三", shownSignatures[1]);
    EXPECT_EQ((std::vector<std::wstring>{L"图片地址", L"网页地址"}), titles);

    // The form: the file byte for byte under a temporary name, the texts,
    // the client id of the id file.
    const uploadtest::PostRecord post = server.LastPost();
    ASSERT_TRUE(post.present);
    ASSERT_FALSE(post.malformed);
    ASSERT_EQ(4u, post.parts.size());
    EXPECT_EQ(Utf8(L"第二次的描述"), post.parts[0].value);
    EXPECT_EQ(pngBytes.size(), post.parts[1].length);
    EXPECT_EQ(uploadtest::Crc32(pngBytes), post.parts[1].crc32);
    EXPECT_EQ(Utf8(L"李四"), post.parts[2].value);
    const std::string oid = editorapptest::ReadFileBytes(oidPath);
    EXPECT_EQ(32u, oid.size());
    EXPECT_EQ(oid, post.parts[3].value);
    // The temporary copy goes by its name alone: no folder of the user's.
    const std::string sent = post.parts[1].fileName;
    EXPECT_EQ(32u, sent.size()) << sent;
    EXPECT_EQ(std::string::npos, sent.find_first_not_of("0123456789abcdef")) << sent;
    kesh::fs::Path copy(kesh::sys::getProperty("user.temp", ""));
    copy.child(sent.c_str());
    EXPECT_FALSE(kesh::fs::exists(copy.toString())) << "the temporary copy is deleted";
    EXPECT_TRUE(NewTemporaryFiles().empty());

    EXPECT_STREQ(Utf8(L"李四").c_str(), key.value("sign").c_str());
    EXPECT_EQ(pngBytes, editorapptest::ReadFileBytes(png)) << "the user's file is never touched";

    // One shortcut to the first address in the history.
    std::vector<std::wstring> added;
    for (const std::wstring& name : uploadtest::FilesIn(historyFolder))
        if (!historyBefore.count(name))
            added.push_back(name);
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(0u, added[0].rfind(L"norpa" + Wide(kesh::Time::now().format("yyMMdd")) + L"-", 0)) << added[0];
    const std::string shortcut = editorapptest::ReadFileBytes(kesh::String((historyFolder + L"\\" + added[0]).c_str()));
    EXPECT_NE(std::string::npos, shortcut.find("URL=http://img.norpasoft.com/p/7f3a.png")) << shortcut;
}

TEST_F(StoreToServerTest, AnEditedImageIsEncodedAndTheIdAndSignatureAreKept)
{
    ASSERT_TRUE(frame->OpenImage(png));
    CPaintView* view = frame->PaintView();
    ASSERT_NE(nullptr, view);
    DrawStroke(*view);
    ASSERT_NE(0, view->Modified());
    ASSERT_TRUE(server.SetScenario("ok"));

    std::vector<std::string> uids;
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool skipEnabled = true;
        DialogScripts scripts({
            {kFormatCaption,
             [&](HWND d) {
                 skipEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SAVE_SKIP)) != FALSE;
                 Click(d, IDOK);
             }},
            {kInputCaption, Describe(L"改过的图", L"王五")},
            {kResponseCaption, Press(IDOK)},
        });
        frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_TO_SERVER, 0);
        EXPECT_FALSE(skipEnabled) << "a changed image is always encoded";
        const uploadtest::PostRecord post = server.LastPost();
        ASSERT_EQ(4u, post.parts.size());
        EXPECT_NE(uploadtest::Crc32(pngBytes), post.parts[1].crc32);
        uids.push_back(post.parts[3].value);
        // The second attempt opens with the stored signature.
        EXPECT_EQ(attempt == 0 ? Wide(kesh::sys::getProperty("user.name", "")) : L"王五", shownSignatures.back());
    }
    EXPECT_EQ(32u, uids[0].size());
    EXPECT_EQ(uids[0], uids[1]) << "the client id is made once and reused";
    EXPECT_EQ(uids[0], editorapptest::ReadFileBytes(oidPath));
    EXPECT_NE(0, view->Modified()) << "the upload does not count as saving";
    EXPECT_EQ(pngBytes, editorapptest::ReadFileBytes(png));
    EXPECT_TRUE(NewTemporaryFiles().empty());
}

TEST_F(StoreToServerTest, CancellingTheDescriptionSendsNothingAndDeletesTheCopy)
{
    ASSERT_TRUE(frame->OpenImage(png));
    ASSERT_TRUE(server.SetScenario("ok"));
    bool copyExisted = false;
    DialogScripts scripts({
        {kFormatCaption, Press(IDOK)},
        {kInputCaption,
         [&](HWND d) {
             copyExisted = NewTemporaryFiles().size() == 1;
             Click(d, IDCANCEL);
         }},
    });
    frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_TO_SERVER, 0);
    EXPECT_EQ((std::vector<std::wstring>{kFormatCaption, kInputCaption}), scripts.seen);
    EXPECT_TRUE(copyExisted);
    EXPECT_TRUE(NewTemporaryFiles().empty());
    EXPECT_FALSE(server.LastPost().present);
    EXPECT_FALSE(key.hasValue("sign"));
}

TEST_F(StoreToServerTest, HostileServersEndTheUploadWithTheirMessageAndThePictureStays)
{
    ASSERT_TRUE(frame->OpenImage(png));
    CPaintView* view = frame->PaintView();
    ASSERT_NE(nullptr, view);
    const std::vector<std::uint32_t> stroke = DrawStroke(*view);
    const int modified = view->Modified();
    ASSERT_NE(0, modified);
    // A silent server ends the upload after the client's time limit,
    // shortened here for all clients this test's upload makes.
    const uploadtest::ShortTimeLimit shortTimeLimit(2000);
    struct Case {
        const char* scenario;
        bool cancel;          // Cancel pressed once the image goes out
        const wchar_t* shown;  // the start of the error box's text; null: no box
    };
    const Case cases[] = {
        {"slow", true, nullptr},
        // The answer to the image redirects to itself.
        {"redirect_loop", false, L"传输中断: "},
        // No answer to the configuration's request, or to the image's.
        {"silent", false, L"传输中断: "},
        {"mute", false, L"传输中断: "},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(server.SetScenario(c.scenario));
        shell.boxes.clear();
        int inputs = 0;
        const DialogScripts::Script describe = Describe(L"描述", L"署名");
        DialogScripts scripts({
            {kFormatCaption, Press(IDOK)},
            // The description is offered again after the failure: no more.
            {kInputCaption, [&](HWND d) { ++inputs == 1 ? describe(d) : Click(d, IDCANCEL); }},
            {kProgressCaption,
             [&](HWND d) {
                 if (!c.cancel)
                     return;
                 uploadtest::PumpUntil([&] { return !viewtest::ItemText(d, IDC_UPLOAD_BYTES).empty(); });
                 Click(d, IDCANCEL);
             }},
        });
        frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_TO_SERVER, 0);

        EXPECT_EQ((std::vector<std::wstring>{kFormatCaption, kInputCaption, kProgressCaption, kInputCaption}),
                  scripts.seen)
            << c.scenario;
        ASSERT_EQ(c.shown ? 1u : 0u, shell.boxes.size()) << c.scenario;
        if (c.shown) {
            EXPECT_EQ(0u, shell.boxes[0].text.rfind(c.shown, 0)) << c.scenario;
        }
        EXPECT_EQ(modified, view->Modified()) << c.scenario;
        EXPECT_EQ(stroke, StrokePixels(*view)) << c.scenario;
        EXPECT_TRUE(NewTemporaryFiles().empty()) << c.scenario;
        if (c.cancel) {
            uploadtest::PostRecord post;
            EXPECT_TRUE(uploadtest::PumpUntil([&] { return (post = server.LastPost()).present; })) << c.scenario;
            EXPECT_LT(post.received, post.declared) << "the body went on after the cancel";
        }
    }
}

}  // namespace
