#include "ui/png_resource.h"

#include "kesh/handles.h"
#include "ui/strings.h"

#include <boost/make_shared.hpp>

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
    const auto block = boost::make_shared<kesh::win::GlobalMemory>(GlobalAlloc(GMEM_FIXED, size));
    if (!block->isValid())
        return {};
    std::memcpy(reinterpret_cast<void*>(block->get()), bytes, size);
    // The bitmap holds the stream as long as it reads from it.
    kesh::win::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(*block, FALSE, stream.Receive())))
        return {};
    Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
    if (!bitmap)
        return {};
    return boost::shared_ptr<Gdiplus::Bitmap>(bitmap, [block](Gdiplus::Bitmap* b) {
        delete b;
        block->reset();
    });
}

}  // namespace ui
