#pragma once

#include "kesh/string.h"
#include "kesh/time.h"

#include <windows.h>

#include <functional>

// The capture's rules, free of windows: which part of the screen a drag
// selects, where the capture is saved and which program opens it (its
// command line is common/editor_command_line.h).

// The rectangle spanned by two points, whichever corner each is: left and
// top the smaller coordinates, right and bottom the larger.
RECT NormalizedSelection(POINT a, POINT b);

// selection cut to the captured screen (0, 0, width, height). A selection
// that does not overlap it (the mouse captured far outside, say) gives an
// empty rectangle: nothing is saved for it.
RECT ClampSelectionToScreen(const RECT& selection, int width, int height);

// Whether rect has no pixels (no width or no height).
bool IsEmptySelection(const RECT& rect);

// Captures go to this folder below the history root.
constexpr const char* kCaptureFolderName = "Capture";

// The file name of the next capture of day: "cap", the date as "yyMMdd",
// "-", the first number from 001 on (1000 after 999, without end) whose
// file taken(name) says is free, ".png".
kesh::String NextCaptureFileName(const kesh::Time& day, const std::function<bool(const kesh::String&)>& taken);

// The editor program beside the toolbar's own program file.
kesh::String EditorProgramPath(const kesh::String& toolbarProgram);
