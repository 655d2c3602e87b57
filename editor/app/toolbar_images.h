#pragma once

#include "ui/toolbar.h"

#include <windows.h>

// Fills list with the 35 x 32 images of the PNG strip resource id (32-bit
// colour with alpha, one image per toolbar button). False when the strip
// is missing or unreadable, or the list cannot be made; list is then empty
// or holds nothing usable. Needs GDI+ started.
bool LoadPngImageList(ui::ImageList& list, UINT id);
