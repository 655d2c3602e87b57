#pragma once

#include "kesh/arguments.h"
#include "kesh/string.h"

// The editor's command line, written by the capture toolbar and read by the
// editor: the image path in double quotes, then -x and -y with the screen
// position of the image's top-left pixel, -1 for an image that was not
// captured:
//   vomla.exe "C:\...\cap261209-001.png" -x100 -y200
// An empty path asks the editor to let the user choose a file.
constexpr const char* kEditorOptionSpec = "x:y:";

struct EditorCommandLine {
    kesh::String imagePath;  // empty: none given
    long x = -1;
    long y = -1;
};

// The parameters after the program: the path in double quotes (empty when
// the editor is to ask for a file), then " -x" and x, " -y" and y in
// decimal. x and y place the image's top-left pixel on the screen; -1 and -1
// let the editor centre its window.
kesh::String EditorParameters(const kesh::String& path, int x, int y);

// The image path is the second positional word (the first is the program's
// own path). A missing -x or -y reads as -1, a value that is not a number
// as 0.
EditorCommandLine ReadEditorCommandLine(kesh::app::IArguments& arguments);
