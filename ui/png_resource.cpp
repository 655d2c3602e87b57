#include "ui/png_resource.h"

#include "ui/strings.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

namespace ui {

boost::shared_ptr<Gdiplus::Bitmap> LoadPngResource(UINT id)
{
    const HINSTANCE instance = ResourceInstance();
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), L"PNG");
    if (!found)
        return {};
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return {};
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (!block)
        return {};
    std::memcpy(reinterpret_cast<void*>(block), bytes, size);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
        GlobalFree(block);
        return {};
    }
    Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
    stream->Release();
    if (!bitmap) {
        GlobalFree(block);
        return {};
    }
    return boost::shared_ptr<Gdiplus::Bitmap>(bitmap, [block](Gdiplus::Bitmap* b) {
        delete b;
        GlobalFree(block);
    });
}

}  // namespace ui
