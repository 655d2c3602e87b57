#include "editor/image_file_copy.h"

#include "editor/image_saver.h"
#include "kesh/file.h"

#include <windows.h>

bool CopyImageFile(const kesh::String& source, const kesh::String& destination)
{
    if (IsSameImagePath(source, destination))
        return kesh::fs::exists(source);
    if (!kesh::fs::exists(destination))
        return kesh::fs::copy(source, destination);

    // Beside the destination, so that the final move stays on its volume.
    const kesh::String staged = destination + kesh::String::format(".%lu.copying", GetCurrentProcessId());
    kesh::fs::remove(staged);
    if (!kesh::fs::copy(source, staged))
        return false;
    if (!MoveFileExW(staged.toWide().get(), destination.toWide().get(), MOVEFILE_REPLACE_EXISTING)) {
        kesh::fs::remove(staged);
        return false;
    }
    return true;
}
