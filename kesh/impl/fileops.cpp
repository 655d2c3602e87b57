#include "kesh/file.h"

#include "kesh/bytearray.h"
#include "kesh/error.h"
#include "kesh/failure_log.h"

#include <boost/make_shared.hpp>

#include <direct.h>
#include <errno.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

namespace kesh {
namespace fs {

namespace {

const unsigned kCopyBlock = 0x10000;

// Moves every byte of source into destination; false at the first failure
// either side reports or at a short write.
bool transfer(IFile& source, IFile& destination)
{
    ErrorCatcher sourceErrors(&source);
    ErrorCatcher destinationErrors(&destination);
    ByteArray block;
    unsigned char* buffer = block.data(kCopyBlock);
    if (!buffer) return false;
    // The read loop alone decides where the data ends: a size of 0, or one
    // the system cannot tell, does not mean the source is empty.
    for (;;) {
        const unsigned got = source.read(buffer, kCopyBlock);
        if (sourceErrors.getError().code != ErrorNone) return false;
        if (got == 0) return true;
        const unsigned put = destination.write(buffer, got);
        if (destinationErrors.getError().code != ErrorNone || put != got) return false;
    }
}

}  // namespace

bool exists(const String& path)
{
    return _waccess(path.toWide().get(), 0) == 0;
}

unsigned long long size(const String& path)
{
    struct _stat64 info;
    if (_wstat64(path.toWide().get(), &info) != 0) return 0;
    return static_cast<unsigned long long>(info.st_size);
}

bool remove(const String& path)
{
    if (_wremove(path.toWide().get()) == 0) return true;
    // Nothing there is nothing to report: callers clear away files that may
    // never have been made.
    const DWORD error = GetLastError();
    if (errno != ENOENT) logError("kesh::fs::remove", error, path.c_str());
    return false;
}

boost::shared_ptr<IFile> open(const String& path)
{
    return boost::make_shared<impl::File>(Path(path));
}

bool copy(const String& source, const String& destination)
{
    boost::shared_ptr<IFile> from = open(source);
    if (!from->open(true, 0)) return false;
    boost::shared_ptr<IFile> to = open(destination);
    if (!to->open(false, CreateNew)) return false;
    if (transfer(*from, *to)) return true;
    // The destination was created by this call: take the partial copy away.
    to->close();
    remove(to->getPath().toString());
    return false;
}

bool createDirectory(const String& path, bool recursive)
{
    if (exists(path)) return true;
    if (recursive) {
        const Path parent = Path(path).parent();
        if (parent.isEmpty()) {
            logError("kesh::fs::createDirectory", ERROR_SUCCESS, path.c_str());
            return false;
        }
        // A parent that cannot be made has left its own line.
        if (!exists(parent.toString()) && !createDirectory(parent.toString(), true)) return false;
    }
    if (_wmkdir(path.toWide().get()) == 0) return true;
    logLastError("kesh::fs::createDirectory", path.c_str());
    return false;
}

}  // namespace fs
}  // namespace kesh
