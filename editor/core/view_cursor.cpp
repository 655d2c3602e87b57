#include "editor/core/view_cursor.h"

int CursorIdFor(int kind, COLORREF highlighterValue)
{
    switch (kind) {
    case kPenHand: return 322;
    case kPenPencil: return 317;
    case kPenMosaic: return 318;
    case kPenHighlighter:
        if (highlighterValue == 0x00FF00)
            return 320;
        if (highlighterValue == 0x0000FF)
            return 321;
        return 319;
    }
    return 0;
}
