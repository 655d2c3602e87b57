#include "common/image_formats.h"
#include "editor/view/pen_value_rules.h"
#include "editor/view/save_format_rules.h"

#include <gtest/gtest.h>

#include <cwchar>

TEST(QualityPresets, AreLowMediumHighHighestAt20_50_90_100)
{
    const struct {
        const wchar_t* text;
        int value;
    } expected[] = {{L"低", 20}, {L"中", 50}, {L"高", 90}, {L"最高", 100}};
    ASSERT_EQ(4, kQualityPresetCount);
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(expected[i].text, kQualityPresets[i].text);
        EXPECT_EQ(expected[i].value, kQualityPresets[i].value);
    }
}

TEST(QualityPresets, TheHighestPresetNotAboveTheQualityIsShown)
{
    const struct {
        int quality;
        int preset;
    } cases[] = {
        {-5, 0}, {0, 0},  {19, 0}, {20, 0}, {49, 0},  {50, 1},  {89, 1},
        {90, 2}, {95, 2}, {99, 2}, {100, 3}, {150, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(c.preset, PresetIndexForQuality(c.quality)) << c.quality;
    // A preset chosen from the list shows itself again.
    for (int i = 0; i < kQualityPresetCount; ++i) EXPECT_EQ(i, PresetIndexForQuality(kQualityPresets[i].value));
}

TEST(StoredQuality, DefaultsTo90AndKeepsOutOfRangeValues)
{
    EXPECT_STREQ("jpegQuality", kJpegQualityValueName);
    EXPECT_EQ(90, QualityFromStoredText(kDefaultJpegQualityText));
    EXPECT_EQ(2, PresetIndexForQuality(QualityFromStoredText(kDefaultJpegQualityText)));
    const struct {
        const char* text;
        int quality;
    } cases[] = {{"0", 0}, {"100", 100}, {"150", 150}, {"-3", -3}, {" 42", 42}, {"", 0}, {"abc", 0}};
    for (const auto& c : cases) EXPECT_EQ(c.quality, QualityFromStoredText(c.text)) << c.text;
}

TEST(SaveFormatList, OffersJpegThenPngPointingIntoTheTable)
{
    const std::vector<OfferedSaveFormat> offered = ListOfferedSaveFormats();
    ASSERT_EQ(2u, offered.size());
    EXPECT_EQ(&kSaveFormats[0], offered[0].format);
    EXPECT_EQ(&kSaveFormats[1], offered[1].format);
    EXPECT_FALSE(offered[0].description.isEmpty());
    EXPECT_FALSE(offered[1].description.isEmpty());
}

TEST(SaveFormatList, TheWantedFormatIsSelectedElseTheFirst)
{
    const std::vector<OfferedSaveFormat> offered = ListOfferedSaveFormats();
    EXPECT_EQ(0, InitialFormatIndex(offered, kImageFormatJPEG));
    EXPECT_EQ(1, InitialFormatIndex(offered, kImageFormatPNG));
    EXPECT_EQ(0, InitialFormatIndex(offered, kImageFormatGIF));
    EXPECT_EQ(0, InitialFormatIndex({}, kImageFormatPNG));
}

TEST(SaveFormatDialogRules, QualityControlsOnlyForJpeg)
{
    EXPECT_TRUE(QualityControlsEnabled(kImageFormatJPEG));
    EXPECT_FALSE(QualityControlsEnabled(kImageFormatPNG));
    EXPECT_FALSE(QualityControlsEnabled(kImageFormatGIF));
}

TEST(SaveFormatDialogRules, EnterGoesToOkWhenSkipIsNotAllowed)
{
    EXPECT_EQ(IDOK, DefaultButtonId(false));
    EXPECT_EQ(IDC_SAVE_SKIP, DefaultButtonId(true));
}

TEST(PenValueDialogs, AcceptOneToHundredWithTheSpinRangePacked)
{
    EXPECT_EQ(0x00010064, kPenValueSpinRange);
    const struct {
        int value;
        bool accepted;
    } cases[] = {{-1, false}, {0, false}, {1, true}, {50, true}, {100, true}, {101, false}};
    for (const auto& c : cases) EXPECT_EQ(c.accepted, IsPenValueInRange(c.value)) << c.value;
}
