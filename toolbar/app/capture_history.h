#pragma once

#include "kesh/string.h"

#include <windows.h>

// How an image reaches the editor: as a file. Captures and clipboard
// pictures are first saved as PNG in the history's "Capture" folder;
// dropped files go as they are.

// Saves bitmap (device-dependent or DIB section; the caller keeps it) as
// "capyyMMdd-NNN.png" under the first free number of the day. The file's
// full path, or "" after a failure, which the user has been told of.
kesh::String SaveBitmapToHistory(HBITMAP bitmap);

// Starts the editor beside this program on path (empty: the editor asks for
// a file), placing the image's top-left pixel at (x, y) on the screen, or
// centring its window for -1, -1. Does not wait for it. False, after telling
// the user, when the shell could not start it.
bool LaunchEditor(const kesh::String& path, int x, int y);
