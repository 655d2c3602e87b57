// The paint view's tool and pen-value commands and the clipboard copy.
#include "editor/view/paint_view.h"

#include "editor/io/dib_export.h"
#include "editor/view/menu_text.h"
#include "editor/view/pen_value_dlgs.h"
#include "editor/view/view_commands.h"
#include "ui/shell_seams.h"

#include <string>

DWORD CPaintView::PenFieldValue(PenField field) const
{
    switch (field) {
    case PenField::PencilColour: return settings_.pencil.colour;
    case PenField::PencilWidth: return static_cast<DWORD>(settings_.pencil.width);
    case PenField::HighlighterValue: return settings_.highlighter.colour;
    case PenField::MosaicStrength: return static_cast<DWORD>(settings_.mosaic.strength);
    case PenField::None: break;
    }
    return 0;
}

void CPaintView::SetPenField(PenField field, DWORD value)
{
    switch (field) {
    case PenField::PencilColour: settings_.pencil.colour = value; break;
    case PenField::PencilWidth: settings_.pencil.width = static_cast<int>(value); break;
    case PenField::HighlighterValue: settings_.highlighter.colour = value; break;
    case PenField::MosaicStrength: settings_.mosaic.strength = static_cast<int>(value); break;
    case PenField::None: break;
    }
}

// A stroke in progress keeps its own pen; the next button-down takes the
// new values.
void CPaintView::OnPenCommand(UINT id)
{
    const PenCommand* command = FindPenCommand(id);
    if (!command)
        return;
    SetPenField(command->field, command->value);
    toolKind_ = command->toolKind;
}

void CPaintView::OnUpdatePenCommand(ui::CommandState* state)
{
    if (const PenCommand* command = FindPenCommand(state->id()))
        state->SetCheck(IsPenCommandTicked(*command, toolKind_, PenFieldValue(command->field)) ? 1 : 0);
}

void CPaintView::OnCustomColour()
{
    ui::ColorChooser chooser(settings_.customPencil.colour, CC_FULLOPEN, handle());
    if (chooser.DoModal() != IDOK)
        return;
    settings_.customPencil.colour = settings_.pencil.colour = chooser.GetColor();
    toolKind_ = kPenPencil;
}

void CPaintView::OnCustomWidth()
{
    CPencilWidthDlg dialog(handle());
    dialog.value = settings_.customPencil.width;
    if (dialog.DoModal() != IDOK)
        return;
    settings_.customPencil.width = settings_.pencil.width = dialog.value;
    toolKind_ = kPenPencil;
}

void CPaintView::OnCustomStrength()
{
    CMosaicStrengthDlg dialog(handle());
    dialog.value = settings_.customMosaic.strength;
    if (dialog.DoModal() != IDOK)
        return;
    settings_.customMosaic.strength = settings_.mosaic.strength = dialog.value;
    toolKind_ = kPenMosaic;
}

void CPaintView::OnUpdateCustomCommand(ui::CommandState* state)
{
    const CustomPenCommand* command = FindCustomPenCommand(state->id());
    if (!command)
        return;
    state->SetCheck(IsCustomPenCommandTicked(*command, PenFieldValue(command->field)) ? 1 : 0);
    if (!state->menu())
        return;
    // The pop-up is loaded afresh each time it shows, so the item's text is
    // still the resource's format.
    int value = 0;
    switch (command->field) {
    case PenField::PencilColour: value = static_cast<int>(settings_.customPencil.colour); break;
    case PenField::PencilWidth: value = settings_.customPencil.width; break;
    case PenField::MosaicStrength: value = settings_.customMosaic.strength; break;
    default: return;
    }
    const int length = GetMenuStringW(state->menu(), state->id(), nullptr, 0, MF_BYCOMMAND);
    if (length <= 0)
        return;
    std::wstring format(static_cast<size_t>(length) + 1, L'\0');
    GetMenuStringW(state->menu(), state->id(), &format[0], length + 1, MF_BYCOMMAND);
    format.resize(static_cast<size_t>(length));
    state->SetText(FormatItemText(format, value).c_str());
}

void CPaintView::OnCopy()
{
    // Every failure is silent; the clipboard is closed on every path.
    CopyBitmapToClipboard(handle(), history_.Display());
}

void CPaintView::OnUpdateCopy(ui::CommandState* state) { state->Enable(true); }
