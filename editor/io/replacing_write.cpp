#include "editor/io/replacing_write.h"

#include "kesh/file.h"

#include <windows.h>

bool WriteReplacing(const kesh::String& destination, const std::function<bool(const kesh::String& path)>& write)
{
    const std::wstring target = kesh::Wide(destination);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    // Windows refuses to move over a read-only file (Wine replaces it): refused
    // here alike, before anything is written.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;

    // Beside the destination, so that the final step stays on its volume. A
    // new file is staged too: under its own name it would stand half-written
    // (and could be opened by another program) while it is written and
    // checked.
    const kesh::String staged = destination + kesh::String::format(".%lu.saving", GetCurrentProcessId());
    kesh::fs::remove(staged);
    if (!write(staged)) {
        kesh::fs::remove(staged);
        return false;
    }
    const std::wstring source = kesh::Wide(staged);
    // The attributes go onto the staged file without the read-only mark,
    // which would keep it from being removed should the move be refused.
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(source.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    // A plain move rather than ReplaceFileW, which under Wine leaves a
    // temporary file of its own behind when the replacement is refused.
    const bool moved = MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    kesh::fs::remove(staged);  // whatever the move did
    return moved;
}
