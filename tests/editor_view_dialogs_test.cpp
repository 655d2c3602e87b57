// The save-format dialog and the pen value dialogs driven for real from
// inside their own modal loops: presets, slider, skip, Enter, validation
// and what reaches the registry.
#include "tests/editor_view_support.h"

#include "common/image_formats.h"
#include "editor/view/pen_value_dlgs.h"
#include "editor/resource.h"
#include "editor/view/save_format_dlg.h"
#include "editor/view/save_format_rules.h"
#include "ui/resource_ids.h"
#include "ui/strings.h"

#include <commctrl.h>

using namespace viewtest;

namespace {

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override { uitest::pump(); }
    uitest::FakeShell shell_;
    TestKey key_;
};

int SliderPos(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_SAVE_QUALITY_SLIDER, TBM_GETPOS, 0, 0));
}
int PresetSel(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_SAVE_QUALITY_PRESET, CB_GETCURSEL, 0, 0));
}
bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::wstring RangeMessage(int low, int high)
{
    return ui::FormatNumbered(ui::LoadResString(IDS_PARSE_INT_RANGE), {std::to_wstring(low), std::to_wstring(high)});
}

}  // namespace

TEST_F(DialogTest, SaveFormatFirstUseShows90HighAndJpeg)
{
    CSaveFormatDlg dialog(true, true, kImageFormatGIF, key_.path());
    std::wstring edit;
    int slider = -1, preset = -1, format = -1;
    bool skipEnabled = false, qualityEnabled = false;
    DialogDriver driver([&](HWND d) {
        edit = ItemText(d, IDC_SAVE_QUALITY_EDIT);
        slider = SliderPos(d);
        preset = PresetSel(d);
        format = static_cast<int>(SendDlgItemMessageW(d, IDC_SAVE_FORMAT_LIST, CB_GETCURSEL, 0, 0));
        skipEnabled = ItemEnabled(d, IDC_SAVE_SKIP);
        qualityEnabled = ItemEnabled(d, IDC_SAVE_QUALITY_EDIT);
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(edit, L"90");
    EXPECT_EQ(slider, 90);
    EXPECT_EQ(preset, 2) << "高";
    EXPECT_EQ(format, 0) << "GIF is not offered: the first item (JPEG)";
    EXPECT_TRUE(skipEnabled);
    EXPECT_TRUE(qualityEnabled);
    EXPECT_FALSE(key_.hasValue(kJpegQualityValueName)) << "Cancel writes nothing";
}

TEST_F(DialogTest, SaveFormatPresetsMoveSliderAndEdit)
{
    CSaveFormatDlg dialog(true, false, kImageFormatJPEG, key_.path());
    struct Seen {
        int slider;
        std::wstring edit;
        int preset;
    };
    std::vector<Seen> seen;
    DialogDriver driver([&](HWND d) {
        HWND presets = GetDlgItem(d, IDC_SAVE_QUALITY_PRESET);
        for (int i = 0; i < kQualityPresetCount; ++i) {
            SendMessageW(presets, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_SAVE_QUALITY_PRESET, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(presets));
            seen.push_back({SliderPos(d), ItemText(d, IDC_SAVE_QUALITY_EDIT), PresetSel(d)});
        }
        Click(d, IDCANCEL);
    });
    dialog.DoModal();
    ASSERT_EQ(seen.size(), static_cast<size_t>(kQualityPresetCount));
    for (int i = 0; i < kQualityPresetCount; ++i) {
        EXPECT_EQ(seen[i].slider, kQualityPresets[i].value) << i;
        EXPECT_EQ(seen[i].edit, std::to_wstring(kQualityPresets[i].value)) << i;
        EXPECT_EQ(seen[i].preset, i) << i;
    }
}

TEST_F(DialogTest, SaveFormatSliderValuesPickThePreset)
{
    struct Case {
        int position;
        int preset;
    } cases[] = {{19, 0}, {0, 0}, {20, 0}, {49, 0}, {50, 1}, {89, 1}, {95, 2}, {99, 2}, {100, 3}};
    CSaveFormatDlg dialog(true, false, kImageFormatJPEG, key_.path());
    std::vector<std::pair<std::wstring, int>> seen;
    DialogDriver driver([&](HWND d) {
        HWND slider = GetDlgItem(d, IDC_SAVE_QUALITY_SLIDER);
        for (const Case& c : cases) {
            SendMessageW(slider, TBM_SETPOS, TRUE, c.position);
            SendMessageW(d, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, c.position), reinterpret_cast<LPARAM>(slider));
            seen.emplace_back(ItemText(d, IDC_SAVE_QUALITY_EDIT), PresetSel(d));
        }
        Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(seen.size(), sizeof(cases) / sizeof(cases[0]));
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].first, std::to_wstring(cases[i].position));
        EXPECT_EQ(seen[i].second, cases[i].preset) << cases[i].position;
    }
    EXPECT_EQ(dialog.quality, 100);
    EXPECT_EQ(std::string(key_.value(kJpegQualityValueName).c_str()), "100");
}

