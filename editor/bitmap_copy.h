#pragma once

#include "editor/gdi.h"

// Makes target a copy of source, with source's size and format (a bitmap
// compatible with a memory DC holding source, so a DIB section for a DIB
// section). A target of the same size and format is reused and only its
// pixels are overwritten. False when no copy could be made; target is then
// left as it was. Neither bitmap may be selected into a DC.
bool CopyBitmap(HBITMAP source, impl::Bitmap& target);
