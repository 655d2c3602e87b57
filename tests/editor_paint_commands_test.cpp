// The view's tool and pen commands through the real pop-up menus: ticks,
// presets that switch the tool, custom values through the colour dialog and
// the pen value dialogs, item texts, and the clipboard copy.
#include "tests/editor_view_support.h"

#include "common/packed_dib.h"
#include "editor/resource.h"
#include "kesh/handles.h"
#include "ui/command.h"
#include "ui/menu.h"

#include <cstring>
#include <set>

using namespace viewtest;

namespace {

// The pop-ups of IDR_PEN_POPUPS as the frame shows them: loaded afresh, every
// item updated by the view.
class PenPopups {
public:
    explicit PenPopups(CPaintView& view)
    {
        menu_.LoadMenu(IDR_PEN_POPUPS);
        for (int p = 0; p < 3; ++p) {
            HMENU popup = GetSubMenu(menu_.handle(), p);
            for (int i = 0; i < GetMenuItemCount(popup); ++i) {
                const UINT id = GetMenuItemID(popup, i);
                if (id == 0 || id == static_cast<UINT>(-1))
                    continue;
                ui::CommandState state(id, popup, static_cast<UINT>(i));
                state.DoUpdate(view, true);
                if (GetMenuState(popup, id, MF_BYCOMMAND) & MF_CHECKED)
                    ticked.insert(id);
            }
        }
    }
    std::wstring Text(UINT id) const
    {
        wchar_t text[128] = {};
        GetMenuStringW(menu_.handle(), id, text, 128, MF_BYCOMMAND);
        return text;
    }
    std::set<UINT> ticked;

private:
    ui::Menu menu_;
};

// The four tools as the Tools menu shows them.
UINT TickedTool(CPaintView& view)
{
    const kesh::win::MenuHandle menu(CreatePopupMenu());
    const UINT tools[] = {ID_TOOL_HAND, ID_TOOL_PENCIL, ID_TOOL_HIGHLIGHTER, ID_TOOL_MOSAIC};
    for (UINT id : tools)
        AppendMenuW(menu, MF_STRING, id, L"tool");
    UINT ticked = 0;
    int count = 0;
    for (int i = 0; i < 4; ++i) {
        ui::CommandState state(tools[i], menu, static_cast<UINT>(i));
        state.DoUpdate(view, true);
        if (GetMenuState(menu, tools[i], MF_BYCOMMAND) & MF_CHECKED) {
            ticked = tools[i];
            ++count;
        }
    }
    return count == 1 ? ticked : 0;
}

class PaintCommandsTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        view = OpenPattern(60, 40);
        ASSERT_NE(view, nullptr);
    }
    CPaintView* view = nullptr;
};

}  // namespace

TEST_F(PaintCommandsTest, FirstUseTicksTheDefaults)
{
    PenPopups popups(*view);
    EXPECT_EQ(popups.ticked, (std::set<UINT>{ID_PENCIL_BLACK, ID_PENCIL_THIN, ID_HIGHLIGHTER_YELLOW, ID_MOSAIC_WEAK}));
    EXPECT_EQ(TickedTool(*view), static_cast<UINT>(ID_TOOL_HAND));
}

TEST_F(PaintCommandsTest, ToolsTickTheirToolAndKeepThePenValues)
{
    Command(ID_PENCIL_BLUE);
    const UINT tools[] = {ID_TOOL_MOSAIC, ID_TOOL_HIGHLIGHTER, ID_TOOL_HAND, ID_TOOL_PENCIL};
    for (UINT tool : tools) {
        Command(tool);
        EXPECT_EQ(TickedTool(*view), tool);
        EXPECT_EQ(view->Settings().pencil.colour, 0xFF0000u);
    }
}

