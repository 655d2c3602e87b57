#include "editor/io/image_loader.h"

#include "common/gdiplus_handles.h"
#include "common/image_codecs.h"
#include "editor/core/save_format.h"
#include "kesh/file.h"

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

}  // namespace

bool LoadImageFile(const kesh::String& path, LoadedImage& out)
{
    GpBitmapHandle image;
    const Gdiplus::Status read = gp::GdipCreateBitmapFromFile(kesh::Wide(path).c_str(), image.Receive());
    if (read != Gdiplus::Ok || !image.isValid()) {
        LogGdiplusFailure("GdipCreateBitmapFromFile", read, path);
        return false;
    }

    UINT width = 0, height = 0;
    gp::GdipGetImageRawFormat(image, &out.rawFormat);
    gp::GdipGetImageWidth(image, &width);
    gp::GdipGetImageHeight(image, &height);
    out.size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
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
