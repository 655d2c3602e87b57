// The version check inside the test program: a real toolbar window runs
// its command against the stand-in web site (tests/fake_web_site.py), the
// message boxes and the browser answered through the shell seam, under the
// display that scripts/test.sh starts.
#include "common/image_codecs.h"
#include "common/runner_protocol.h"
#include "common/version_info.h"
#include "tests/editor_test_support.h"
#include "tests/fake_web_site.h"
#include "tests/registry_cleanup.h"
#include "tests/ui_test_support.h"
#include "tests/wait.h"
#include "toolbar/app/norpa_dlg.h"
#include "toolbar/core/version_rules.h"
#include "toolbar/resource.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlwapi.h>

#include <memory>
#include <string>

namespace {

using versiontest::Site;
using versiontest::SiteAnswer;

using kesh::Wide;

// a.b.c of version v, and the whole a.b.c.d.
std::string Head(uint64_t v)
{
    return std::to_string(v >> 48) + "." + std::to_string(v >> 32 & 0xFFFF) + "." + std::to_string(v >> 16 & 0xFFFF);
}
std::string VersionText(uint64_t v) { return Head(v) + "." + std::to_string(v & 0xFFFF); }

std::string Reply(const std::string& version, const std::string& address)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<norpa>\n  <current version=\"" + version + "\">" +
           address + "</current>\n</norpa>\n";
}

const char kDownload[] = "http://www.norpasoft.com/download/norpa-setup.exe";
const wchar_t kNothingNewer[] = L"没有发现新版本";
const wchar_t kQuestion[] = L"发现有新版本可用.\n是否马上下载?";

// The visible version-check dialog of this thread; null when there is none
// or more than one.
HWND CheckDialog()
{
    struct Search {
        HWND found = nullptr;
        int count = 0;
    } search;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM l) -> BOOL {
            Search* s = reinterpret_cast<Search*>(l);
            if (IsWindowVisible(hwnd) && ui::WindowText(hwnd) == L"Norpa 检查新版本") {
                s->found = hwnd;
                ++s->count;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count == 1 ? search.found : nullptr;
}

// A real toolbar of the test's own (settings in a key of its own, no hot
// key, no start at login) whose version-check command the cases run.
class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Site().available()) << "run through tests/with_upload_server.sh";
        CoInitialize(nullptr);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        subKey_ = Wide(kesh::String::format("Software\\NorpaTest\\%s.%lu", info->name(), GetCurrentProcessId()));
        const DWORD zero = 0;
        SHSetValueW(HKEY_CURRENT_USER, subKey_.c_str(), L"captureHotkey", REG_DWORD, &zero, sizeof(zero));
        SHSetValueW(HKEY_CURRENT_USER, subKey_.c_str(), L"autoRun", REG_DWORD, &zero, sizeof(zero));
        const SettingsPlace place{"HKEY_CURRENT_USER\\" + kesh::String(subKey_.c_str()), folder_.path("startup")};
        toolbar_ = std::make_unique<CNorpaDlg>(place);
        ASSERT_TRUE(toolbar_->Create(nullptr));
        VS_FIXEDFILEINFO info_ = {};
        ASSERT_TRUE(ReadOwnFileVersion(info_));
        own_ = PackedProductVersion(info_);
    }
    void TearDown() override
    {
        if (toolbar_ && toolbar_->handle())
            toolbar_->DestroyWindow();
        toolbar_.reset();
        testsupport::DeleteKeyAndEmptyParents(subKey_);
        CoUninitialize();
    }

    // The toolbar's version-check command, run to its end.
    void Check() { SendMessageW(toolbar_->handle(), WM_COMMAND, ID_CHECK_VERSION, 0); }
    // What the balloon was last given to show: once shown, another
    // program's window taking the activation hides it again.
    bool BalloonSays(const wchar_t* text) const
    {
        return ui::WindowText(toolbar_->balloon().handle()).find(text) != std::wstring::npos;
    }
    void ClearBalloon()
    {
        toolbar_->balloon().Show(L"");
        toolbar_->balloon().Hide();
    }

    GdiplusSession gdiplus_;
    uitest::FakeShell shell_;
    editortest::TempFolder folder_;
    std::wstring subKey_;
    std::unique_ptr<CNorpaDlg> toolbar_;
    uint64_t own_ = 0;
};

