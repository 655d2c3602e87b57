#pragma once

// The paint view's tool and pen-value commands as one table: what each
// command sets, which tool it switches to, and when its menu item is
// ticked. The view applies an entry to its pen settings; the rules here
// need no window.

#include "editor/core/pen.h"
#include "editor/resource.h"

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
    {ID_TOOL_HAND, PenField::None, 0, kPenHand},
    {ID_TOOL_PENCIL, PenField::None, 0, kPenPencil},
    {ID_TOOL_HIGHLIGHTER, PenField::None, 0, kPenHighlighter},
    {ID_TOOL_MOSAIC, PenField::None, 0, kPenMosaic},
    {ID_PENCIL_BLACK, PenField::PencilColour, 0x000000, kPenPencil},
    {ID_PENCIL_RED, PenField::PencilColour, 0x0000FF, kPenPencil},
    {ID_PENCIL_BLUE, PenField::PencilColour, 0xFF0000, kPenPencil},
    {ID_PENCIL_THIN, PenField::PencilWidth, 1, kPenPencil},
    {ID_PENCIL_MEDIUM, PenField::PencilWidth, 2, kPenPencil},
    {ID_PENCIL_THICK, PenField::PencilWidth, 4, kPenPencil},
    {ID_HIGHLIGHTER_YELLOW, PenField::HighlighterValue, 0xFF0000, kPenHighlighter},
    {ID_HIGHLIGHTER_PURPLE, PenField::HighlighterValue, 0x00FF00, kPenHighlighter},
    {ID_HIGHLIGHTER_CYAN, PenField::HighlighterValue, 0x0000FF, kPenHighlighter},
    {ID_MOSAIC_WEAK, PenField::MosaicStrength, 1, kPenMosaic},
    {ID_MOSAIC_MEDIUM, PenField::MosaicStrength, 4, kPenMosaic},
    {ID_MOSAIC_STRONG, PenField::MosaicStrength, 9, kPenMosaic},
};

// The three "custom value" items: each opens a dialog and sets the custom
// value and the field, then the tool.
struct CustomPenCommand {
    UINT id;
    PenField field;
    int toolKind;
};
inline constexpr CustomPenCommand kCustomPenCommands[] = {
    {ID_PENCIL_CUSTOM_COLOR, PenField::PencilColour, kPenPencil},
    {ID_PENCIL_CUSTOM_WIDTH, PenField::PencilWidth, kPenPencil},
    {ID_MOSAIC_CUSTOM, PenField::MosaicStrength, kPenMosaic},
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
