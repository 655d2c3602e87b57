// norpa.exe itself under the test's display: one toolbar per logon, its
// pixels on the screen, dragging, the settings it keeps and its shortcut in
// the Startup folder.
#include "tests/toolbar_program_support.h"

#include "common/image_codecs.h"
#include "toolbar/app/toolbar_face.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace toolbartest;

namespace {

// Each case starts with no toolbar running: one left over from elsewhere
// would take every start of the case for a second one.
class ToolbarProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(ToolbarRunning()) << "another norpa.exe runs on this desktop"; }
};

// The colour of 0x00RRGGBB's channel shift.
int Channel(DWORD colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

TEST_F(ToolbarProgramTest, ASecondStartWakesTheFirstAndEnds)
{
    SettingsKeyGuard settings;
    StartupShortcutGuard shortcut;
    Toolbar first;
    ASSERT_TRUE(first.started());
    HWND toolbar = first.WaitForWindow();
    ASSERT_NE(nullptr, toolbar);
    EXPECT_EQ(nullptr, FindWindowOf(first.id(), L"tooltips_class32", L"Norpa工具条已启动"));

    Toolbar second;
    ASSERT_TRUE(second.started());
    EXPECT_EQ(0, second.WaitForExit(15000));
    // The first one answers with its balloon.
    HWND balloon = WaitForWindowOf(first.id(), L"tooltips_class32", L"Norpa工具条已启动", 5000);
    EXPECT_NE(nullptr, balloon);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.Exit(toolbar));
}

TEST_F(ToolbarProgramTest, ShowsItsImagesWithTheirAlphaOverWhatLiesBelow)
{
    SettingsKeyGuard settings;
    StartupShortcutGuard shortcut;
    settings.WriteText(L"xPos", L"300");
    settings.WriteText(L"yPos", L"200");
    // Colours that change along both axes, so that a shifted or mirrored
    // picture shows.
    Backdrop backdrop([](int x, int y) { return static_cast<DWORD>(((x * 3) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x60); });
    Toolbar program;
    HWND toolbar = program.WaitForWindow();
    ASSERT_NE(nullptr, toolbar);

    GdiplusSession gdiplus;
    ToolbarImages images;
    ASSERT_TRUE(images.Load());
    void* bits = nullptr;
    const kesh::win::Bitmap face = ComposeToolbarFace(images, ToolbarLayoutFor(images.Size(), USER_DEFAULT_SCREEN_DPI),
                                                      CODButton::Normal, CODButton::Normal, &bits);
    ASSERT_TRUE(face.isValid());
    const SIZE size = images.Size();

    RECT rect = {};
    GetWindowRect(toolbar, &rect);
    EXPECT_EQ(300, rect.left);
    EXPECT_EQ(200, rect.top);
    EXPECT_EQ(size.cx, rect.right - rect.left);
    EXPECT_EQ(size.cy, rect.bottom - rect.top);

    int opaque = 0, clear = 0, blended = 0;
    // The pixels that the screen shows wrong (the first few reported when
    // report is set), the kinds of pixel counted.
    const auto wrongPixels = [&](bool report) {
        const std::vector<DWORD> screen = ScreenPixels(rect);
        opaque = clear = blended = 0;
        int wrong = 0;
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                const DWORD premultiplied = static_cast<const DWORD*>(bits)[y * size.cx + x];
                const int alpha = static_cast<int>(premultiplied >> 24);
                const DWORD below = backdrop.At(rect.left + x, rect.top + y);
                const DWORD shown = screen[static_cast<size_t>(y) * size.cx + x];
                // Windows lays the premultiplied colour over what lies below.
                // Wine on an X server without a compositor shows it over black
                // (only fully clear pixels let the backdrop through); either
                // way, straight alpha where premultiplied is due would show.
                bool overBackdrop = true, overBlack = true;
                for (int shift : {0, 8, 16}) {
                    const int colour = Channel(premultiplied, shift);
                    const int blend = colour + Channel(below, shift) * (255 - alpha) / 255;
                    overBackdrop = overBackdrop && std::abs(blend - Channel(shown, shift)) <= 2;
                    overBlack = overBlack && std::abs(colour - Channel(shown, shift)) <= 2;
                }
                const bool ok = overBackdrop || (overBlack && alpha > 0);
                if (!ok && ++wrong <= 5 && report)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") alpha " << alpha << " shows " << std::hex
                                  << shown << " over " << below << ", face " << premultiplied;
                (alpha == 255 ? opaque : alpha == 0 ? clear : blended) += 1;
            }
        }
        return wrong;
    };
    // Judged once the toolbar is on the screen.
    WaitFor([&] { return wrongPixels(false) == 0; }, 5000);
    EXPECT_EQ(0, wrongPixels(true));
    // The picture has all three kinds of pixel: the test saw each.
    EXPECT_GT(opaque, 2000);
    EXPECT_GT(clear, 0);
    EXPECT_GT(blended, 100);
    EXPECT_TRUE(program.Exit(toolbar));
}

