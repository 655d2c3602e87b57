#include "common/image_writer.h"

#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "common/image_header.h"
#include "common/replacing_write.h"

#include <cstdlib>

namespace gp = Gdiplus::DllExports;

ConvertedBitmap BitmapFromHBITMAP(HBITMAP bitmap)
{
    ConvertedBitmap out;
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) != static_cast<int>(sizeof(info))) {
        out.status = Gdiplus::InvalidParameter;
        return out;
    }
    if (info.bmBitsPixel != 32) {
        out.status = gp::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, out.bitmap.Receive());
        return out;
    }
    if (!out.pixels.read(bitmap) || out.pixels.header().biBitCount != 32) {
        out.status = Gdiplus::GenericError;
        return out;
    }
    // The top row first: a bottom-up block is walked backwards from its last
    // stored row.
    const INT width = out.pixels.header().biWidth;
    const INT height = std::abs(static_cast<INT>(out.pixels.header().biHeight));
    const INT stride = static_cast<INT>(out.pixels.stride());
    BYTE* top = const_cast<BYTE*>(out.pixels.rowFromTop(0));
    out.status = gp::GdipCreateBitmapFromScan0(width, height, out.pixels.topDown() ? stride : -stride,
                                               PixelFormat32bppRGB, top, out.bitmap.Receive());
    return out;
}

EncoderParameterBlock::EncoderParameterBlock(const GUID& format, ULONG quality)
    : quality_(quality), used_(SameFormat(format, kImageFormatJPEG))
{
    list_.Count = 1;
    list_.Parameter[0].Guid = kEncoderQuality;
    list_.Parameter[0].NumberOfValues = 1;
    list_.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    list_.Parameter[0].Value = &quality_;
}

bool ReadsBackAs(const kesh::String& path, SIZE size, const GUID& format)
{
    const ImageHeader header = ReadImageHeader(path);
    if (header.kind != ImageHeaderKind::Raster || !SameFormat(header.format, format) || header.size.cx != size.cx ||
        header.size.cy != size.cy)
        return false;
    GpBitmapHandle image;
    UINT width = 0, height = 0;
    Gdiplus::ARGB last = 0;
    return gp::GdipCreateBitmapFromFile(kesh::Wide(path).c_str(), image.Receive()) == Gdiplus::Ok && image.isValid() &&
           gp::GdipGetImageWidth(image, &width) == Gdiplus::Ok && gp::GdipGetImageHeight(image, &height) == Gdiplus::Ok &&
           static_cast<LONG>(width) == size.cx && static_cast<LONG>(height) == size.cy &&
           gp::GdipBitmapGetPixel(image, static_cast<INT>(width) - 1, static_cast<INT>(height) - 1, &last) == Gdiplus::Ok;
}

SaveImageResult SaveBitmapAsImage(HBITMAP bitmap, const kesh::String& target, ULONG quality, const GUID& format)
{
    ImageCodecEntry encoder;
    if (!FindImageEncoder(encoder, format)) return SaveImageResult::NoEncoder;
    const ConvertedBitmap converted = BitmapFromHBITMAP(bitmap);
    if (converted.status != Gdiplus::Ok || !converted.bitmap.isValid()) {
        LogGdiplusFailure("BitmapFromHBITMAP", converted.status, target);
        return SaveImageResult::NoBitmap;
    }
    const EncoderParameterBlock parameters(format, quality);
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(converted.bitmap, &width);
    gp::GdipGetImageHeight(converted.bitmap, &height);
    const SIZE size = {static_cast<LONG>(width), static_cast<LONG>(height)};
    const bool saved = WriteReadableImage(target, size, format, [&](const kesh::String& path) {
        const Gdiplus::Status written =
            gp::GdipSaveImageToFile(converted.bitmap, kesh::Wide(path).c_str(), &encoder.clsid, parameters.get());
        if (written != Gdiplus::Ok) LogGdiplusFailure("GdipSaveImageToFile", written, path);
        return written == Gdiplus::Ok;
    });
    return saved ? SaveImageResult::Saved : SaveImageResult::WriteFailed;
}

bool WriteReadableImage(const kesh::String& target, SIZE size, const GUID& format,
                        const std::function<bool(const kesh::String& path)>& write)
{
    return WriteReplacing(target,
                          [&](const kesh::String& path) { return write(path) && ReadsBackAs(path, size, format); });
}
