#pragma once

// The ASCII letter cases and white space that Strings fold, trim and skip:
// bytes outside ASCII are never changed, so UTF-8 sequences stay whole.

namespace kesh {
namespace __ {

inline unsigned char upper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

inline unsigned char lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

inline bool isSpace(unsigned char c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

}  // namespace __
}  // namespace kesh
