#pragma once

#include "kesh/string.h"

// Whether an address a server gave may be handed to the shell to open (the
// upload's pages, the version check's download) or kept in a shortcut:
// http:// or https:// in any letter case; a host that is not empty (what
// follows "//" up to the first '/', '?' or '#', without a user part up to
// its last '@' and without a ":port"); at most kMaxOpenableAddressLength
// characters (UTF-16 units, as the shell receives them); and none of the
// characters that are not part of an address: spaces (U+0020, U+00A0,
// U+1680, U+2000-U+200A, U+202F, U+205F, U+3000), the line and paragraph
// separators (U+2028, U+2029), double quotes, C0 and C1 controls, DEL, the
// characters that show as nothing (U+200B-U+200D, U+2060, U+FEFF, the soft
// hyphen U+00AD) or as a blank (the fillers U+115F, U+1160, U+3164, U+FFA0),
// and the bidirectional formatting marks (U+061C, U+200E, U+200F,
// U+202A-U+202E, U+2066-U+2069): each makes an address read otherwise than
// it goes. Nothing is encoded: any other address is at most shown. A
// server must not make a program run a file or a script, pass the browser
// arguments of its own, nor overflow what the shell copies the address
// into.
bool IsOpenableAddress(const kesh::String& address);

// The server's page addresses are a few dozen characters; the shell's
// command buffer overflows at 997 (its browser command and the address
// share 1024 units), so the limit stays well clear of it.
constexpr unsigned kMaxOpenableAddressLength = 512;
