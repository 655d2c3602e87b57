#pragma once

#include <windows.h>

// Puts bitmap on the clipboard as one CF_DIB block owned by the clipboard.
// Opens the clipboard for owner (a window is needed, so that emptying the
// clipboard makes it the owner) and closes it again on every path. False
// when the clipboard is busy, memory runs out or the bitmap cannot be read;
// the clipboard is left as it was unless the block went in.
bool CopyBitmapToClipboard(HWND owner, HBITMAP bitmap);
