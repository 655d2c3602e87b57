#include "editor/view/menu_text.h"
#include "editor/view/view_commands.h"
#include "ui/resource_ids.h"

#include <gtest/gtest.h>

#include <set>

TEST(PenCommandTable, EveryIdIsListedOnceAndFound)
{
    std::set<UINT> ids;
    for (const PenCommand& command : kPenCommands) {
        EXPECT_TRUE(ids.insert(command.id).second) << command.id;
        EXPECT_EQ(&command, FindPenCommand(command.id));
    }
    for (const CustomPenCommand& command : kCustomPenCommands) {
        EXPECT_TRUE(ids.insert(command.id).second) << command.id;
        EXPECT_EQ(&command, FindCustomPenCommand(command.id));
        EXPECT_EQ(nullptr, FindPenCommand(command.id));
    }
    EXPECT_EQ(19u, ids.size());
    EXPECT_EQ(nullptr, FindPenCommand(ID_EDIT_COPY));
}

TEST(PenCommandTable, PresetsAlsoSwitchToTheirPensTool)
{
    const struct {
        PenField field;
        int tool;
    } tools[] = {{PenField::PencilColour, kPenPencil},
                 {PenField::PencilWidth, kPenPencil},
                 {PenField::HighlighterValue, kPenHighlighter},
                 {PenField::MosaicStrength, kPenMosaic}};
    for (const PenCommand& command : kPenCommands) {
        for (const auto& t : tools) {
            if (command.field == t.field) {
                EXPECT_EQ(t.tool, command.toolKind) << command.id;
            }
        }
    }
}

TEST(PenCommandTicks, ToolItemsFollowTheToolPresetsTheirValue)
{
    const PenCommand& hand = *FindPenCommand(ID_TOOL_HAND);
    const PenCommand& mosaic = *FindPenCommand(ID_TOOL_MOSAIC);
    EXPECT_TRUE(IsPenCommandTicked(hand, kPenHand, 0));
    EXPECT_FALSE(IsPenCommandTicked(hand, kPenMosaic, 0));
    EXPECT_TRUE(IsPenCommandTicked(mosaic, kPenMosaic, 0));

    const PenCommand& red = *FindPenCommand(ID_PENCIL_RED);
    EXPECT_TRUE(IsPenCommandTicked(red, kPenHand, 0x0000FF));  // whatever the tool
    EXPECT_FALSE(IsPenCommandTicked(red, kPenPencil, 0xFF0000));
}

TEST(PenCommandTicks, CustomItemIsTickedOnlyWhenNoPresetHoldsTheValue)
{
    const struct {
        UINT id;
        DWORD value;
        bool ticked;
    } cases[] = {
        {ID_PENCIL_CUSTOM_COLOR, 0x000000, false}, {ID_PENCIL_CUSTOM_COLOR, 0x0000FF, false},
        {ID_PENCIL_CUSTOM_COLOR, 0xFF0000, false}, {ID_PENCIL_CUSTOM_COLOR, 0x00FF00, true},
        {ID_PENCIL_CUSTOM_WIDTH, 1, false},        {ID_PENCIL_CUSTOM_WIDTH, 2, false},
        {ID_PENCIL_CUSTOM_WIDTH, 4, false},        {ID_PENCIL_CUSTOM_WIDTH, 3, true},
        {ID_PENCIL_CUSTOM_WIDTH, 100, true},       {ID_MOSAIC_CUSTOM, 1, false},
        {ID_MOSAIC_CUSTOM, 4, false},              {ID_MOSAIC_CUSTOM, 9, false},
        {ID_MOSAIC_CUSTOM, 2, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.ticked, IsCustomPenCommandTicked(*FindCustomPenCommand(c.id), c.value)) << c.id << " " << c.value;
    }
}

TEST(ItemTextFormat, TheCustomValueFillsTheItemsFormat)
{
    const struct {
        const wchar_t* format;
        int value;
        const wchar_t* text;
    } cases[] = {
        {L"自定颜色 (#%06X)...", 0x0000FF, L"自定颜色 (#0000FF)..."},
        {L"自定粗细 (%dpx)...", 2, L"自定粗细 (2px)..."},
        {L"自定强度(%d)...", 15, L"自定强度(15)..."},
        {L"100%% %d", 7, L"100% 7"},
        {L"plain", 5, L"plain"},
        {L"%d and %x", 26, L"26 and 1a"},
        {L"%s %n %d", 3, L"%s %n 3"},  // no string or pointer conversions
        {L"%123456789d", 1, L"%123456789d"},
        {L"tail %", 1, L"tail %"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::wstring(c.text), FormatItemText(c.format, c.value)) << c.format;
}
