#include "editor/io/image_loader.h"

#include "common/gdiplus_handles.h"
#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "common/image_header.h"
#include "editor/core/save_format.h"
#include "kesh/file.h"

#include <algorithm>
#include <climits>

namespace gp = Gdiplus::DllExports;

namespace {

bool hasSeveralFrames(Gdiplus::GpImage* image)
{
    UINT dimensions = 0;
    if (gp::GdipImageGetFrameDimensionsCount(image, &dimensions) != Gdiplus::Ok)
        return false;
    if (dimensions > 1)
        return true;
    if (dimensions == 0)
        return false;
    GUID dimension = {};
    UINT frames = 0;
    if (gp::GdipImageGetFrameDimensionsList(image, &dimension, 1) != Gdiplus::Ok ||
        gp::GdipImageGetFrameCount(image, &dimension, &frames) != Gdiplus::Ok)
        return false;
    return frames > 1;
}

using GpImageHandle = GdiplusHandle<Gdiplus::GpImage, gp::GdipDisposeImage>;

bool metafileSize(const kesh::String& path, SIZE& size)
{
    GpImageHandle image;
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    UINT width = 0, height = 0;
    if (gp::GdipLoadImageFromFile(kesh::Wide(path).c_str(), image.Receive()) != Gdiplus::Ok || !image.isValid() ||
        gp::GdipGetImageType(image, &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeMetafile ||
        gp::GdipGetImageWidth(image, &width) != Gdiplus::Ok || gp::GdipGetImageHeight(image, &height) != Gdiplus::Ok ||
        width > LONG_MAX || height > LONG_MAX)
        return false;
    size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    return true;
}

// The size header declares for the file at path (ReadDeclaredImageSize).
bool declaredSize(const kesh::String& path, const ImageHeader& header, SIZE& size)
{
    switch (header.kind) {
    case ImageHeaderKind::Raster:
        size = header.size;
        return size.cx > 0 && size.cy > 0;
    case ImageHeaderKind::Metafile:
        return metafileSize(path, size);
    case ImageHeaderKind::Unrecognised:
        break;
    }
    return false;
}

}  // namespace

bool FitsTheEditor(SIZE size)
{
    return size.cx > 0 && size.cy > 0 &&
           static_cast<long long>(size.cx) * static_cast<long long>(size.cy) <= kMaxImagePixels;
}

bool ReadDeclaredImageSize(const kesh::String& path, SIZE& size)
{
    return declaredSize(path, ReadImageHeader(path), size);
}

bool LoadImageFile(const kesh::String& path, LoadedImage& out)
{
    const ImageHeader header = ReadImageHeader(path);
    SIZE declared = {};
    if (!declaredSize(path, header, declared) || !FitsTheEditor(declared))
        return false;
    GpBitmapHandle image;
    const Gdiplus::Status read = gp::GdipCreateBitmapFromFile(kesh::Wide(path).c_str(), image.Receive());
    if (read != Gdiplus::Ok || !image.isValid()) {
        LogGdiplusFailure("GdipCreateBitmapFromFile", read, path);
        return false;
    }

    UINT width = 0, height = 0;
    // What the file's own bytes are, where its header tells: GDI+ may name
    // another format (Wine's names an icon BMP), and saving over the file
    // in that format would put another kind of file under its name.
    if (header.kind == ImageHeaderKind::Raster)
        out.rawFormat = header.format;
    else
        gp::GdipGetImageRawFormat(image, &out.rawFormat);
    gp::GdipGetImageWidth(image, &width);
    gp::GdipGetImageHeight(image, &height);
    out.size = SIZE{static_cast<LONG>(std::min<UINT>(width, LONG_MAX)), static_cast<LONG>(std::min<UINT>(height, LONG_MAX))};
    // What the decoder made is held to the same bound as what the header
    // said (a drawing is made at a size of the decoder's choosing).
    if (!FitsTheEditor(out.size))
        return false;
    out.preferredFormat =
        PreferredSaveFormat(out.rawFormat, kesh::fs::size(path), static_cast<int>(width), static_cast<int>(height));

    HBITMAP bitmap = nullptr;
    const Gdiplus::Status made = gp::GdipCreateHBITMAPFromBitmap(image, &bitmap, 0x00FFFFFF);
    if (made != Gdiplus::Ok || !bitmap) {
        LogGdiplusFailure("GdipCreateHBITMAPFromBitmap", made, path);
        return false;
    }
    out.bitmap.Attach(bitmap);
    out.multiFrame = hasSeveralFrames(image);
    return true;
}
