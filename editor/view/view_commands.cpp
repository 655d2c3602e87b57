#include "editor/view/view_commands.h"

const PenCommand* FindPenCommand(UINT id)
{
    for (const PenCommand& command : kPenCommands) {
        if (command.id == id) return &command;
    }
    return nullptr;
}

const CustomPenCommand* FindCustomPenCommand(UINT id)
{
    for (const CustomPenCommand& command : kCustomPenCommands) {
        if (command.id == id) return &command;
    }
    return nullptr;
}

bool IsPenCommandTicked(const PenCommand& command, int toolKind, DWORD fieldValue)
{
    if (command.field == PenField::None) return toolKind == command.toolKind;
    return fieldValue == command.value;
}

bool IsCustomPenCommandTicked(const CustomPenCommand& command, DWORD fieldValue)
{
    for (const PenCommand& preset : kPenCommands) {
        if (preset.field == command.field && preset.value == fieldValue) return false;
    }
    return true;
}
