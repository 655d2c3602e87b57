#include "common/openable_address.h"

namespace {

// A space or a double quote would end the address where the shell builds
// the browser's command line, and what follows would reach the browser as
// switches of its own. The controls, the marks that reorder text and the
// characters that show as nothing or as a blank make the address the user
// reads differ from the one that opens.
bool IsRefusedCharacter(wchar_t c)
{
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    const bool blank = c == L' ' || c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
                       c == 0x205F || c == 0x3000 || c == 0x2028 || c == 0x2029;
    const bool invisible = (c >= 0x200B && c <= 0x200D) || c == 0x2060 || c == 0xFEFF || c == 0x00AD;
    const bool filler = c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0;
    const bool reordering = c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
                            (c >= 0x2066 && c <= 0x2069);
    return control || blank || invisible || filler || reordering || c == L'"';
}

// The host of what follows "//": the authority ends at the first '/', '?'
// or '#'; a user part ends at its last '@', a port starts at the last ':'
// that is not inside an IPv6 literal's brackets.
bool HasHost(const std::wstring& address, std::wstring::size_type schemeEnd)
{
    const std::wstring::size_type start = schemeEnd + 3;  // past "://"
    std::wstring::size_type end = address.find_first_of(L"/?#", start);
    if (end == std::wstring::npos)
        end = address.size();
    std::wstring hostAndPort = address.substr(start, end - start);
    const std::wstring::size_type at = hostAndPort.rfind(L'@');
    if (at != std::wstring::npos)
        hostAndPort.erase(0, at + 1);
    const std::wstring::size_type colon = hostAndPort.rfind(L':');
    const std::wstring::size_type bracket = hostAndPort.rfind(L']');
    if (colon != std::wstring::npos && (bracket == std::wstring::npos || colon > bracket))
        hostAndPort.erase(colon);
    return !hostAndPort.empty();
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
    return HasHost(wide, wide.find(L':'));
}
