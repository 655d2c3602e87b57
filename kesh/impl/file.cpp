#include "kesh/file.h"

#include "kesh/error.h"

#include <windows.h>

namespace kesh {
namespace fs {
namespace impl {

File::File(const Path& path) : path_(path) {}

File::~File()
{
    close();
}

void File::reportFailure(unsigned long win32Code) const
{
    const IFile* key = this;
    if (isErrorCaught(key)) reportError(key, systemError(win32Code));
}

bool File::checkOpen() const
{
    if (handle_.isValid()) return true;
    reportFailure(ERROR_INVALID_HANDLE);
    return false;
}

unsigned File::read(void* buffer, unsigned count)
{
    if (!checkOpen()) return 0;
    DWORD done = 0;
    if (!ReadFile(handle_, buffer, count, &done, nullptr)) reportFailure(GetLastError());
    return done;
}

unsigned File::write(const void* buffer, unsigned count)
{
    if (!checkOpen()) return 0;
    DWORD done = 0;
    if (!WriteFile(handle_, buffer, count, &done, nullptr)) reportFailure(GetLastError());
    return done;
}

Path File::getPath()
{
    return path_;
}

bool File::open(bool readOnly, int mode)
{
    close();
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (!readOnly) {
        access |= GENERIC_WRITE;
        if (mode == OpenAlways) disposition = OPEN_ALWAYS;
        if (mode == CreateNew) disposition = CREATE_NEW;
    }
    HANDLE h = CreateFileW(path_.toString().toWide().get(), access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        reportFailure(GetLastError());
        return false;
    }
    handle_.Attach(h);
    return true;
}

bool File::isOpen()
{
    return handle_.isValid();
}

bool File::close()
{
    // Closed here, not by the guard: the guard's release drops the result.
    if (!handle_.isValid()) return false;
    return CloseHandle(handle_.Detach()) != FALSE;
}

bool File::isEof()
{
    const unsigned long long at = position();
    return at >= size();
}

unsigned long long File::size()
{
    if (!checkOpen()) return 0;
    LARGE_INTEGER n;
    if (!GetFileSizeEx(handle_, &n)) {
        reportFailure(GetLastError());
        return 0;
    }
    return static_cast<unsigned long long>(n.QuadPart);
}

bool File::seek(unsigned long long position)
{
    if (!checkOpen()) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) {
        reportFailure(GetLastError());
        return false;
    }
    return true;
}

unsigned long long File::position()
{
    if (!checkOpen()) return 0;
    LARGE_INTEGER zero, at;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(handle_, zero, &at, FILE_CURRENT)) {
        reportFailure(GetLastError());
        return 0;
    }
    return static_cast<unsigned long long>(at.QuadPart);
}

bool File::truncate(unsigned long long size)
{
    if (!checkOpen()) return false;
    const unsigned long long kept = position();
    if (!seek(size)) return false;
    if (!SetEndOfFile(handle_)) {
        reportFailure(GetLastError());
        return false;
    }
    return seek(kept);
}

}  // namespace impl
}  // namespace fs
}  // namespace kesh
