#pragma once

// A picture like what users capture: a title bar and a toolbar with
// gradients, panels of text (dark glyph strokes on light ground) and a
// photo (smooth gradients under noise). A solid colour would encode and
// decode in no time and hide the cost users pay. Deterministic.

#include "kesh/handles.h"

#include <cstdint>

namespace bench {

// Fills width x height opaque pixels (0xFFRRGGBB), the top row first, each
// row stride pixels apart.
void FillScreenLike(std::uint32_t* pixels, int width, int height, int stride);

// The picture in a 32-bit DIB section, stored top-down or bottom-up; empty
// when no section could be made.
kesh::win::Bitmap MakeScreenLikeSection(int width, int height, bool topDown);

}  // namespace bench
