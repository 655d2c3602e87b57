#pragma once

// The custom pencil width and mosaic strength dialogs share one shape: one
// whole number from 1 to 100 in an edit with an up-down control. What
// differs is held here, so both dialogs can be one class over this record.

#include "editor/resource.h"

#include <windows.h>

struct PenValueDialogIds {
    int templateId;
    int editId;
    int spinId;
    int initialValue;  // before the caller sets the current custom value
};

inline constexpr PenValueDialogIds kPencilWidthDialog = {IDD_PENCIL_WIDTH, IDC_PENCIL_WIDTH_EDIT,
                                                         IDC_PENCIL_WIDTH_SPIN, 1};
inline constexpr PenValueDialogIds kMosaicStrengthDialog = {IDD_MOSAIC_STRENGTH, IDC_MOSAIC_STRENGTH_EDIT,
                                                            IDC_MOSAIC_STRENGTH_SPIN, 0};

constexpr int kPenValueMin = 1;
constexpr int kPenValueMax = 100;

// UDM_SETRANGE's argument: the upper limit in the low word, the lower in
// the high word.
constexpr LPARAM kPenValueSpinRange = MAKELONG(kPenValueMax, kPenValueMin);

// Whether OK may take value.
constexpr bool IsPenValueInRange(int value)
{
    return value >= kPenValueMin && value <= kPenValueMax;
}