TEST_F(DialogTest, SaveFormatSkipEndsWithOkWithoutWritingTheRegistry)
{
    CSaveFormatDlg dialog(true, true, kImageFormatPNG, key_.path());
    DialogDriver driver([](HWND d) {
        SetDlgItemTextW(d, IDC_SAVE_QUALITY_EDIT, L"33");
        Click(d, IDC_SAVE_SKIP);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.skipped);
    EXPECT_TRUE(SameFormat(dialog.format, kImageFormatPNG)) << "format unchanged";
    EXPECT_FALSE(key_.hasValue(kJpegQualityValueName));
}

TEST_F(DialogTest, SaveFormatOkStoresTheQualityAndTheChosenFormat)
{
    CSaveFormatDlg dialog(true, true, kImageFormatJPEG, key_.path());
    bool pngDisablesQuality = false;
    DialogDriver driver([&](HWND d) {
        SetDlgItemTextW(d, IDC_SAVE_QUALITY_EDIT, L"75");
        HWND formats = GetDlgItem(d, IDC_SAVE_FORMAT_LIST);
        SendMessageW(formats, CB_SETCURSEL, 1, 0);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_SAVE_FORMAT_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(formats));
        pngDisablesQuality = !ItemEnabled(d, IDC_SAVE_QUALITY_EDIT) && !ItemEnabled(d, IDC_SAVE_QUALITY_SLIDER) &&
                             !ItemEnabled(d, IDC_SAVE_QUALITY_PRESET);
        Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.skipped);
    EXPECT_TRUE(SameFormat(dialog.format, kImageFormatPNG));
    EXPECT_TRUE(pngDisablesQuality);
    EXPECT_EQ(dialog.quality, 75);
    EXPECT_EQ(std::string(key_.value(kJpegQualityValueName).c_str()), "75");

    CSaveFormatDlg next(true, true, kImageFormatJPEG, key_.path());
    EXPECT_EQ(next.quality, 75) << "the next dialog starts from it";
}

TEST_F(DialogTest, SaveFormatEnterEndsWithOkWhenSkipIsNotAllowed)
{
    CSaveFormatDlg dialog(false, false, kImageFormatJPEG, key_.path());
    LRESULT defId = 0;
    LONG okStyle = 0, skipStyle = 0;
    bool skipEnabled = true, listEnabled = true;
    DialogDriver driver([&](HWND d) {
        defId = SendMessageW(d, DM_GETDEFID, 0, 0);
        okStyle = GetWindowLongW(GetDlgItem(d, IDOK), GWL_STYLE);
        skipStyle = GetWindowLongW(GetDlgItem(d, IDC_SAVE_SKIP), GWL_STYLE);
        skipEnabled = ItemEnabled(d, IDC_SAVE_SKIP);
        listEnabled = ItemEnabled(d, IDC_SAVE_FORMAT_LIST);
        HWND edit = GetDlgItem(d, IDC_SAVE_QUALITY_EDIT);
        SetFocus(edit);
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(driver.forcedClose()) << "Enter did nothing";
    EXPECT_EQ(LOWORD(defId), IDOK);
    EXPECT_EQ(okStyle & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(skipStyle & 0x0F, BS_PUSHBUTTON);
    EXPECT_FALSE(skipEnabled);
    EXPECT_FALSE(listEnabled);
    EXPECT_FALSE(dialog.skipped);
    EXPECT_TRUE(SameFormat(dialog.format, kImageFormatJPEG));
    EXPECT_EQ(std::string(key_.value(kJpegQualityValueName).c_str()), "90");
}

TEST_F(DialogTest, SaveFormatBadQualityIsReportedAndNeverStored)
{
    CSaveFormatDlg dialog(true, true, kImageFormatJPEG, key_.path());
    int sliderAt150 = -1;
    size_t boxesAt150 = 0, boxesAfterOk = 0;
    bool endedByOk = true;
    DialogDriver driver([&](HWND d) {
        SetDlgItemTextW(d, IDC_SAVE_QUALITY_EDIT, L"150");
        sliderAt150 = SliderPos(d);
        boxesAt150 = shell_.boxes.size();
        Click(d, IDOK);
        boxesAfterOk = shell_.boxes.size();
        endedByOk = !IsWindowVisible(d);
        SetDlgItemTextW(d, IDC_SAVE_QUALITY_EDIT, L"");
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(sliderAt150, 100) << "the slider stays at its end";
    ASSERT_GE(boxesAt150, 1u);
    EXPECT_EQ(shell_.boxes[0].text, RangeMessage(0, 100));
    EXPECT_GT(boxesAfterOk, boxesAt150) << "OK validates again";
    EXPECT_FALSE(endedByOk);
    EXPECT_EQ(shell_.boxes.back().text, ui::LoadResString(IDS_PARSE_INT)) << "an empty edit";
    EXPECT_FALSE(key_.hasValue(kJpegQualityValueName)) << "a refused quality is not stored";
}

TEST_F(DialogTest, PenValueDialogsTakeOneToHundredOnly)
{
    struct Case {
        const wchar_t* text;
        bool accepted;
        int messageId;  // IDS_PARSE_INT, IDS_PARSE_INT_RANGE or 0
    } cases[] = {
        {L"0", false, IDS_PARSE_INT_RANGE}, {L"101", false, IDS_PARSE_INT_RANGE}, {L"", false, IDS_PARSE_INT},
        {L"1", true, 0},                    {L"100", true, 0},                    {L"42", true, 0},
    };
    for (int which = 0; which < 2; ++which) {
        for (const Case& c : cases) {
            shell_.boxes.clear();
            std::unique_ptr<CPenValueDlg> dialog;
            if (which == 0)
                dialog.reset(new CPencilWidthDlg);
            else
                dialog.reset(new CMosaicStrengthDlg);
            dialog->value = 5;
            const int edit = which == 0 ? IDC_PENCIL_WIDTH_EDIT : IDC_MOSAIC_STRENGTH_EDIT;
            bool stayedOpen = false;
            DialogDriver driver([&](HWND d) {
                SetDlgItemTextW(d, edit, c.text);
                Click(d, IDOK);
                stayedOpen = IsWindowVisible(d) != FALSE;
                if (stayedOpen)
                    Click(d, IDCANCEL);
            });
            const INT_PTR result = dialog->DoModal();
            EXPECT_EQ(result, c.accepted ? IDOK : IDCANCEL) << which << ":" << c.text;
            EXPECT_EQ(stayedOpen, !c.accepted);
            if (c.accepted) {
                EXPECT_EQ(std::to_wstring(dialog->value), c.text);
                EXPECT_TRUE(shell_.boxes.empty());
            } else {
                ASSERT_EQ(shell_.boxes.size(), 1u);
                const std::wstring expected =
                    c.messageId == IDS_PARSE_INT ? ui::LoadResString(IDS_PARSE_INT) : RangeMessage(1, 100);
                EXPECT_EQ(shell_.boxes[0].text, expected);
            }
        }
    }
}

TEST_F(DialogTest, PenValueDialogsShowTheValueAndSpinWithinTheRange)
{
    CPencilWidthDlg width;
    CMosaicStrengthDlg strength;
    EXPECT_EQ(width.value, 1);
    EXPECT_EQ(strength.value, 0);
    struct Case {
        CPenValueDlg* dialog;
        int edit, spin;
    } cases[] = {
        {&width, IDC_PENCIL_WIDTH_EDIT, IDC_PENCIL_WIDTH_SPIN},
        {&strength, IDC_MOSAIC_STRENGTH_EDIT, IDC_MOSAIC_STRENGTH_SPIN},
    };
    for (const Case& c : cases) {
        c.dialog->value = 100;
        std::wstring shown, afterUp, afterDown;
        int low = 0, high = 0;
        DialogDriver driver([&](HWND d) {
            shown = ItemText(d, c.edit);
            SendDlgItemMessageW(d, c.spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                                reinterpret_cast<LPARAM>(&high));
            HWND edit = GetDlgItem(d, c.edit);
            SetFocus(edit);
            // The arrow keys step through the up-down control, within the range.
            SendMessageW(edit, WM_KEYDOWN, VK_UP, 0x00480001);
            afterUp = ItemText(d, c.edit);
            SetDlgItemTextW(d, c.edit, L"1");
            SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0x00500001);
            afterDown = ItemText(d, c.edit);
            Click(d, IDCANCEL);
        });
        EXPECT_EQ(c.dialog->DoModal(), IDCANCEL);
        EXPECT_EQ(shown, L"100");
        EXPECT_EQ(low, 1);
        EXPECT_EQ(high, 100);
        EXPECT_EQ(afterUp, L"100");
        EXPECT_EQ(afterDown, L"1");
        EXPECT_EQ(c.dialog->value, 100) << "Cancel keeps the value";
    }
}
