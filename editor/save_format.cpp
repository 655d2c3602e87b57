#include "editor/save_format.h"

const GUID kJpegRawFormat = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

GUID PreferredSaveFormat(const GUID& rawFormat, std::uint64_t fileSize, int width, int height)
{
    const std::int64_t pixels = static_cast<std::int64_t>(width) * static_cast<std::int64_t>(height);
    const std::int64_t threshold = pixels * 4 / 5;
    if (threshold >= 0 && fileSize <= static_cast<std::uint64_t>(threshold))
        return rawFormat;
    return kJpegRawFormat;
}
