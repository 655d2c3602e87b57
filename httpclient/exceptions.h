#pragma once

// The one exception type of the HTTP client and its numeric codes.
//
// Every failure of the client reaches its callers as a
// Tesmo::httpclientexceptionW: ErrorCode (a code of the table below),
// LastError (the Win32 error of the call that failed, 0 when none) and a wide
// message, read through errmsg(). The 8-bit family is thrown only inside the
// 8-bit tool layer and is turned into the wide one before it leaves the tool.
//
// Argument and state checks throw code 0 with a text of their own: the class,
// "::", the operation, ": " and the reason.

#include <windows.h>

#include <exception>
#include <memory>

namespace Tesmo {

typedef int HttpClientErrorCode;

enum : HttpClientErrorCode {
    HttpErrorNotSpecified = 0,
    HttpErrorUnexpected = 100,
    HttpErrorIndexOutOfRange = 101,
    HttpErrorOutOfMemory = 102,
    HttpErrorInvalidUrl = 103,
    HttpErrorPostNotStarted = 104,
    HttpErrorFileReadShort = 105,
    HttpErrorPostNotFinished = 106,
    HttpErrorInvalidPort = 107,
    HttpErrorStdException = 108,
    HttpErrorInvalidEncodedUrl = 109,
    HttpErrorInvalidUtf8 = 110,
    HttpErrorArithmetic = 111,
    HttpErrorOverflow = 112,
    HttpErrorDivideByZero = 113,
    HttpErrorFileExists = 114,
    HttpErrorQueryInfo = 400,
    HttpErrorInternetReadFile = 401,
    HttpErrorInternetOpen = 402,
    HttpErrorInternetConnect = 403,
    HttpErrorOpenRequest = 404,
    HttpErrorAddRequestHeaders = 405,
    HttpErrorSendRequest = 406,
    HttpErrorSendRequestEx = 407,
    HttpErrorInternetWriteFile = 408,
    HttpErrorEndRequest = 409,
    HttpErrorSetOption = 410,
    HttpErrorWideCharToMultiByte = 600,
    HttpErrorMultiByteToWideChar = 601,
    HttpErrorReadFile = 602,
    HttpErrorOpenFile = 603,
    HttpErrorSetFilePointer = 604,
    HttpErrorGetFileSize = 605,
    HttpErrorWriteFile = 606,
};

// The code's text. Codes of 1000 and more give "user-defined error message";
// a code the table does not list (negative ones included) gives "".
const char* ErrorMessageA(HttpClientErrorCode code);
const wchar_t* ErrorMessageW(HttpClientErrorCode code);

namespace detail {
// A message text: a heap copy owned by the exception, or absent.
template <class Ch>
class OwnedMessage {
public:
    OwnedMessage() = default;
    OwnedMessage(const OwnedMessage& other) { set(other.get()); }
    OwnedMessage& operator=(const OwnedMessage& other)
    {
        set(other.get());
        return *this;
    }
    const Ch* get() const { return text_.get(); }
    // The copy is made before the old text goes, so a text taken from this
    // very message survives; when the copy cannot be made the message is
    // left absent.
    void set(const Ch* text) noexcept;

private:
    std::unique_ptr<Ch[]> text_;
};
}  // namespace detail

class errmsg_exceptionA : public std::exception {
public:
    errmsg_exceptionA() = default;
    explicit errmsg_exceptionA(const char* message) { seterrmsg(message); }
    ~errmsg_exceptionA() override = default;
    const char* what() const noexcept override { return errmsg(); }
    // The message, or "NULL" when there is none.
    virtual const char* errmsg() const noexcept;
    virtual void seterrmsg(const char* message) noexcept { message_.set(message); }

private:
    detail::OwnedMessage<char> message_;
};

class errmsg_exceptionW : public std::exception {
public:
    errmsg_exceptionW() = default;
    explicit errmsg_exceptionW(const wchar_t* message) { seterrmsg(message); }
    ~errmsg_exceptionW() override = default;
    const char* what() const noexcept override { return "errmsg_exceptionW"; }
    // The message, or L"NULL" when there is none.
    virtual const wchar_t* errmsg() const noexcept;
    virtual void seterrmsg(const wchar_t* message) noexcept { message_.set(message); }

private:
    detail::OwnedMessage<wchar_t> message_;
};

class httpclientexceptionA : public errmsg_exceptionA {
public:
    httpclientexceptionA(const char* message, HttpClientErrorCode code, DWORD lastError)
        : errmsg_exceptionA(message), ErrorCode(code), LastError(lastError)
    {
    }

    HttpClientErrorCode ErrorCode;
    DWORD LastError;
};

class httpclientexceptionW : public errmsg_exceptionW {
public:
    httpclientexceptionW(const wchar_t* message, HttpClientErrorCode code, DWORD lastError)
        : errmsg_exceptionW(message), ErrorCode(code), LastError(lastError)
    {
    }
    const char* what() const noexcept override { return "httpclientexceptionW"; }

    HttpClientErrorCode ErrorCode;
    DWORD LastError;
};

// Wide throws.
[[noreturn]] void ThrowErrorW(HttpClientErrorCode code);
[[noreturn]] void ThrowMessageW(const wchar_t* message);
// With a path, the code's text takes the path in place of its "%s" (texts
// 603 and 605), cut at 511 characters; without one it is the plain text.
[[noreturn]] void ThrowWin32ErrorW(const wchar_t* path, HttpClientErrorCode code, DWORD lastError);
// The message is the 8-bit text widened from the ANSI code page; when the
// widening fails the exception carries no message.
[[noreturn]] void ThrowAnsiMessageW(const char* message, HttpClientErrorCode code, DWORD lastError);
[[noreturn]] void RethrowAsW(const httpclientexceptionA& e);
// Code of a guarded-arithmetic failure: 0xC0000094 throws 113, 534 throws
// 112, anything else 111.
[[noreturn]] void ThrowSafeIntErrorW(DWORD safeIntCode);

// 8-bit throws (the tool's 8-bit layer only).
[[noreturn]] void ThrowErrorA(HttpClientErrorCode code);
[[noreturn]] void ThrowMessageA(const char* message);
[[noreturn]] void ThrowWin32ErrorA(HttpClientErrorCode code, DWORD lastError);
[[noreturn]] void ThrowSafeIntErrorA(DWORD safeIntCode);

}  // namespace Tesmo
