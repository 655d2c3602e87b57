#include "common/image_formats.h"

#include <cstring>

bool SameFormat(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

bool CanKeepOriginalFormat(const GUID& format)
{
    for (const GUID& keepable : kKeepableFormats) {
        if (SameFormat(keepable, format)) return true;
    }
    return false;
}
