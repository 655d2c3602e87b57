// The version check of norpa.exe itself, started as its own process beside
// the stand-in web site: it finds the site through the proxy setting it
// inherits, and its real message boxes and balloon are read off the screen.
#include "common/runner_protocol.h"
#include "common/version_info.h"
#include "common/worker_exit.h"
#include "common_ui/runner_dialog.h"
#include "tests/editor_app_support.h"
#include "tests/fake_web_site.h"
#include "tests/toolbar_program_support.h"
#include "toolbar/core/version_rules.h"
#include "toolbar/resource.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <string>

using namespace toolbartest;

namespace {

using versiontest::Site;
using versiontest::SiteAnswer;


// The text of a message box (its static text control).
std::wstring BoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

// Whether a tooltip window of process holds text: the balloon was shown
// with it, even when another test's window has taken the activation since
// and so hidden it again.
bool BalloonGot(DWORD process, const wchar_t* text)
{
    struct Search {
        DWORD process;
        const wchar_t* text;
        bool found;
    } search = {process, text, false};
    EnumWindows(
        [](HWND hwnd, LPARAM l) -> BOOL {
            Search* s = reinterpret_cast<Search*>(l);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            if (owner == s->process && std::wstring(name) == L"tooltips_class32" &&
                WindowText(hwnd).find(s->text) != std::wstring::npos)
                s->found = true;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The system's text for a WinINet error, as this process finds it.
std::wstring WinInetText(DWORD error)
{
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   GetModuleHandleW(L"wininet.dll"), error, 0, text, 512, nullptr);
    return text;
}

class VersionProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Site().available()) << "run through tests/with_upload_server.sh";
        ASSERT_FALSE(ToolbarRunning()) << "another norpa.exe runs on this desktop";
    }

    // Runs the toolbar's version-check command, as its menu does.
    static void Check(HWND toolbar) { PostMessageW(toolbar, WM_COMMAND, ID_CHECK_VERSION, 0); }
    static bool CheckDialogGone(const Toolbar& program)
    {
        return WaitFor([&] { return FindWindowOf(program.id(), L"#32770", L"Norpa 检查新版本") == nullptr; }, 5000);
    }

    SettingsKeyGuard settings_;
    StartupShortcutGuard shortcut_;
};

TEST_F(VersionProgramTest, TellsWhetherTheSiteHasANewerVersion)
{
    VS_FIXEDFILEINFO info = {};
    ASSERT_TRUE(ReadFileVersion(editorapptest::BesideTestProgram("norpa.exe"), info));
    const uint64_t own = PackedProductVersion(info);
    const auto reply = [](uint64_t v) {
        char version[64];
        snprintf(version, sizeof(version), "%u.%u.%u.%u", unsigned(v >> 48), unsigned(v >> 32 & 0xFFFF),
                 unsigned(v >> 16 & 0xFFFF), unsigned(v & 0xFFFF));
        return std::string("<norpa><current version=\"") + version +
               "\">http://www.norpasoft.com/download/norpa-setup.exe</current></norpa>";
    };
    Toolbar program;
    HWND toolbar = program.WaitForWindow();
    ASSERT_NE(nullptr, toolbar);

    EXPECT_FALSE(BalloonGot(program.id(), L"没有发现新版本"));
    SiteAnswer equal;
    equal.body = reply(own);
    ASSERT_TRUE(Site().SetAnswer(equal));
    Check(toolbar);
    EXPECT_TRUE(WaitFor([&] { return BalloonGot(program.id(), L"没有发现新版本"); }, 10000));
    EXPECT_TRUE(CheckDialogGone(program));
    auto request = Site().LastRequest();
    EXPECT_EQ("www.norpasoft.com", request["host"]);
    EXPECT_EQ("/norpa.xml", request["path"]);
    EXPECT_EQ("Norpa", request["agent"]);
    EXPECT_EQ(GetAcceptLanguage().c_str(), request["language"]);

    SiteAnswer newer;
    newer.body = reply(own + 1);
    ASSERT_TRUE(Site().SetAnswer(newer));
    Check(toolbar);
    HWND question = nullptr;
    WaitFor([&] { return (question = FindDialogWithText(program.id(), L"发现有新版本可用.")) != nullptr; }, 10000);
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(L"发现有新版本可用.\n是否马上下载?", BoxText(question));
    EXPECT_EQ(L"Norpa", WindowText(question));
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }, 5000));
    EXPECT_TRUE(CheckDialogGone(program));
    EXPECT_TRUE(program.Exit(toolbar));
}

