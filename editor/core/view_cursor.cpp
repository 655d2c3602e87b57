#include "editor/core/view_cursor.h"

#include "editor/resource.h"

int CursorIdFor(int kind, COLORREF highlighterValue)
{
    switch (kind) {
    case kPenHand: return IDC_CURSOR_HAND;
    case kPenPencil: return IDC_CURSOR_PENCIL;
    case kPenMosaic: return IDC_CURSOR_MOSAIC;
    case kPenHighlighter:
        if (highlighterValue == 0x00FF00)
            return IDC_CURSOR_HIGHLIGHTER_PURPLE;
        if (highlighterValue == 0x0000FF)
            return IDC_CURSOR_HIGHLIGHTER_CYAN;
        return IDC_CURSOR_HIGHLIGHTER_YELLOW;
    }
    return 0;
}
