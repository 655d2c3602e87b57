#pragma once

#include "kesh/handles.h"

#include <windows.h>

// The capture overlay's pictures: the screen as it was, the same picture
// dimmed, and parts of it, all as 32-bit top-down DIB sections
// (common/dib_section.h) whose pixels the program reads and writes directly.

// The primary screen's pixels (0, 0, width, height) as they are now, and the
// same picture darkened as black laid over it at constant alpha 128
// (AlphaBlend) darkens it: every byte goes through the system's own blend
// of that value, computed once, so the pixels are exactly AlphaBlend's, for
// a pass over the picture instead of a blend.
struct ScreenPictures {
    kesh::win::Bitmap snapshot;
    kesh::win::Bitmap dimmed;
};
// The screen is read in one copy, so that the picture is the screen at one
// moment; the dimming is then shared out among up to four threads (the
// calling thread one of them; all have ended on return). When a step fails
// (no memory for the pictures, the screen not readable) both are empty.
ScreenPictures SnapshotDimmed(int width, int height);

// A new bitmap compatible with reference holding rect of source.
kesh::win::Bitmap CopyPart(HDC reference, HBITMAP source, const RECT& rect);

// Copies rect of bitmap to the same place on dc.
void BlitFrom(HDC dc, HBITMAP bitmap, const RECT& rect);
