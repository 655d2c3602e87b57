#pragma once

#include "editor/gdi.h"

// Makes target a copy of source: a bitmap compatible with a memory DC
// holding source (a DIB section for a DIB section), of source's size. A
// target that already has source's size and pixel format is reused and only
// its pixels are overwritten. False when no copy could be made; target is
// then left as it was. Neither bitmap may be selected into a DC.
bool CopyBitmap(HBITMAP source, impl::Bitmap& target);