TEST_F(PaintCommandsTest, PresetsSetTheirValueSwitchTheToolAndTickThemselves)
{
    struct Case {
        UINT id;
        UINT tool;
    } cases[] = {
        {ID_PENCIL_RED, ID_TOOL_PENCIL},         {ID_MOSAIC_MEDIUM, ID_TOOL_MOSAIC},
        {ID_PENCIL_BLUE, ID_TOOL_PENCIL},        {ID_HIGHLIGHTER_PURPLE, ID_TOOL_HIGHLIGHTER},
        {ID_PENCIL_MEDIUM, ID_TOOL_PENCIL},      {ID_MOSAIC_STRONG, ID_TOOL_MOSAIC},
        {ID_PENCIL_THICK, ID_TOOL_PENCIL},       {ID_HIGHLIGHTER_CYAN, ID_TOOL_HIGHLIGHTER},
        {ID_PENCIL_BLACK, ID_TOOL_PENCIL},       {ID_MOSAIC_WEAK, ID_TOOL_MOSAIC},
        {ID_PENCIL_THIN, ID_TOOL_PENCIL},        {ID_HIGHLIGHTER_YELLOW, ID_TOOL_HIGHLIGHTER},
    };
    for (const Case& c : cases) {
        Command(c.id);
        EXPECT_EQ(TickedTool(*view), c.tool) << c.id;
        PenPopups popups(*view);
        EXPECT_EQ(popups.ticked.count(c.id), 1u) << c.id;
        EXPECT_EQ(popups.ticked.size(), 4u) << "one tick per group";
    }
    EXPECT_EQ(view->Settings().pencil.colour, 0u);
    EXPECT_EQ(view->Settings().pencil.width, 1);
    EXPECT_EQ(view->Settings().highlighter.colour, 0xFF0000u);
    EXPECT_EQ(view->Settings().mosaic.strength, 1);
}

TEST_F(PaintCommandsTest, CustomColourComesFromTheColourDialog)
{
    shell_.colorAnswer = 0x123456;
    Command(ID_PENCIL_CUSTOM_COLOR);
    EXPECT_EQ(shell_.colorRequests, 1);
    EXPECT_EQ(view->Settings().pencil.colour, 0x123456u);
    EXPECT_EQ(view->Settings().customPencil.colour, 0x123456u);
    EXPECT_EQ(TickedTool(*view), static_cast<UINT>(ID_TOOL_PENCIL));
    PenPopups popups(*view);
    EXPECT_EQ(popups.ticked.count(ID_PENCIL_CUSTOM_COLOR), 1u);
    EXPECT_EQ(popups.Text(ID_PENCIL_CUSTOM_COLOR), L"自定颜色 (#123456)...");

    // Pure red is a preset: its item is ticked; the text shows the COLORREF.
    shell_.colorAnswer = 0x0000FF;
    Command(ID_PENCIL_CUSTOM_COLOR);
    PenPopups red(*view);
    EXPECT_EQ(red.ticked.count(ID_PENCIL_RED), 1u);
    EXPECT_EQ(red.ticked.count(ID_PENCIL_CUSTOM_COLOR), 0u);
    EXPECT_EQ(red.Text(ID_PENCIL_CUSTOM_COLOR), L"自定颜色 (#0000FF)...");
}

TEST_F(PaintCommandsTest, CancelledCustomColourChangesNothing)
{
    shell_.colorAnswerOk = false;
    shell_.colorAnswer = 0x123456;
    Command(ID_PENCIL_CUSTOM_COLOR);
    EXPECT_EQ(view->Settings().pencil.colour, 0u);
    EXPECT_EQ(view->Settings().customPencil.colour, 0u);
    EXPECT_EQ(view->ToolKind(), 0);
}