TEST_F(VersionCheckTest, EachReplyEndsInItsMessageOrBalloon)
{
    const std::string newer = VersionText(own_ + 1);
    const std::wstring unrecognised = Wide(kUnrecognisedReplyText);
    const std::wstring unavailable = Wide(kServiceUnavailableText);
    // Parts ORed in as they come would carry into the third part and make
    // this look newer.
    const std::string overflowing = Head(own_) + "." + std::to_string((own_ & 0xFFFF) + 65537);

    struct Case {
        const char* what;
        unsigned status;
        std::string body;
        int answer;              // to the question
        const wchar_t* box;      // the message box shown, if any
        UINT boxType;
        bool balloon;            // "没有发现新版本"
        const char* opened;      // the address handed to the browser, if any
    };
    const UINT error = MB_OK | MB_ICONERROR, question = MB_YESNO | MB_ICONQUESTION;
    const Case cases[] = {
        {"newer, answered Yes", 200, Reply(newer, kDownload), IDYES, kQuestion, question, false, kDownload},
        {"newer, answered No", 200, Reply(newer, kDownload), IDNO, kQuestion, question, false, nullptr},
        {"equal", 200, Reply(VersionText(own_), kDownload), IDYES, nullptr, 0, true, nullptr},
        {"older", 200, Reply(VersionText(own_ - 1), kDownload), IDYES, nullptr, 0, true, nullptr},
        {"three parts", 200, Reply(Head(own_ + 0x10000), kDownload), IDYES, nullptr, 0, true, nullptr},
        {"five parts", 200, Reply(newer + ".0", kDownload), IDYES, nullptr, 0, true, nullptr},
        {"a part over 65535", 200, Reply(overflowing, kDownload), IDYES, nullptr, 0, true, nullptr},
        {"no version element", 200, "<norpa/>", IDYES, nullptr, 0, true, nullptr},
        {"not XML", 200, "<norpa><current version=", IDYES, unrecognised.c_str(), error, false, nullptr},
        {"an empty document", 200, "", IDYES, unrecognised.c_str(), error, false, nullptr},
        {"newer with a script to open", 200, Reply(newer, "javascript:alert(1)"), IDYES, unrecognised.c_str(),
         error, false, nullptr},
        {"404", 404, "<error/>", IDYES, unavailable.c_str(), error, false, nullptr},
        {"500 with a newer document", 500, Reply(newer, kDownload), IDYES, unavailable.c_str(), error, false,
         nullptr},
    };
    for (const Case& c : cases) {
        SiteAnswer answer;
        answer.status = c.status;
        answer.body = c.body;
        ASSERT_TRUE(Site().SetAnswer(answer)) << c.what;
        shell_.boxes.clear();
        shell_.executed.clear();
        shell_.boxAnswer = c.answer;
        ClearBalloon();

        Check();

        EXPECT_EQ(nullptr, CheckDialog()) << c.what;
        ASSERT_EQ(c.box ? 1u : 0u, shell_.boxes.size()) << c.what;
        if (c.box) {
            EXPECT_EQ(std::wstring(c.box), shell_.boxes[0].text) << c.what;
            EXPECT_EQ(c.boxType, shell_.boxes[0].type) << c.what;
            EXPECT_EQ(L"Norpa", shell_.boxes[0].caption) << c.what;
        }
        EXPECT_EQ(c.balloon, BalloonSays(kNothingNewer)) << c.what;
        ASSERT_EQ(c.opened ? 1u : 0u, shell_.executed.size()) << c.what;
        if (c.opened) {
            EXPECT_EQ(Wide(c.opened), shell_.executed[0]) << c.what;
        }
    }
}