TEST_F(VersionProgramTest, ARefusedConnectionEndsInAnErrorBoxWithTheSystemsText)
{
    // This program start alone is sent to a closed port as its proxy.
    const std::wstring closed = Site().ClosedProxy();
    ASSERT_FALSE(closed.empty());
    SetEnvironmentVariableW(L"http_proxy", closed.c_str());
    Toolbar program;
    SetEnvironmentVariableW(L"http_proxy", Site().proxy().c_str());
    HWND toolbar = program.WaitForWindow();
    ASSERT_NE(nullptr, toolbar) << "the toolbar " << (program.Running() ? "runs" : "has ended")
                                << (FindDialogWithText(program.id(), L"热键注册失败!") ? ", its hot key refused" : "");

    Check(toolbar);
    HWND box = nullptr;
    WaitFor([&] { return (box = FindDialogWithText(program.id(), L"传输中断: ")) != nullptr; }, 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"传输中断: " + WinInetText(ERROR_INTERNET_CANNOT_CONNECT), BoxText(box));
    EXPECT_EQ(L"Norpa", WindowText(box));
    // The check dialog waits under its error box.
    EXPECT_NE(nullptr, FindWindowOf(program.id(), L"#32770", L"Norpa 检查新版本"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(CheckDialogGone(program));
    EXPECT_FALSE(BalloonGot(program.id(), L"没有发现新版本"));
    EXPECT_TRUE(program.Exit(toolbar));
}

}  // namespace

namespace {

// Whether the toolbar's window thread answers a message within a second.
bool Answers(HWND toolbar)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(toolbar, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0;
}

TEST_F(VersionProgramTest, CancelAndExitEndWithinTheirBoundsWhateverTheSiteKeepsTheToolbarWaitingFor)
{
    // Beyond the program's bounds Wine's blocked call, the process's start
    // and end, on a machine shared with other work.
    const DWORD kSlack = 4000;
    // An answer without end, then the site's waits for good: a TLS hello
    // never answered, a status line and one header, headers without end,
    // headers one byte a second.
    for (const std::string stall : {"", "tls", "one_header", "endless_headers", "slow_headers"}) {
        SiteAnswer answer;
        answer.body = "<norpa><current version=\"1.0.0.0\">" + std::string(4096, ' ');
        answer.endless = stall.empty();
        answer.stall = stall;
        const auto waiting = [&] {
            auto facts = Site().LastRequest();
            const bool hello = stall != "tls" || facts["hellos"] == "1";
            return hello && facts["state"] == (stall.empty() ? "sending" : "stalled");
        };
        ASSERT_TRUE(Site().SetAnswer(answer)) << stall;
        Toolbar program;
        HWND toolbar = program.WaitForWindow();
        ASSERT_NE(nullptr, toolbar) << stall;

        Check(toolbar);
        HWND dialog = WaitForWindowOf(program.id(), L"#32770", L"Norpa 检查新版本", 10000);
        ASSERT_NE(nullptr, dialog) << stall;
        ASSERT_TRUE(WaitFor(waiting, 10000)) << stall;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        bool answered = true;
        EXPECT_TRUE(WaitFor([&] { return !(answered = answered && Answers(toolbar)) || !IsWindow(dialog); },
                            CRunnerDialog::kCancelWait + kSlack))
            << stall;
        EXPECT_TRUE(answered) << stall << ": the window thread stopped answering";
        EXPECT_FALSE(IsWindow(dialog)) << stall << ": the dialog stayed after Cancel";
        EXPECT_TRUE(Answers(toolbar)) << stall;

        ASSERT_TRUE(Site().SetAnswer(answer)) << stall;
        Check(toolbar);
        ASSERT_TRUE(WaitFor(waiting, 10000)) << stall;
        EXPECT_TRUE(program.Exit(toolbar, kWorkerExitWait + kSlack)) << stall << ": the toolbar outlived its exit";
    }
}

}  // namespace
