#include "editor/io/image_loader.h"

#include "editor/core/save_format.h"
#include "kesh/file.h"

#include <gdiplus.h>

#include <memory>

namespace gp = Gdiplus::DllExports;

namespace {

struct ImageDisposer {
    void operator()(Gdiplus::GpImage* image) const { gp::GdipDisposeImage(image); }
};
using ImagePtr = std::unique_ptr<Gdiplus::GpImage, ImageDisposer>;

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

}  // namespace

bool LoadImageFile(const kesh::String& path, LoadedImage& out)
{
    Gdiplus::GpBitmap* created = nullptr;
    const Gdiplus::Status status = gp::GdipCreateBitmapFromFile(path.toWide().get(), &created);
    ImagePtr image(created);
    if (status != Gdiplus::Ok || !image)
        return false;

    UINT width = 0, height = 0;
    gp::GdipGetImageRawFormat(image.get(), &out.rawFormat);
    gp::GdipGetImageWidth(image.get(), &width);
    gp::GdipGetImageHeight(image.get(), &height);
    out.size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    out.preferredFormat =
        PreferredSaveFormat(out.rawFormat, kesh::fs::size(path), static_cast<int>(width), static_cast<int>(height));

    HBITMAP bitmap = nullptr;
    if (gp::GdipCreateHBITMAPFromBitmap(created, &bitmap, 0x00FFFFFF) != Gdiplus::Ok || !bitmap)
        return false;
    out.bitmap.Attach(bitmap);
    out.multiFrame = hasSeveralFrames(image.get());
    return true;
}