// What happened inside the check dialog's own loop while the site was slow.
struct SlowCheck {
    const char* clickWhen = "";  // the site's state at which Cancel is pressed
    UINT_PTR timer = 0;
    HWND dialog = nullptr;
    bool cancelled = false;
    std::wstring stageShown;
    bool leftByEnter = false;
    bool leftBySecondRequest = false;
    bool leftByCancel = false;
    bool cancelGrayed = false;
    HWND toolbar = nullptr;
};
SlowCheck* slowCheck = nullptr;

void CALLBACK WatchSlowCheck(HWND, UINT, UINT_PTR, DWORD)
{
    SlowCheck& check = *slowCheck;
    const HWND dialog = CheckDialog();
    if (check.cancelled || !dialog || Site().LastRequest()["state"] != check.clickWhen)
        return;
    check.cancelled = true;
    check.dialog = dialog;
    check.stageShown = ui::WindowText(GetDlgItem(dialog, IDC_VERSION_STAGE));
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    check.leftByEnter = CheckDialog() != dialog;
    SendMessageW(check.toolbar, WM_COMMAND, ID_CHECK_VERSION, 0);
    check.leftBySecondRequest = CheckDialog() != dialog;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    check.leftByCancel = !IsWindow(dialog);
    check.cancelGrayed = !IsWindowEnabled(GetDlgItem(dialog, IDCANCEL));
}

TEST_F(VersionCheckTest, CancelCutsASlowAnswerOffAndTheDialogWaitsForTheWorker)
{
    // A newer version that would take half a minute to arrive. The pieces
    // are as large as the reads: Wine's WinINet fills a read's whole buffer
    // before it returns, and a handle closed meanwhile only fails the next
    // read (Windows ends the blocked read itself).
    const std::string body = Reply(VersionText(own_ + 1), std::string(kDownload) + "?" + std::string(30000, 'x'));
    struct Phase {
        const char* what;
        double delay;
        const char* clickWhen;
    };
    const Phase phases[] = {
        {"while the site thinks before it answers", 2.0, "asked"},
        {"while the answer arrives", 0.0, "sending"},
    };
    for (const Phase& phase : phases) {
        SiteAnswer answer;
        answer.body = body;
        answer.delay = phase.delay;
        answer.pace = 1.0;
        ASSERT_TRUE(Site().SetAnswer(answer)) << phase.what;
        shell_.boxes.clear();
        ClearBalloon();
        SlowCheck check;
        check.clickWhen = phase.clickWhen;
        check.toolbar = toolbar_->handle();
        slowCheck = &check;
        check.timer = SetTimer(nullptr, 0, 50, &WatchSlowCheck);

        Check();

        KillTimer(nullptr, check.timer);
        slowCheck = nullptr;
        ASSERT_TRUE(check.cancelled) << phase.what;
        EXPECT_EQ(L"获取版本信息...", check.stageShown) << phase.what;
        EXPECT_FALSE(check.leftByEnter) << phase.what;
        EXPECT_FALSE(check.leftBySecondRequest) << phase.what;
        EXPECT_FALSE(check.leftByCancel) << phase.what;
        EXPECT_TRUE(check.cancelGrayed) << phase.what;
        EXPECT_FALSE(IsWindow(check.dialog)) << phase.what;
        // A check the user cancelled says nothing more.
        EXPECT_TRUE(shell_.boxes.empty()) << phase.what;
        EXPECT_FALSE(BalloonSays(kNothingNewer)) << phase.what;
        EXPECT_TRUE(shell_.executed.empty()) << phase.what;
        // The site saw the program go before the answer's end.
        std::string state;
        testsupport::WaitFor([&] { return (state = Site().LastRequest()["state"]) == "cut"; }, 5000, nullptr);
        EXPECT_EQ("cut", state) << phase.what;
    }
}

}  // namespace
