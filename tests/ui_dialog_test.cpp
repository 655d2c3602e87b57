// Modal and modeless dialogs: end codes, the first end winning, WM_QUIT
// inside the modal loop, data exchange and its messages, and control
// notifications while data moves.
#include "tests/ui_test_ids.h"
#include "tests/ui_test_support.h"

#include "ui/controls.h"
#include "ui/data_exchange.h"
#include "ui/dialog.h"
#include "ui/resource_ids.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>
#include <string>

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_APP + 1;

// A dialog that runs a test's script from inside its own modal loop.
class ScriptedDialog : public ui::CDialog {
public:
    explicit ScriptedDialog(UINT id, HWND parent = nullptr) : CDialog(id, parent) {}

    std::function<void(ScriptedDialog&)> script;
    std::function<void(ScriptedDialog&)> onInit;  // inside OnInitDialog
    std::function<void()> onKillFocus;
    int killFocusCount = 0;
    int okCount = 0;

    // Exchanged fields.
    int number = 42;
    std::wstring text = L"起始";
    int checked = 1;
    int ranged = 50;
    int changeNotifications = 0;
    ui::CEdit textEdit;

    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit)
            onInit(*this);
        PostMessage(WM_RUN_SCRIPT);
        return true;
    }
    void OnOK() override
    {
        ++okCount;
        CDialog::OnOK();
    }
    void DoDataExchange(ui::DataExchange* dx) override
    {
        if (templateId() != IDD_TEST_EXCHANGE)
            return;
        ui::ExchangeText(dx, IDC_INT_EDIT, number);
        ui::ExchangeText(dx, IDC_TEXT_EDIT, text);
        ui::BindControl(dx, IDC_TEXT_EDIT, textEdit);
        ui::ExchangeCheck(dx, IDC_CHECK, checked);
        ui::ExchangeText(dx, IDC_RANGE_EDIT, ranged);
        ui::CheckIntRange(dx, ranged, 0, 100);
    }

protected:
    const ui::MessageMap* GetMessageMap() const override
    {
        static const ui::MessageMap map(CDialog::GetMessageMap(), {
            ui::OnMessage(WM_RUN_SCRIPT, &ScriptedDialog::OnRunScript),
            ui::OnMessage(WM_KILLFOCUS, &ScriptedDialog::OnKillFocus),
            ui::OnControl(EN_CHANGE, IDC_INT_EDIT, &ScriptedDialog::OnChange),
            ui::OnControl(EN_CHANGE, IDC_RANGE_EDIT, &ScriptedDialog::OnChange),
        });
        return &map;
    }
    LRESULT OnRunScript(WPARAM, LPARAM)
    {
        if (script)
            script(*this);
        return 0;
    }
    LRESULT OnKillFocus(WPARAM, LPARAM)
    {
        ++killFocusCount;
        const LRESULT result = CallDefault();
        if (onKillFocus)
            onKillFocus();
        return result;
    }
    void OnChange() { ++changeNotifications; }
};

std::wstring itemText(HWND dialog, int id) { return ui::WindowText(GetDlgItem(dialog, id)); }

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(uitest::takeQuit(), -1) << "a stray WM_QUIT"; }
    uitest::FakeShell shell;
};

