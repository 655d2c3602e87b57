#include "kesh/error.h"

#include "kesh/handles.h"

#include <windows.h>

namespace kesh {

namespace __ {

struct CatcherRecord {
    CatcherRecord* next;
    const void* key;
    Error error;
};

namespace {
thread_local CatcherRecord* catcherListHead = nullptr;

CatcherRecord* findRecord(const void* key)
{
    for (CatcherRecord* r = catcherListHead; r; r = r->next)
        if (r->key == key) return r;
    return nullptr;
}
}  // namespace

}  // namespace __

ErrorCatcher::ErrorCatcher(const void* key) : record_(new __::CatcherRecord{__::catcherListHead, key, Error()})
{
    __::catcherListHead = record_;
}

ErrorCatcher::~ErrorCatcher()
{
    __::catcherListHead = record_->next;
    delete record_;
}

const Error& ErrorCatcher::getError() const
{
    return record_->error;
}

bool isErrorCaught(const void* key)
{
    return __::findRecord(key) != nullptr;
}

void reportError(const void* key, const Error& error)
{
    if (__::CatcherRecord* r = __::findRecord(key)) r->error = error;
}

Error systemError(unsigned long win32Code)
{
    Error e;
    switch (win32Code) {
    case ERROR_SUCCESS: e.code = ErrorNone; break;
    case ERROR_FILE_NOT_FOUND: e.code = ErrorNotFound; break;
    case ERROR_ALREADY_EXISTS: e.code = ErrorAlreadyExists; break;
    case ERROR_HANDLE_DISK_FULL: e.code = ErrorDiskFull; break;
    case ERROR_ACCESS_DENIED: e.code = ErrorAccessDenied; break;
    case ERROR_INVALID_HANDLE: e.code = ErrorInvalidHandle; break;
    default: e.code = ErrorOther; break;
    }
    e.message = systemText(win32Code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    return e;
}

String systemText(unsigned long code, unsigned short language)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                       FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                   nullptr, code, language, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const win::LocalMemory owned(text);
    return n && text ? String(text, n) : String();
}

}  // namespace kesh
