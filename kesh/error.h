#pragma once

#include "kesh/string.h"

namespace kesh {

// Library error codes.
enum {
    ErrorNone = 0,
    ErrorNotFound = 1,
    ErrorAlreadyExists = 2,
    ErrorDiskFull = 3,
    ErrorAccessDenied = 4,
    ErrorInvalidHandle = 5,
    ErrorOther = 100
};

// What went wrong: the library's code (or the XML parser's own number) and
// the text, empty when there is none.
struct Error {
    int code = 0;
    String message;
};

namespace __ {
struct CatcherRecord;
}

// Watches one key on the calling thread while it lives: a failure that a
// library object reports under that key lands in getError(). Catchers of a
// thread nest strictly; the innermost one with a matching key receives the
// report, and a later report overwrites an earlier one. The key is compared
// by address only.
//
// Reporters read the system's error number right after the failing call,
// then ask isErrorCaught, and only then build the record: the error text is
// fetched only when somebody listens.
class ErrorCatcher {
public:
    explicit ErrorCatcher(const void* key);
    ~ErrorCatcher();
    ErrorCatcher(const ErrorCatcher&) = delete;
    ErrorCatcher& operator=(const ErrorCatcher&) = delete;

    const Error& getError() const;

private:
    __::CatcherRecord* record_;
};

// True when a catcher open on the calling thread watches key.
bool isErrorCaught(const void* key);

// Copies error into the innermost catcher of the calling thread that watches
// key; does nothing when there is none.
void reportError(const void* key, const Error& error);

// The library code for a Win32 error code, with the system's US English
// text for it (line end included; empty when the system has none).
Error systemError(unsigned long win32Code);

// The system's text for a Win32 error code or an HRESULT in language (a
// LANGID; 0 lets the system pick the user's), line end included; empty when
// the system has none.
String systemText(unsigned long code, unsigned short language = 0);

}  // namespace kesh