TEST_F(DialogTest, ModalEndCodes)
{
    struct Case {
        const char* name;
        std::function<void(ScriptedDialog&)> script;
        INT_PTR expected;
    } cases[] = {
        {"OK button", [](ScriptedDialog& d) { d.SendMessage(WM_COMMAND, IDOK, 0); }, IDOK},
        {"Cancel button", [](ScriptedDialog& d) { d.SendMessage(WM_COMMAND, IDCANCEL, 0); }, IDCANCEL},
        {"close box", [](ScriptedDialog& d) { d.SendMessage(WM_CLOSE); }, IDCANCEL},
        {"own code", [](ScriptedDialog& d) { d.EndDialog(1234); }, 1234},
        {"Esc key", [](ScriptedDialog& d) { d.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        ScriptedDialog dialog(IDD_TEST_PLAIN);
        dialog.script = c.script;
        EXPECT_EQ(dialog.DoModal(), c.expected) << c.name;
        EXPECT_EQ(dialog.handle(), nullptr) << c.name << ": the window is gone";
    }
}

TEST_F(DialogTest, FirstEndWins)
{
    ScriptedDialog dialog(IDD_TEST_PLAIN);
    dialog.script = [](ScriptedDialog& d) {
        d.EndDialog(IDOK);
        d.EndDialog(IDCANCEL);
        d.SendMessage(WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST_F(DialogTest, EndingIsNotUndoneByTheFocusLossItCauses)
{
    ScriptedDialog dialog(IDD_TEST_PLAIN);
    dialog.onKillFocus = [&dialog] { dialog.EndDialog(IDCANCEL); };
    dialog.script = [](ScriptedDialog& d) {
        SetForegroundWindow(d.handle());
        SetFocus(d.handle());
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_GT(dialog.killFocusCount, 0) << "ending took the focus away";
}

TEST_F(DialogTest, FocusLossAloneEndsTheDialog)
{
    // The other half of the rule above: the handler does end a dialog that
    // nothing else ended.
    ScriptedDialog dialog(IDD_TEST_PLAIN);
    dialog.onKillFocus = [&dialog] { dialog.EndDialog(IDCANCEL); };
    dialog.script = [](ScriptedDialog& d) {
        SetFocus(d.handle());
        d.SendMessage(WM_KILLFOCUS, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, QuitInsideTheModalLoopIsPassedOn)
{
    ScriptedDialog dialog(IDD_TEST_PLAIN);
    HWND seen = nullptr;
    dialog.script = [&seen](ScriptedDialog& d) {
        seen = d.handle();
        PostQuitMessage(7);
    };
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(IsWindow(seen)) << "the dialog is destroyed";
    EXPECT_EQ(uitest::takeQuit(), 7) << "the outer loop gets the quit";
}

TEST_F(DialogTest, OwnerIsDisabledWhileModalAndEnabledAfter)
{
    ui::CWnd owner;
    const RECT rc = {0, 0, 200, 200};
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc, nullptr, 0));
    // Without a parent the application's main window owns the dialog.
    ui::CWinApp app;
    app.mainWindow = &owner;
    bool ownerEnabledInside = true;
    HWND ownerInside = nullptr;
    ScriptedDialog dialog(IDD_TEST_PLAIN);
    dialog.script = [&](ScriptedDialog& d) {
        ownerEnabledInside = IsWindowEnabled(owner.handle()) != FALSE;
        ownerInside = GetWindow(d.handle(), GW_OWNER);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    app.mainWindow = nullptr;
    EXPECT_EQ(ownerInside, owner.handle());
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

TEST_F(DialogTest, DialogsOpenCentredOverTheirOwnerUnlessTheyPlacedThemselves)
{
    ui::CWnd owner;
    const RECT ownerRect = {300, 200, 800, 600};
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, ownerRect, nullptr, 0));
    struct Case {
        const char* what;
        bool placesItself;
    } cases[] = {{"left where the template put it", false}, {"placed by its own initialisation", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDialog dialog(IDD_TEST_PLAIN, owner.handle());
        if (c.placesItself)
            dialog.onInit = [](ScriptedDialog& d) {
                SetWindowPos(d.handle(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            };
        RECT inside = {};
        dialog.script = [&](ScriptedDialog& d) {
            inside = d.GetWindowRect();
            d.EndDialog(IDOK);
        };
        EXPECT_EQ(dialog.DoModal(), IDOK);
        if (c.placesItself) {
            EXPECT_EQ(inside.left, 20);
            EXPECT_EQ(inside.top, 30);
        } else {
            const RECT owned = owner.GetWindowRect();
            EXPECT_NEAR((inside.left + inside.right) / 2, (owned.left + owned.right) / 2, 1);
            EXPECT_NEAR((inside.top + inside.bottom) / 2, (owned.top + owned.bottom) / 2, 1);
        }
    }
}

TEST_F(DialogTest, InnerDialogLeavesTheOwnerOfTheOuterDisabled)
{
    // Both dialogs name the same owner: the inner one finds it disabled
    // already, so its end must not enable it while the outer one still runs.
    ui::CWnd owner;
    const RECT rc = {0, 0, 200, 200};
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc, nullptr, 0));
    INT_PTR innerResult = 0;
    bool ownerEnabledAfterInner = true;
    ScriptedDialog outer(IDD_TEST_PLAIN, owner.handle());
    outer.script = [&](ScriptedDialog& d) {
        ScriptedDialog inner(IDD_TEST_PLAIN, owner.handle());
        inner.script = [](ScriptedDialog& i) { i.EndDialog(IDOK); };
        innerResult = inner.DoModal();
        ownerEnabledAfterInner = IsWindowEnabled(owner.handle()) != FALSE;
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_FALSE(ownerEnabledAfterInner) << "the outer dialog is still modal";
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

TEST_F(DialogTest, ADialogOverASmallOwnerInACornerStaysOnTheScreen)
{
    // Centred over the owner, these would hang off the screen with their
    // captions out of reach.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT owners[] = {{work.left, work.top, work.left + 60, work.top + 40},
                           {work.right - 60, work.bottom - 40, work.right, work.bottom}};
    for (const RECT& place : owners) {
        ui::CWnd owner;
        ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_POPUP | WS_VISIBLE, place, nullptr, 0));
        ScriptedDialog dialog(IDD_TEST_PLAIN, owner.handle());
        RECT shown = {};
        dialog.script = [&](ScriptedDialog& d) {
            shown = d.GetWindowRect();
            d.EndDialog(IDOK);
        };
        EXPECT_EQ(dialog.DoModal(), IDOK);
        RECT inside = {};
        IntersectRect(&inside, &shown, &work);
        EXPECT_TRUE(EqualRect(&inside, &shown)) << "off the screen at " << shown.left << ", " << shown.top;
    }
}

TEST_F(DialogTest, DialogOpenedFromAModalDialogIsOwnedByIt)
{
    // Without a parent the owner is the main window's modal dialog, if one
    // runs: owned by the disabled main window instead, the inner dialog
    // could fall behind the outer one, and its end would leave the
    // activation to no window of the program.
    ui::CWnd mainWindow;
    const RECT rc = {0, 0, 200, 200};
    ASSERT_TRUE(mainWindow.CreateEx(0, nullptr, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc, nullptr, 0));
    ui::CWinApp app;
    app.mainWindow = &mainWindow;
    HWND outerHandle = nullptr;
    HWND innerOwner = nullptr;
    bool outerEnabledInside = true;
    bool mainEnabledAfterInner = true;
    ScriptedDialog outer(IDD_TEST_PLAIN);
    outer.script = [&](ScriptedDialog& d) {
        outerHandle = d.handle();
        SetActiveWindow(d.handle());
        ScriptedDialog inner(IDD_TEST_PLAIN);
        inner.script = [&](ScriptedDialog& i) {
            innerOwner = GetWindow(i.handle(), GW_OWNER);
            outerEnabledInside = IsWindowEnabled(outerHandle) != FALSE;
            i.EndDialog(IDOK);
        };
        inner.DoModal();
        mainEnabledAfterInner = IsWindowEnabled(mainWindow.handle()) != FALSE;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    app.mainWindow = nullptr;
    EXPECT_EQ(innerOwner, outerHandle);
    EXPECT_FALSE(outerEnabledInside);
    EXPECT_FALSE(mainEnabledAfterInner);
    EXPECT_TRUE(IsWindowEnabled(mainWindow.handle()));
}

TEST_F(DialogTest, DesktopParentLeavesTheMainWindowEnabled)
{
    // Dialogs of a program whose main window must keep working while they
    // are open (hot keys, drops) are parented to the desktop.
    ui::CWnd mainWindow;
    const RECT rc = {0, 0, 200, 200};
    ASSERT_TRUE(mainWindow.CreateEx(0, nullptr, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc, nullptr, 0));
    ui::CWinApp app;
    app.mainWindow = &mainWindow;
    bool mainEnabledInside = false;
    HWND ownerInside = reinterpret_cast<HWND>(1);
    ScriptedDialog onDesktop(IDD_TEST_PLAIN, GetDesktopWindow());
    onDesktop.script = [&](ScriptedDialog& d) {
        mainEnabledInside = IsWindowEnabled(mainWindow.handle()) != FALSE;
        ownerInside = GetWindow(d.handle(), GW_OWNER);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(onDesktop.DoModal(), IDOK);
    app.mainWindow = nullptr;
    EXPECT_TRUE(mainEnabledInside);
    EXPECT_EQ(ownerInside, nullptr);
}

TEST_F(DialogTest, EnterInAnEditPressesTheDefaultButton)
{
    ScriptedDialog dialog(IDD_TEST_EXCHANGE);
    dialog.script = [](ScriptedDialog& d) {
        HWND edit = d.GetDlgItem(IDC_INT_EDIT);
        SetFocus(edit);
        SetWindowTextW(edit, L"8");
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.okCount, 1);
    EXPECT_EQ(dialog.number, 8);
}

// A dialog that sees, before dispatch, the messages of its controls (as a
// tool tip relay needs).
class WatchingDialog : public ScriptedDialog {
public:
    WatchingDialog() : ScriptedDialog(IDD_TEST_EXCHANGE) {}
    std::vector<HWND> seen;
    bool PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_MOUSEMOVE)
            seen.push_back(msg->hwnd);
        return ScriptedDialog::PreTranslateMessage(msg);
    }
};

TEST_F(DialogTest, MessagesOfControlsPassTheirDialogFirst)
{
    WatchingDialog dialog;
    HWND edit = nullptr;
    dialog.script = [&](ScriptedDialog& d) {
        edit = d.GetDlgItem(IDC_TEXT_EDIT);
        PostMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        d.PostMessage(WM_COMMAND, IDCANCEL, 0);
    };
    dialog.DoModal();
    ASSERT_NE(edit, nullptr);
    EXPECT_NE(std::find(dialog.seen.begin(), dialog.seen.end(), edit), dialog.seen.end());
}

TEST_F(DialogTest, InitialisationShowsTheFieldsAndOkTakesThemBack)
{
    ScriptedDialog dialog(IDD_TEST_EXCHANGE);
    std::wstring shownNumber, shownText;
    UINT shownCheck = 0;
    bool boundInside = false;
    dialog.script = [&](ScriptedDialog& d) {
        boundInside = d.textEdit.handle() == d.GetDlgItem(IDC_TEXT_EDIT);
        shownNumber = itemText(d.handle(), IDC_INT_EDIT);
        shownText = itemText(d.handle(), IDC_TEXT_EDIT);
        shownCheck = IsDlgButtonChecked(d.handle(), IDC_CHECK);
        SetDlgItemTextW(d.handle(), IDC_INT_EDIT, L" -17 ");
        SetDlgItemTextW(d.handle(), IDC_TEXT_EDIT, L"新的描述");
        CheckDlgButton(d.handle(), IDC_CHECK, BST_UNCHECKED);
        SetDlgItemTextW(d.handle(), IDC_RANGE_EDIT, L"100");
        d.SendMessage(WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shownNumber, L"42");
    EXPECT_EQ(shownText, L"起始");
    EXPECT_EQ(shownCheck, UINT(BST_CHECKED));
    EXPECT_EQ(dialog.number, -17);
    EXPECT_EQ(dialog.text, L"新的描述");
    EXPECT_EQ(dialog.checked, 0);
    EXPECT_EQ(dialog.ranged, 100);
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_TRUE(boundInside) << "bound while the dialog lived";
    EXPECT_EQ(dialog.textEdit.handle(), nullptr) << "and released with it";
}

TEST_F(DialogTest, TextThatIsNoIntegerKeepsTheDialogOpen)
{
    const std::wstring message = ui::LoadResString(IDS_PARSE_INT);
    ASSERT_EQ(message, L"请输入一个整数。");
    for (const wchar_t* bad : {L"", L"abc", L"12x", L"99999999999", L"- 3"}) {
        shell.boxes.clear();
        ScriptedDialog dialog(IDD_TEST_EXCHANGE);
        bool stayedOpen = false;
        HWND focusAfter = nullptr, intEdit = nullptr;
        dialog.script = [&](ScriptedDialog& d) {
            intEdit = d.GetDlgItem(IDC_INT_EDIT);
            SetDlgItemTextW(d.handle(), IDC_INT_EDIT, bad);
            SetDlgItemTextW(d.handle(), IDC_TEXT_EDIT, L"不会被取走");
            d.SendMessage(WM_COMMAND, IDOK, 0);
            stayedOpen = !d.IsEnded();
            focusAfter = GetFocus();
            d.SendMessage(WM_COMMAND, IDCANCEL, 0);
        };
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "text '" << testing::PrintToString(std::wstring(bad)) << "'";
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(dialog.number, 42) << "the field keeps its value";
        EXPECT_EQ(dialog.text, L"起始") << "nothing after the failure is taken";
        ASSERT_EQ(shell.boxes.size(), 1u);
        EXPECT_EQ(shell.boxes[0].text, message);
        EXPECT_EQ(shell.boxes[0].type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
        EXPECT_EQ(focusAfter, intEdit) << "the focus goes to the faulty control";
    }
}

TEST_F(DialogTest, RangeFailureStoresTheValueAndNamesTheBounds)
{
    struct Case {
        const wchar_t* typed;
        int stored;
        bool fails;
    } cases[] = {{L"101", 101, true}, {L"-1", -1, true}, {L"0", 0, false}, {L"100", 100, false}};
    for (const Case& c : cases) {
        shell.boxes.clear();
        ScriptedDialog dialog(IDD_TEST_EXCHANGE);
        bool ok = false;
        dialog.script = [&](ScriptedDialog& d) {
            SetDlgItemTextW(d.handle(), IDC_RANGE_EDIT, c.typed);
            ok = d.UpdateData(true);
            d.EndDialog(IDCANCEL);
        };
        dialog.DoModal();
        EXPECT_EQ(dialog.ranged, c.stored) << c.typed;
        EXPECT_EQ(ok, !c.fails) << c.typed;
        if (c.fails) {
            ASSERT_EQ(shell.boxes.size(), 1u) << c.typed;
            EXPECT_EQ(shell.boxes[0].text, L"请输入一个在 0 和 100 之间的整数。");
        } else {
            EXPECT_TRUE(shell.boxes.empty()) << c.typed;
        }
    }
}

TEST_F(DialogTest, NotificationsAreIgnoredWhileDataMoves)
{
    ScriptedDialog dialog(IDD_TEST_EXCHANGE);
    int duringInit = -1, duringLoad = -1, byHand = -1;
    dialog.script = [&](ScriptedDialog& d) {
        duringInit = d.changeNotifications;
        d.number = 5;
        d.UpdateData(false);  // sets both edits: EN_CHANGE each
        duringLoad = d.changeNotifications;
        SetDlgItemTextW(d.handle(), IDC_INT_EDIT, L"6");
        byHand = d.changeNotifications;
        d.EndDialog(IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(duringInit, 0);
    EXPECT_EQ(duringLoad, 0);
    EXPECT_EQ(byHand, 1);
}

TEST_F(DialogTest, ModelessDialogLivesUntilDestroyed)
{
    ScriptedDialog dialog(IDD_TEST_PLAIN);
    ASSERT_TRUE(dialog.Create(nullptr));
    ASSERT_NE(dialog.handle(), nullptr);
    EXPECT_EQ(ui::CWnd::ObjectOf(dialog.handle()), &dialog);
    dialog.EndDialog(IDOK);  // a modeless dialog only hides
    EXPECT_TRUE(IsWindow(dialog.handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.handle()));
    HWND hwnd = dialog.handle();
    dialog.DestroyWindow();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(dialog.handle(), nullptr);
    uitest::pump();
}

TEST_F(DialogTest, MissingTemplateGivesMinusOne)
{
    ScriptedDialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(UiDataExchange, IntegerParsing)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        int value;
    } cases[] = {
        {L"0", true, 0},
        {L"  12  ", true, 12},
        {L"+7", true, 7},
        {L"-2147483648", true, -2147483647 - 1},
        {L"2147483647", true, 2147483647},
        {L"2147483648", false, 0},
        {L"-2147483649", false, 0},
        {L"99999999999999999999", false, 0},
        {L"", false, 0},
        {L" ", false, 0},
        {L"-", false, 0},
        {L"1 2", false, 0},
        {L"0x10", false, 0},
        {L"１２", false, 0},  // full-width digits are not digits here
    };
    for (const Case& c : cases) {
        int value = -99;
        EXPECT_EQ(ui::ParseInt(c.text, value), c.ok) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(value, c.ok ? c.value : -99) << testing::PrintToString(std::wstring(c.text));
    }
}

}  // namespace
