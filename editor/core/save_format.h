#pragma once

#include "common/image_formats.h"

#include <windows.h>

#include <cstdint>

// The format saving proposes for an opened image: its own raw format when
// the file holds at most 0.8 bytes per pixel (width x height x 4 / 5,
// computed without overflow for any two ints), else JPEG; JPEG for a
// negative width or height. A file size that could not be read
// is passed as 0 and keeps the raw format.
GUID PreferredSaveFormat(const GUID& rawFormat, std::uint64_t fileSize, int width, int height);