TEST_F(ToolbarProgramTest, DraggedByItsGripItMovesAndComesBackThereAfterARestart)
{
    SettingsKeyGuard settings;
    StartupShortcutGuard shortcut;
    settings.WriteText(L"xPos", L"400");
    settings.WriteText(L"yPos", L"300");
    RECT before = {}, after = {};
    {
        Toolbar program;
        HWND toolbar = program.WaitForWindow();
        ASSERT_NE(nullptr, toolbar);
        GetWindowRect(toolbar, &before);
        ASSERT_EQ(400, before.left);
        // A press on the capture button is no drag.
        const POINT button = {before.left + 45, before.top + 25};
        Drag(button, POINT{button.x - 200, button.y - 100});
        RECT still = {};
        GetWindowRect(toolbar, &still);
        EXPECT_EQ(before.left, still.left);
        // The grip takes the toolbar along, all the way.
        const POINT grip = {before.left + 12, before.top + 25};
        Drag(grip, POINT{grip.x - 250, grip.y - 180});
        WaitFor([&] {
            GetWindowRect(toolbar, &after);
            return after.left == before.left - 250;
        }, 3000);
        EXPECT_EQ(before.left - 250, after.left);
        EXPECT_EQ(before.top - 180, after.top);
        // Pushed past the screen's corner it stops 4 pixels beyond it.
        const POINT grip2 = {after.left + 12, after.top + 25};
        Drag(grip2, POINT{grip2.x - 600, grip2.y - 600});
        RECT corner = {};
        WaitFor([&] {
            GetWindowRect(toolbar, &corner);
            return corner.left == -4;
        }, 3000);
        EXPECT_EQ(-4, corner.left);
        EXPECT_EQ(-4, corner.top);
        EXPECT_TRUE(program.Exit(toolbar));
    }
    // The exit command stored where the toolbar was.
    EXPECT_EQ(L"-4", SettingsKeyGuard::Read(L"xPos"));
    EXPECT_EQ(L"-4", SettingsKeyGuard::Read(L"yPos"));
    Toolbar again;
    HWND toolbar = again.WaitForWindow();
    ASSERT_NE(nullptr, toolbar);
    RECT restarted = {};
    GetWindowRect(toolbar, &restarted);
    EXPECT_EQ(-4, restarted.left);
    EXPECT_EQ(-4, restarted.top);
    EXPECT_TRUE(again.Exit(toolbar));
}

TEST_F(ToolbarProgramTest, KeepsItsStartupShortcutInStepWithStartAtLogin)
{
    SettingsKeyGuard settings;
    StartupShortcutGuard shortcut;
    const std::wstring link = StartupShortcutPath();
    DeleteFileW(link.c_str());
    const auto exists = [&link] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; };
    {
        // A fresh account starts at login.
        Toolbar program;
        HWND toolbar = program.WaitForWindow();
        ASSERT_NE(nullptr, toolbar);
        EXPECT_TRUE(exists());
        EXPECT_TRUE(program.Exit(toolbar));
    }
    SettingsKeyGuard::WriteDword(L"autoRun", 0);
    {
        Toolbar program;
        HWND toolbar = program.WaitForWindow();
        ASSERT_NE(nullptr, toolbar);
        EXPECT_FALSE(exists());
        EXPECT_TRUE(program.Exit(toolbar));
    }
    EXPECT_FALSE(exists());
    EXPECT_EQ(L"0", SettingsKeyGuard::Read(L"autoRun"));
}

}  // namespace
