#include "editor/io/replacing_write.h"

#include "kesh/file.h"

#include <windows.h>

bool WriteReplacing(const kesh::String& destination, const std::function<bool(const kesh::String& path)>& write)
{
    if (!kesh::fs::exists(destination)) {
        if (write(destination)) return true;
        kesh::fs::remove(destination);
        return false;
    }

    // Beside the destination, so that the final step stays on its volume.
    const kesh::String staged = destination + kesh::String::format(".%lu.saving", GetCurrentProcessId());
    kesh::fs::remove(staged);
    if (!write(staged)) {
        kesh::fs::remove(staged);
        return false;
    }
    const boost::shared_array<wchar_t> target = destination.toWide();
    const boost::shared_array<wchar_t> source = staged.toWide();
    // A plain move rather than ReplaceFileW, which under Wine leaves a
    // temporary file of its own behind when the replacement is refused.
    const DWORD attributes = GetFileAttributesW(target.get());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(source.get(), attributes);
    if (MoveFileExW(source.get(), target.get(), MOVEFILE_REPLACE_EXISTING)) return true;
    kesh::fs::remove(staged);
    return false;
}
