#include "editor/core/save_format.h"

GUID PreferredSaveFormat(const GUID& rawFormat, std::uint64_t fileSize, int width, int height)
{
    const std::int64_t pixels = static_cast<std::int64_t>(width) * static_cast<std::int64_t>(height);
    const std::int64_t threshold = pixels * 4 / 5;
    if (threshold >= 0 && fileSize <= static_cast<std::uint64_t>(threshold))
        return rawFormat;
    return kImageFormatJPEG;
}
