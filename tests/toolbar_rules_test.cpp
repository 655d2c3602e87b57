// The toolbar window's and the capture's window-free rules.
#include "toolbar/core/capture_rules.h"
#include "toolbar/core/toolbar_rules.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <set>
#include <string>

namespace {

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

TEST(HotKeyTest, StoredFormRoundTripsAndRegistersWithTheSystemsModifierFlags)
{
    struct Case {
        const char* what;
        WORD virtualKey;
        WORD modifiers;  // HOTKEYF_
        DWORD stored;
        UINT registered;  // MOD_
    };
    const Case cases[] = {
        {"Ctrl+F2, the default", VK_F2, HOTKEYF_CONTROL, 0x00020071, MOD_CONTROL},
        {"Shift+F9 registers Shift, not Alt", VK_F9, HOTKEYF_SHIFT, 0x00010078, MOD_SHIFT},
        {"Alt+F9 registers Alt, not Shift", VK_F9, HOTKEYF_ALT, 0x00040078, MOD_ALT},
        {"all three", 'Q', HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT, 0x00070051,
         MOD_SHIFT | MOD_CONTROL | MOD_ALT},
        {"an extended key's flag is not passed", VK_INSERT, HOTKEYF_CONTROL | HOTKEYF_EXT, 0x000A002D, MOD_CONTROL},
        {"no modifier", VK_SNAPSHOT, 0, 0x0000002C, 0},
        {"no hot key", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.stored, PackHotKey(c.virtualKey, c.modifiers)) << c.what;
        EXPECT_EQ(c.virtualKey, HotKeyVirtualKey(c.stored)) << c.what;
        EXPECT_EQ(c.modifiers, HotKeyModifiers(c.stored)) << c.what;
        EXPECT_EQ(c.registered, RegistrationModifiers(HotKeyModifiers(c.stored))) << c.what;
    }
}

TEST(ClampToWorkAreaTest, MovesIntoTheAreaGrownByFourPixels)
{
    const RECT area = {0, 0, 1280, 1024};
    const SIZE bar = {85, 50};
    struct Case {
        const char* what;
        POINT wanted;
        SIZE size;
        RECT out;
    };
    const Case cases[] = {
        {"inside: unchanged", {100, 100}, bar, {100, 100, 185, 150}},
        {"four pixels beyond each edge is allowed", {-4, -4}, bar, {-4, -4, 81, 46}},
        {"past the left and top", {-50, -30}, bar, {-4, -4, 81, 46}},
        {"the first start (10000, 10000): bottom-right, 4 pixels out", {10000, 10000}, bar, {1199, 978, 1284, 1028}},
        {"past the right only", {1250, 500}, bar, {1199, 500, 1284, 550}},
        {"larger than the area: flush with the right and bottom edges", {-100, -100}, {1600, 1300},
         {-316, -272, 1284, 1028}},
        {"far negative", {-2000000, -2000000}, bar, {-4, -4, 81, 46}},
        {"a damaged stored place at the integer limit", {2147483600, 2147483600}, bar, {1199, 978, 1284, 1028}},
    };
    for (const Case& c : cases) {
        const RECT got = ClampToWorkArea(c.wanted, c.size, area);
        EXPECT_EQ(Text(c.out), Text(got)) << c.what;
    }
    // A work area that does not start at the screen's origin (a task bar on
    // the left or top).
    const RECT shifted = {60, 40, 1280, 1024};
    EXPECT_EQ(Text({56, 36, 141, 86}), Text(ClampToWorkArea({0, 0}, bar, shifted)));
}

TEST(ContextMenuAnchorTest, OpensOnTheSideWithMoreRoomAndNeverOverTheToolbar)
{
    const RECT area = {0, 0, 1280, 1024};
    struct Case {
        const char* what;
        RECT toolbar;
        MenuAnchor anchor;
    };
    const Case cases[] = {
        {"bottom-right corner: above", {1199, 978, 1284, 1028}, {1199, 978, TPM_LEFTALIGN | TPM_BOTTOMALIGN}},
        {"near the top: below", {300, 20, 385, 70}, {300, 70, TPM_LEFTALIGN | TPM_TOPALIGN}},
        {"exactly centred: above", {600, 487, 685, 537}, {600, 487, TPM_LEFTALIGN | TPM_BOTTOMALIGN}},
        {"past the top edge: below", {10, -4, 95, 46}, {10, 46, TPM_LEFTALIGN | TPM_TOPALIGN}},
    };
    for (const Case& c : cases) {
        const MenuAnchor got = ContextMenuAnchor(c.toolbar, area);
        EXPECT_EQ(c.anchor.x, got.x) << c.what;
        EXPECT_EQ(c.anchor.y, got.y) << c.what;
        EXPECT_EQ(c.anchor.flags, got.flags) << c.what;
        // Whichever way it opens, the menu's edge at y lies on the toolbar's
        // edge and the menu extends away from the toolbar.
        const bool below = (got.flags & TPM_BOTTOMALIGN) == 0;
        EXPECT_EQ(below ? c.toolbar.bottom : c.toolbar.top, got.y) << c.what;
    }
}

TEST(ShouldRaiseToolbarTest, OvertakesOtherProgramsButNotAFullScreenOne)
{
    const int w = 1280, h = 1024;
    const WindowAbove dialog = {true, false, {100, 100, 400, 300}};
    const WindowAbove editor = {true, true, {50, 50, 900, 700}};
    const WindowAbove hidden = {false, true, {0, 0, 10, 10}};
    const WindowAbove film = {true, true, {0, 0, w, h}};
    const WindowAbove hiddenFilm = {false, true, {0, 0, w, h}};
    const WindowAbove almostFull = {true, true, {0, 0, w, h - 1}};
    struct Case {
        const char* what;
        std::vector<WindowAbove> above;
        bool raise;
    };
    const Case cases[] = {
        {"nothing above", {}, false},
        {"only the toolbar's own dialogs", {dialog, dialog}, false},
        {"only hidden windows", {hidden}, false},
        {"another program's window", {editor}, true},
        {"the editor above its own dialog", {dialog, editor}, true},
        {"a full-screen window first: left alone", {film, editor}, false},
        {"a window before the full-screen one still counts as met, but the film stops the walk",
         {editor, film}, false},
        {"a hidden full-screen window does not count", {hiddenFilm, editor}, true},
        {"one pixel short of the screen is no full-screen window", {almostFull}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.raise, ShouldRaiseToolbar(c.above, w, h)) << c.what;
}

TEST(SelectionTest, NormalisesEitherDragAndKeepsOnlyWhatTheScreenHolds)
{
    struct Case {
        const char* what;
        POINT a, b;
        RECT selection;
        RECT onScreen;  // on a 1280 x 1024 screen
    };
    const Case cases[] = {
        {"top-left to bottom-right", {10, 20}, {110, 70}, {10, 20, 110, 70}, {10, 20, 110, 70}},
        {"bottom-right to top-left: the same", {110, 70}, {10, 20}, {10, 20, 110, 70}, {10, 20, 110, 70}},
        {"bottom-left to top-right", {10, 70}, {110, 20}, {10, 20, 110, 70}, {10, 20, 110, 70}},
        {"one pixel each way", {5, 5}, {6, 6}, {5, 5, 6, 6}, {5, 5, 6, 6}},
        {"a click: empty", {5, 5}, {5, 5}, {5, 5, 5, 5}, {0, 0, 0, 0}},
        {"a line: empty", {5, 5}, {50, 5}, {5, 5, 50, 5}, {0, 0, 0, 0}},
        {"past the top-left corner: cut", {-40, -30}, {100, 100}, {-40, -30, 100, 100}, {0, 0, 100, 100}},
        {"past the bottom-right corner: cut", {1200, 1000}, {1500, 1300}, {1200, 1000, 1500, 1300},
         {1200, 1000, 1280, 1024}},
        {"wholly left of the screen: empty", {-300, 10}, {-100, 200}, {-300, 10, -100, 200}, {0, 0, 0, 0}},
        {"wholly below the screen: empty", {10, 1100}, {200, 1300}, {10, 1100, 200, 1300}, {0, 0, 0, 0}},
        {"touching the right edge from outside: empty", {1280, 10}, {1400, 200}, {1280, 10, 1400, 200},
         {0, 0, 0, 0}},
        {"the whole screen and more", {-5, -5}, {2000, 2000}, {-5, -5, 2000, 2000}, {0, 0, 1280, 1024}},
    };
    for (const Case& c : cases) {
        const RECT selection = NormalizedSelection(c.a, c.b);
        EXPECT_EQ(Text(c.selection), Text(selection)) << c.what;
        const RECT onScreen = ClampSelectionToScreen(selection, 1280, 1024);
        EXPECT_EQ(Text(c.onScreen), Text(onScreen)) << c.what;
        EXPECT_EQ(c.onScreen.right == 0, IsEmptySelection(onScreen)) << c.what;
    }
}

TEST(EditorLaunchTest, TheEditorIsTheProgramBesideTheToolbar)
{
    EXPECT_STREQ("C:\\Program Files\\Norpa\\vomla.exe",
                 EditorProgramPath("C:\\Program Files\\Norpa\\norpa.exe").c_str());
}

TEST(CaptureNameTest, TakesTheFirstFreeNumberOfTheDayWithoutLimit)
{
    struct Case {
        const char* what;
        std::set<std::string> taken;
        const char* name;
    };
    std::set<std::string> first999;
    for (int n = 1; n <= 999; ++n)
        first999.insert(kesh::String::format("cap261208-%03d.png", n).c_str());
    std::set<std::string> first1000 = first999;
    first1000.insert("cap261208-1000.png");
    const Case cases[] = {
        {"an empty folder", {}, "cap261208-001.png"},
        {"after 001 and 002", {"cap261208-001.png", "cap261208-002.png"}, "cap261208-003.png"},
        {"a gap is filled", {"cap261208-002.png"}, "cap261208-001.png"},
        {"another day's files do not count", {"cap261207-001.png"}, "cap261208-001.png"},
        {"a name without the extension is no capture", {"cap261208-001"}, "cap261208-001.png"},
        {"after 999 comes 1000", first999, "cap261208-1000.png"},
        {"then 1001", first1000, "cap261208-1001.png"},
    };
    // 8 December 2026, noon in the local zone.
    const kesh::Time day(1796731200 - kesh::timeZoneBias() * 60);
    for (const Case& c : cases) {
        const kesh::String name =
            NextCaptureFileName(day, [&c](const kesh::String& n) { return c.taken.count(n.c_str()) > 0; });
        EXPECT_STREQ(c.name, name.c_str()) << c.what;
    }
}

}  // namespace
