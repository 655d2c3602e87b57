#include "editor/core/save_format.h"

GUID PreferredSaveFormat(const GUID& rawFormat, std::uint64_t fileSize, int width, int height)
{
    if (width < 0 || height < 0)
        return kImageFormatJPEG;
    // Below 2^62 for any two ints; times 4 it would not fit 63 bits, so
    // pixels x 4 / 5 is taken apart: 4 x (pixels / 5) + 4 x (pixels % 5) / 5.
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    const std::uint64_t threshold = pixels / 5 * 4 + pixels % 5 * 4 / 5;
    return fileSize <= threshold ? rawFormat : kImageFormatJPEG;
}
