#include "editor/io/image_file_copy.h"

#include "editor/io/image_saver.h"
#include "common/replacing_write.h"
#include "kesh/file.h"

bool CopyImageFile(const kesh::String& source, const kesh::String& destination)
{
    if (IsSameImagePath(source, destination))
        return kesh::fs::exists(source);
    return WriteReplacing(destination, [&](const kesh::String& path) { return kesh::fs::copy(source, path); });
}
