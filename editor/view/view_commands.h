#pragma once

// The paint view's tool and pen-value commands as one table: what each
// command sets, which tool it switches to, and when its menu item is
// ticked. The view applies an entry to its pen settings; the rules here
// need no window.

#include <windows.h>

// The pen setting a command sets; None for the four tool commands.
enum class PenField { None, PencilColour, PencilWidth, HighlighterValue, MosaicStrength };

struct PenCommand {
    UINT id;
    PenField field;
    DWORD value;   // what the field becomes (unused for None)
    int toolKind;  // what the tool kind becomes
};

// Tools (hand, pencil, highlighter, mosaic), then the preset values of the
// pencil, highlighter and mosaic pop-ups. The highlighter's value is the
// complement of the colour shown (it draws with R2_MASKNOTPEN): yellow is
// 0xFF0000, purple 0x00FF00, cyan 0x0000FF.
inline constexpr PenCommand kPenCommands[] = {
    {32834, PenField::None, 0, 0},                   // 手型
    {32780, PenField::None, 0, 1},                   // 铅笔
    {32785, PenField::None, 0, 2},                   // 荧光笔
    {32786, PenField::None, 0, 3},                   // 马赛克笔
    {32812, PenField::PencilColour, 0x000000, 1},    // 黑笔
    {32813, PenField::PencilColour, 0x0000FF, 1},    // 红笔
    {32814, PenField::PencilColour, 0xFF0000, 1},    // 蓝笔
    {32818, PenField::PencilWidth, 1, 1},            // 细
    {32820, PenField::PencilWidth, 2, 1},            // 中
    {32821, PenField::PencilWidth, 4, 1},            // 粗
    {32823, PenField::HighlighterValue, 0xFF0000, 2},  // 黄色
    {32825, PenField::HighlighterValue, 0x00FF00, 2},  // 紫色
    {32826, PenField::HighlighterValue, 0x0000FF, 2},  // 青色
    {32827, PenField::MosaicStrength, 1, 3},         // 微弱
    {32828, PenField::MosaicStrength, 4, 3},         // 中等
    {32829, PenField::MosaicStrength, 9, 3},         // 强烈
};

// The three "custom value" items: each opens a dialog and sets the custom
// value and the field, then the tool.
struct CustomPenCommand {
    UINT id;
    PenField field;
    int toolKind;
};
inline constexpr CustomPenCommand kCustomPenCommands[] = {
    {32815, PenField::PencilColour, 1},    // 自定颜色 (#%06X)...
    {32822, PenField::PencilWidth, 1},     // 自定粗细 (%dpx)...
    {32838, PenField::MosaicStrength, 3},  // 自定强度(%d)...
};

// The entry of id, or null.
const PenCommand* FindPenCommand(UINT id);
const CustomPenCommand* FindCustomPenCommand(UINT id);

// A tool command is ticked while its tool is chosen; a preset while its
// field holds its value (whatever the tool).
bool IsPenCommandTicked(const PenCommand& command, int toolKind, DWORD fieldValue);

// A custom item is ticked while its field holds none of the field's preset
// values: a custom width of 2 ticks "中", not the custom item.
bool IsCustomPenCommandTicked(const CustomPenCommand& command, DWORD fieldValue);
