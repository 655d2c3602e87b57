#include "common/dib_section.h"

#include "kesh/failure_log.h"
#include "kesh/string.h"

BITMAPINFO DibInfo(int width, int height, RowOrder order, WORD bitsPerPixel)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = order == RowOrder::TopDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

kesh::win::Bitmap DibSection(int width, int height, RowOrder order, void** bits, WORD bitsPerPixel)
{
    const BITMAPINFO info = DibInfo(width, height, order, bitsPerPixel);
    void* pixels = nullptr;
    kesh::win::Bitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!section.isValid()) {
        const DWORD error = GetLastError();
        kesh::logError("CreateDIBSection", error,
                       kesh::String::format("%dx%d, %u bits", width, height, unsigned(bitsPerPixel)).c_str());
        pixels = nullptr;
    }
    if (bits)
        *bits = pixels;
    return section;
}

kesh::win::Bitmap TopDownSection(int width, int height, void** bits)
{
    return DibSection(width, height, RowOrder::TopDown, bits);
}
