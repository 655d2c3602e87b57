#pragma once

#include "kesh/handles.h"

#include <windows.h>

// DIB sections: bitmaps whose pixels the program reads and writes directly,
// made in one place for the capture's pictures and for every picture the
// tests and benchmarks draw by hand.

// How a DIB's rows lie in memory.
enum class RowOrder { TopDown, BottomUp };

// The header of a BI_RGB DIB of width x height at bitsPerPixel (16, 24 or
// 32: no colour table), rows in the given order: what CreateDIBSection and
// GetDIBits take to make or read such pixels.
BITMAPINFO DibInfo(int width, int height, RowOrder order, WORD bitsPerPixel = 32);

// A DIB section of DibInfo's shape; bits (when given) receives its pixels,
// each row padded to a multiple of 4 bytes. A section that cannot be made
// (no memory for a large one) is logged and gives an empty bitmap and null
// bits.
kesh::win::Bitmap DibSection(int width, int height, RowOrder order, void** bits = nullptr,
                             WORD bitsPerPixel = 32);

// The usual kind: 32-bit pixels, top row first, 4 bytes each, blue first,
// rows without padding.
kesh::win::Bitmap TopDownSection(int width, int height, void** bits = nullptr);
