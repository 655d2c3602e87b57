#pragma once

#include "kesh/string.h"
#include "kesh/time.h"

#include <windows.h>

#include <functional>

// The capture's rules, free of windows: which part of the screen a drag
// selects, where the capture is saved and how the editor is asked to open
// it.

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

// The editor's command line for an image: the path in double quotes (empty
// when the editor is to ask for a file), then " -x" and x, " -y" and y in
// decimal. x and y place the image's top-left pixel on the screen; -1 and -1
// let the editor centre its window.
kesh::String EditorParameters(const kesh::String& path, int x, int y);
