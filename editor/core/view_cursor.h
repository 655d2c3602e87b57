#pragma once

#include "editor/core/pen.h"

// Resource id of the view's cursor for a tool kind; the highlighter's
// cursor follows its stored value (green 0x00FF00 shows purple, blue
// 0x0000FF shows cyan, anything else yellow). 0 for an unknown kind: the
// default cursor stays.
int CursorIdFor(int kind, COLORREF highlighterValue);
