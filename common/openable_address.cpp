#include "common/openable_address.h"

bool IsOpenableAddress(const kesh::String& address)
{
    if (!address.startsWith("http://", true) && !address.startsWith("https://", true))
        return false;
    for (const char* c = address.c_str(); *c; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}