TEST_F(PaintCommandsTest, CustomWidthEqualToAPresetTicksThePreset)
{
    DialogDriver driver([](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_PENCIL_WIDTH_EDIT, L"2");
        Click(dialog, IDOK);
    });
    Command(ID_PENCIL_CUSTOM_WIDTH);
    ASSERT_TRUE(driver.ran());
    EXPECT_EQ(view->Settings().pencil.width, 2);
    EXPECT_EQ(view->Settings().customPencil.width, 2);
    EXPECT_EQ(view->ToolKind(), 1);
    PenPopups popups(*view);
    EXPECT_EQ(popups.ticked.count(ID_PENCIL_MEDIUM), 1u);
    EXPECT_EQ(popups.ticked.count(ID_PENCIL_CUSTOM_WIDTH), 0u);
    EXPECT_EQ(popups.Text(ID_PENCIL_CUSTOM_WIDTH), L"自定粗细 (2px)...");
}

TEST_F(PaintCommandsTest, CustomStrengthComesFromItsDialogWithTheCurrentValue)
{
    std::wstring shown;
    DialogDriver driver([&shown](HWND dialog) {
        shown = ItemText(dialog, IDC_MOSAIC_STRENGTH_EDIT);
        SetDlgItemTextW(dialog, IDC_MOSAIC_STRENGTH_EDIT, L"7");
        Click(dialog, IDOK);
    });
    Command(ID_MOSAIC_CUSTOM);
    ASSERT_TRUE(driver.ran());
    EXPECT_EQ(shown, L"1") << "the stored custom strength";
    EXPECT_EQ(view->Settings().mosaic.strength, 7);
    EXPECT_EQ(view->Settings().customMosaic.strength, 7);
    EXPECT_EQ(view->ToolKind(), 3);
    PenPopups popups(*view);
    EXPECT_EQ(popups.ticked.count(ID_MOSAIC_CUSTOM), 1u);
    EXPECT_EQ(popups.Text(ID_MOSAIC_CUSTOM), L"自定强度(7)...");
}

TEST_F(PaintCommandsTest, CancelledCustomWidthChangesNothing)
{
    DialogDriver driver([](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_PENCIL_WIDTH_EDIT, L"9");
        Click(dialog, IDCANCEL);
    });
    Command(ID_PENCIL_CUSTOM_WIDTH);
    ASSERT_TRUE(driver.ran());
    EXPECT_EQ(view->Settings().pencil.width, 1);
    EXPECT_EQ(view->Settings().customPencil.width, 1);
    EXPECT_EQ(view->ToolKind(), 0);
}

TEST_F(PaintCommandsTest, CopyPutsHeaderAndBitsOnTheClipboard)
{
    ui::CommandState state(ID_EDIT_COPY);
    state.DoUpdate(*view, true);
    EXPECT_TRUE(state.enabled());

    Command(ID_EDIT_COPY);
    PackedDib expected;
    ASSERT_TRUE(expected.read(view->DisplayBitmap()));
    editortest::ClipboardOwner owner;
    ASSERT_TRUE(editortest::OpenClipboardPatiently(owner.hwnd()));
    HGLOBAL block = GetClipboardData(CF_DIB);
    ASSERT_NE(block, nullptr);
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, 60);
    EXPECT_EQ(std::labs(header.biHeight), 40);
    EXPECT_EQ(header.biSizeImage, expected.header().biSizeImage);
    EXPECT_GE(GlobalSize(block), header.biSize + header.biSizeImage);
    EXPECT_EQ(std::memcmp(bytes + header.biSize, expected.bits(), expected.header().biSizeImage), 0);
    // The top-left pixel is where the header's row order says it is.
    const unsigned stride = DibStride(header.biWidth, header.biBitCount);
    const size_t topRow = header.biHeight < 0 ? 0 : static_cast<size_t>(header.biHeight - 1) * stride;
    std::uint32_t topLeft = 0;
    std::memcpy(&topLeft, bytes + header.biSize + topRow, 4);
    EXPECT_EQ(topLeft & 0xFFFFFF, editortest::PixelAt(0, 0) & 0xFFFFFF);
    GlobalUnlock(block);
    CloseClipboard();
}
