#include "httpclient/encoder.h"

#include "httpclient/filter.h"

namespace Tesmo {

namespace {

bool isUtfCodePage(UINT codePage) { return codePage == CP_UTF8 || codePage == CP_UTF7; }

bool isEmpty(const wchar_t* text) { return !text || !*text; }

// Bytes of text in codePage, NUL included; 600 when the system refuses.
uint32_t multiByteSize(const wchar_t* text, UINT codePage)
{
    const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        ThrowWin32ErrorW(nullptr, HttpErrorWideCharToMultiByte, GetLastError());
    return static_cast<uint32_t>(size);
}

char* toMultiByte(const wchar_t* text, char* buff, uint32_t size, UINT codePage)
{
    if (isEmpty(text)) {
        buff[0] = '\0';
        return buff;
    }
    if (WideCharToMultiByte(codePage, 0, text, -1, buff, static_cast<int>(size), nullptr, nullptr) <= 0)
        ThrowWin32ErrorW(nullptr, HttpErrorWideCharToMultiByte, GetLastError());
    return buff;
}

bool passesUnencoded(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Hands the URL-encoded characters of bytes, one at a time, to emit.
template <class Emit>
void urlEncodeBytes(const char* bytes, Emit&& emit)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); *p; ++p) {
        if (passesUnencoded(*p)) {
            emit(static_cast<char>(*p));
        } else if (*p == ' ') {
            emit('+');
        } else {
            emit('%');
            emit(kHex[*p >> 4]);
            emit(kHex[*p & 0x0F]);
        }
    }
}

// The same for a wide text, each UTF-16 unit converted on its own.
template <class Emit>
void urlEncodeWide(const wchar_t* text, BOOL useUtf8, UINT codePage, Emit&& emit)
{
    if (isEmpty(text))
        return;
    const UINT target = useUtf8 ? CP_UTF8 : codePage;
    for (const wchar_t* p = text; *p; ++p) {
        const wchar_t unit[2] = {*p, L'\0'};
        char bytes[7];
        if (WideCharToMultiByte(target, 0, unit, -1, bytes, sizeof bytes, nullptr, nullptr) <= 0)
            ThrowWin32ErrorW(nullptr, HttpErrorWideCharToMultiByte, GetLastError());
        urlEncodeBytes(bytes, emit);
    }
}

template <class Ch>
Ch* urlEncodeInto(const wchar_t* text, Ch* buff, BOOL useUtf8, UINT codePage)
{
    Ch* out = buff;
    urlEncodeWide(text, useUtf8, codePage, [&](char c) { *out++ = static_cast<Ch>(static_cast<unsigned char>(c)); });
    *out = 0;
    return buff;
}

}  // namespace

uint32_t CHttpEncoderW::AnsiEncodeLen(const wchar_t* text, UINT codePage)
{
    if (isUtfCodePage(codePage))
        ThrowMessageW(L"CHttpEncoderW::AnsiEncodeLen: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    return isEmpty(text) ? 0 : multiByteSize(text, codePage) - 1;
}

char* CHttpEncoderW::AnsiEncode(const wchar_t* text, char* buff, UINT codePage)
{
    if (isUtfCodePage(codePage))
        ThrowMessageW(L"CHttpEncoderW::AnsiEncode: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    if (!buff)
        ThrowMessageW(L"CHttpEncoderW::AnsiEncode: szBuff can not be NULL.");
    return FilterW([&] { return toMultiByte(text, buff, SafeAdd(AnsiEncodeLen(text, codePage), 1), codePage); });
}

uint32_t CHttpEncoderW::Utf8EncodeLen(const wchar_t* text)
{
    return isEmpty(text) ? 0 : multiByteSize(text, CP_UTF8) - 1;
}

char* CHttpEncoderW::Utf8Encode(const wchar_t* text, char* buff)
{
    if (!buff)
        ThrowMessageW(L"CHttpEncoderW::Utf8Encode: szBuff can not be NULL.");
    return FilterW([&] { return toMultiByte(text, buff, SafeAdd(Utf8EncodeLen(text), 1), CP_UTF8); });
}

uint32_t CHttpEncoderW::UrlEncodeLen(const wchar_t* text, BOOL useUtf8, UINT codePage)
{
    return FilterW([&] {
        uint32_t n = 0;
        urlEncodeWide(text, useUtf8, codePage, [&](char) { n = SafeAdd(n, 1); });
        return n;
    });
}

char* CHttpEncoderW::UrlEncodeA(const wchar_t* text, char* buff, BOOL useUtf8, UINT codePage)
{
    if (!buff)
        ThrowMessageW(L"CHttpEncoderW::UrlEncodeA: szBuff can not be NULL.");
    return urlEncodeInto(text, buff, useUtf8, codePage);
}

wchar_t* CHttpEncoderW::UrlEncodeW(const wchar_t* text, wchar_t* buff, BOOL useUtf8, UINT codePage)
{
    if (!buff)
        ThrowMessageW(L"CHttpEncoderW::UrlEncodeW: szBuff can not be NULL.");
    return urlEncodeInto(text, buff, useUtf8, codePage);
}

uint32_t _UrlEncodeLen(const char* text)
{
    if (!text)
        ThrowMessageW(L"_UrlEncodeLen: szStr can not be NULL.");
    return FilterW([&] {
        uint32_t n = 0;
        urlEncodeBytes(text, [&](char) { n = SafeAdd(n, 1); });
        return n;
    });
}

}  // namespace Tesmo
