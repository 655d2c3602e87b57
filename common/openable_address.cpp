#include "common/openable_address.h"

namespace {

bool IsRefusedCharacter(wchar_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

bool IsOpenableAddress(const kesh::String& address)
{
    if (!address.startsWith("http://", true) && !address.startsWith("https://", true))
        return false;
    const std::wstring wide = kesh::Wide(address);
    if (wide.size() > kMaxOpenableAddressLength)
        return false;
    for (const wchar_t c : wide)
        if (IsRefusedCharacter(c))
            return false;
    return true;
}
