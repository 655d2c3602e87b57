#include "editor/io/image_saver.h"

#include "kesh/path.h"

int SaveFailureMessageId(SaveImageResult result)
{
    switch (result) {
    case SaveImageResult::Saved: return 0;
    case SaveImageResult::NoEncoder: return IDS_SAVE_FORMAT_UNSUPPORTED;
    case SaveImageResult::NoBitmap: return IDS_SAVE_NO_BITMAP;
    case SaveImageResult::WriteFailed: return IDS_SAVE_FAILED;
    }
    return IDS_SAVE_FAILED;
}

bool IsSameImagePath(const kesh::String& a, const kesh::String& b)
{
    const kesh::String left = kesh::fs::Path(a).toString();
    const kesh::String right = kesh::fs::Path(b).toString();
    // Texts the system cannot resolve name no file, so not the same one.
    if (left.isEmpty() || right.isEmpty()) return false;
    return left.compare(right.c_str(), true) == 0;
}
