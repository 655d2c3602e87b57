#pragma once

#include "kesh/handles.h"

// Width and height of a bitmap; {0, 0} for a null or invalid handle.
SIZE BitmapSize(HBITMAP bitmap);

// True when dc holds bitmap: selecting a bitmap that another DC holds
// fails and leaves the old one there.
bool Holds(HDC dc, HBITMAP bitmap);

// Makes target a copy of source: a bitmap compatible with a memory DC
// holding source (a DIB section for a DIB section), of source's size. A
// target that already has source's size and pixel format is reused and only
// its pixels are overwritten. False when no copy could be made; target is
// then left as it was. Neither bitmap may be selected into a DC.
bool CopyBitmap(HBITMAP source, kesh::win::Bitmap& target);
