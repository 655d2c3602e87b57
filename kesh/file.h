#pragma once

#include "kesh/handles.h"
#include "kesh/io.h"
#include "kesh/path.h"

#include <boost/shared_ptr.hpp>

namespace kesh {
namespace fs {

// Open modes for IFile::open when not read-only.
enum {
    OpenExisting = 0,  // read and write a file that exists
    OpenAlways = 1,    // read and write, creating the file when missing
    CreateNew = 2      // read and write a new file; fails when it exists
};

// A file on disk with byte I/O and 64-bit random access. Every failure of
// read, write, open, size, seek, position, truncate and isEof is reported to
// an error catcher on the calling thread keyed by this IFile's address
// (kesh/error.h); on a closed file those report code 5 without asking the
// system. One thread at a time.
class IFile : public IIO, public IRandomAccess {
public:
    virtual Path getPath() = 0;
    // Closes first when open. readOnly opens an existing file for reading;
    // otherwise for reading and writing with mode OpenExisting, OpenAlways or
    // CreateNew (any other mode counts as OpenExisting). Others may read the
    // file while it is open, nobody may write it. On failure the file stays
    // closed.
    virtual bool open(bool readOnly, int mode) = 0;
    virtual bool isOpen() = 0;
    // False, and no report, when not open.
    virtual bool close() = 0;
    // position() >= size().
    virtual bool isEof() = 0;
};

namespace impl {

// The file object behind open(). Closes its handle when destroyed.
class File : public IFile {
public:
    explicit File(const Path& path);
    ~File() override;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    unsigned read(void* buffer, unsigned count) override;
    unsigned write(const void* buffer, unsigned count) override;
    Path getPath() override;
    bool open(bool readOnly, int mode) override;
    bool isOpen() override;
    bool close() override;
    bool isEof() override;
    unsigned long long size() override;
    bool seek(unsigned long long position) override;
    unsigned long long position() override;
    // Sets the end of the file at size; the position stays where it was.
    bool truncate(unsigned long long size) override;

private:
    bool checkOpen() const;
    void reportFailure(unsigned long win32Code) const;

    const Path path_;
    win::KernelHandle handle_;
};

}  // namespace impl

// These take path texts as given (no normalising) and report to no catcher.
// A removal or a folder that fails leaves its line on the log
// (kesh/failure_log.h), so that no caller needs to; removing a file that is
// not there fails without one.

// A file or a folder exists at path.
bool exists(const String& path);
// The file's size; 0 when it cannot be read.
unsigned long long size(const String& path);
// Removes a file (not a folder).
bool remove(const String& path);
// A new closed file object for Path(path). Never empty.
boost::shared_ptr<IFile> open(const String& path);
// Copies source into destination, which must not exist yet. On failure after
// destination was created, destination is removed again, so no partial copy
// remains under its name.
bool copy(const String& source, const String& destination);
// Makes the folder at path (and, when recursive, every missing folder above
// it). True when something already exists there, file or folder.
bool createDirectory(const String& path, bool recursive);

}  // namespace fs
}  // namespace kesh
