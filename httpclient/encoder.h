#pragma once

// Text encoders of the HTTP client: wide text to an ANSI code page or UTF-8,
// and URL encoding for query strings. All static, no state.
//
// A code page argument names an ANSI code page; CP_UTF8 and CP_UTF7 are
// refused (code 0) where a code page is taken, except by the URL encoders,
// which get UTF-8 through their own flag. Lengths are byte counts (wide
// characters for UrlEncodeW) without the terminating NUL; a buffer given to
// an encoder holds the matching length plus 1.

#include <windows.h>

#include <cstdint>

namespace Tesmo {

class CHttpEncoderW {
public:
    // 0 for a null or empty text; a failed conversion throws 600.
    static uint32_t AnsiEncodeLen(const wchar_t* text, UINT codePage);
    static char* AnsiEncode(const wchar_t* text, char* buff, UINT codePage);
    static uint32_t Utf8EncodeLen(const wchar_t* text);
    static char* Utf8Encode(const wchar_t* text, char* buff);

    // URL encoding, one UTF-16 unit at a time (a character beyond the Basic
    // Multilingual Plane goes as its two surrogates): A-Z, a-z and 0-9 stay,
    // a space becomes "+", every other byte "%XX" in upper-case hex.
    static uint32_t UrlEncodeLen(const wchar_t* text, BOOL useUtf8, UINT codePage);
    static char* UrlEncodeA(const wchar_t* text, char* buff, BOOL useUtf8, UINT codePage);
    // The same characters as UrlEncodeA, one wide character per byte.
    static wchar_t* UrlEncodeW(const wchar_t* text, wchar_t* buff, BOOL useUtf8, UINT codePage);
};

// Length of the URL-encoded form of an 8-bit text.
uint32_t _UrlEncodeLen(const char* text);

}  // namespace Tesmo
