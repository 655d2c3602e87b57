#include "editor/upload/client_id.h"

#include "kesh/file.h"
#include "kesh/path.h"
#include "kesh/property.h"
#include "kesh/uuid.h"

namespace {

constexpr unsigned kIdLength = 32;

bool IsHexId(const kesh::String& text)
{
    if (text.length() != kIdLength)
        return false;
    for (const char* c = text.c_str(); *c; ++c) {
        const bool hex = (*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'f') || (*c >= 'A' && *c <= 'F');
        if (!hex)
            return false;
    }
    return true;
}

}  // namespace

kesh::String ClientIdPathUnder(const kesh::String& home)
{
    kesh::fs::Path path(home);
    path.child("My Norpa/oid");
    return path.toString();
}

kesh::String LoadOrCreateOidAt(const kesh::String& path)
{
    const boost::shared_ptr<kesh::fs::IFile> file = kesh::fs::open(path);
    if (!file->open(false, kesh::fs::OpenAlways))
        return kesh::String();
    if (file->size() == kIdLength) {
        kesh::String kept;
        char* buffer = kept.getBuffer(kIdLength);
        if (buffer)
            file->read(buffer, kIdLength);
        if (IsHexId(kept))
            return kept;
    }
    file->truncate(0);
    file->seek(0);
    const kesh::String id = kesh::util::generateUuid().toHex();
    file->write(id.c_str(), id.length());
    return id;
}

kesh::String LoadOrCreateOid()
{
    return LoadOrCreateOidAt(ClientIdPathUnder(kesh::sys::getProperty("user.home", "")));
}
