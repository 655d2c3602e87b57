#include "httpclient/exceptions.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <string>

namespace Tesmo {

namespace {

struct MessagePair {
    const char* a;
    const wchar_t* w;
};
#define TESMO_TEXT(s) {s, L##s}

// The client's own texts, word for word, spelling included.
const MessagePair kGroup0[] = {
    TESMO_TEXT("Not specified"),
};
const MessagePair kGroup1[] = {
    TESMO_TEXT("Unexpected error occurred."),
    TESMO_TEXT("The index is out of range."),
    TESMO_TEXT("Out of memory."),
    TESMO_TEXT("The requested URL is not a valid URL."),
    TESMO_TEXT("The post context is not started yet."),
    TESMO_TEXT("Couldn't read expected bytes from a file."),
    TESMO_TEXT("The post context has not been finished yet."),
    TESMO_TEXT("The port number is not valid."),
    TESMO_TEXT("std::exception occurred."),
    TESMO_TEXT("The encoded URL is not valid."),
    TESMO_TEXT("The UTF8 string contains an invalid character."),
    TESMO_TEXT("An unexpected arithmetic error has been occurred."),
    TESMO_TEXT("An arithmetic overflow error has been occurred."),
    TESMO_TEXT("An interger divide by zero exception has been occurred."),
    TESMO_TEXT("The file (%s) aleady exists."),
};
const MessagePair kGroupEmpty[] = {
    TESMO_TEXT(""),
};
const MessagePair kGroup4[] = {
    TESMO_TEXT("::HttpQueryInfo failed."),
    TESMO_TEXT("::InternetReadFile failed."),
    TESMO_TEXT("::InternetOpen failed."),
    TESMO_TEXT("::InternetConnect failed."),
    TESMO_TEXT("::HttpOpenRequest failed."),
    TESMO_TEXT("::HttpAddRequestHeaders failed."),
    TESMO_TEXT("::HttpSendRequest failed."),
    TESMO_TEXT("::HttpSendRequestEx failed."),
    TESMO_TEXT("::InternetWriteFile failed."),
    TESMO_TEXT("::HttpEndRequest failed."),
    TESMO_TEXT("::InternetSetOption failed."),
};
const MessagePair kGroup6[] = {
    TESMO_TEXT("::WideCharToMultiByte failed."),
    TESMO_TEXT("::MultiByteToWideChar failed."),
    TESMO_TEXT("::ReadFile failed."),
    TESMO_TEXT("OpenFile (::CreateFile) failed (\"%s\")."),
    TESMO_TEXT("::SetFilePointer failed."),
    TESMO_TEXT("::GetFileSize failed (\"%s\")."),
    TESMO_TEXT("::WriteFile failed (\"%s\")."),
};
const MessagePair kUserDefined = TESMO_TEXT("user-defined error message");
const MessagePair kUnlisted = TESMO_TEXT("");
#undef TESMO_TEXT

struct Group {
    const MessagePair* entries;
    size_t count;
};
template <size_t N>
constexpr Group group(const MessagePair (&entries)[N])
{
    return {entries, N};
}
// Indexed by code / 100; 200 to 399 share the one empty text.
const Group kGroups[10] = {
    group(kGroup0), group(kGroup1), group(kGroupEmpty), group(kGroupEmpty), group(kGroup4),
    {nullptr, 0},   group(kGroup6), {nullptr, 0},       {nullptr, 0},       {nullptr, 0},
};

// Every index is checked: an unlisted code must never read beside a group.
const MessagePair& lookup(HttpClientErrorCode code)
{
    if (code >= 1000)
        return kUserDefined;
    if (code < 0)
        return kUnlisted;
    const Group& g = kGroups[code / 100];
    const size_t entry = static_cast<size_t>(code % 100);
    return entry < g.count ? g.entries[entry] : kUnlisted;
}

// The message of a wide exception: the text with path in place of its "%s".
// Put in by hand, not by a formatter: a formatter's "%s" in a wide format
// reads narrow text on this runtime and would garble the path.
std::wstring withPath(const wchar_t* text, const wchar_t* path)
{
    std::wstring message(text);
    const size_t at = message.find(L"%s");
    if (at != std::wstring::npos)
        message.replace(at, 2, path);
    const size_t kMaxMessage = 511;  // what a 512-character buffer holds
    if (message.size() > kMaxMessage)
        message.resize(kMaxMessage);
    return message;
}

HttpClientErrorCode safeIntCode(DWORD safeIntCode)
{
    if (safeIntCode == 0xC0000094)
        return HttpErrorDivideByZero;
    if (safeIntCode == ERROR_ARITHMETIC_OVERFLOW)
        return HttpErrorOverflow;
    return HttpErrorArithmetic;
}

size_t length(const char* text) { return std::strlen(text); }
size_t length(const wchar_t* text) { return std::wcslen(text); }

}  // namespace

const char* ErrorMessageA(HttpClientErrorCode code) { return lookup(code).a; }
const wchar_t* ErrorMessageW(HttpClientErrorCode code) { return lookup(code).w; }

namespace detail {
template <class Ch>
void OwnedMessage<Ch>::set(const Ch* text) noexcept
{
    std::unique_ptr<Ch[]> copy;
    if (text) {
        const size_t n = length(text) + 1;
        copy.reset(new (std::nothrow) Ch[n]);
        if (copy)
            std::memcpy(copy.get(), text, n * sizeof(Ch));
    }
    text_ = std::move(copy);
}
template class OwnedMessage<char>;
template class OwnedMessage<wchar_t>;
}  // namespace detail

const char* errmsg_exceptionA::errmsg() const noexcept
{
    return message_.get() ? message_.get() : "NULL";
}

const wchar_t* errmsg_exceptionW::errmsg() const noexcept
{
    return message_.get() ? message_.get() : L"NULL";
}

void ThrowErrorW(HttpClientErrorCode code)
{
    throw httpclientexceptionW(ErrorMessageW(code), code, 0);
}

void ThrowMessageW(const wchar_t* message)
{
    throw httpclientexceptionW(message, HttpErrorNotSpecified, 0);
}

void ThrowWin32ErrorW(const wchar_t* path, HttpClientErrorCode code, DWORD lastError)
{
    if (!path)
        throw httpclientexceptionW(ErrorMessageW(code), code, lastError);
    std::wstring message;
    try {
        message = withPath(ErrorMessageW(code), path);
    } catch (const std::bad_alloc&) {
        throw httpclientexceptionW(ErrorMessageW(code), code, lastError);
    }
    throw httpclientexceptionW(message.c_str(), code, lastError);
}

void ThrowAnsiMessageW(const char* message, HttpClientErrorCode code, DWORD lastError)
{
    std::unique_ptr<wchar_t[]> wide;
    if (message) {
        const int n = MultiByteToWideChar(CP_ACP, 0, message, -1, nullptr, 0);
        if (n > 0) {
            wide.reset(new (std::nothrow) wchar_t[n]);
            if (wide && MultiByteToWideChar(CP_ACP, 0, message, -1, wide.get(), n) != n)
                wide.reset();
        }
    }
    throw httpclientexceptionW(wide.get(), code, lastError);
}

void RethrowAsW(const httpclientexceptionA& e)
{
    ThrowAnsiMessageW(e.errmsg(), e.ErrorCode, e.LastError);
}

void ThrowSafeIntErrorW(DWORD code) { ThrowErrorW(safeIntCode(code)); }

void ThrowErrorA(HttpClientErrorCode code)
{
    throw httpclientexceptionA(ErrorMessageA(code), code, 0);
}

void ThrowMessageA(const char* message)
{
    throw httpclientexceptionA(message, HttpErrorNotSpecified, 0);
}

void ThrowWin32ErrorA(HttpClientErrorCode code, DWORD lastError)
{
    throw httpclientexceptionA(ErrorMessageA(code), code, lastError);
}

void ThrowSafeIntErrorA(DWORD code) { ThrowErrorA(safeIntCode(code)); }

}  // namespace Tesmo
