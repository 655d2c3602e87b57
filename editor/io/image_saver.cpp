#include "editor/io/image_saver.h"

#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "editor/io/image_loader.h"
#include "editor/io/replacing_write.h"
#include "kesh/path.h"

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

bool IsSameImagePath(const kesh::String& a, const kesh::String& b)
{
    const kesh::String left = kesh::fs::Path(a).toString();
    const kesh::String right = kesh::fs::Path(b).toString();
    // Texts the system cannot resolve name no file, so not the same one.
    if (left.isEmpty() || right.isEmpty()) return false;
    return left.compare(right.c_str(), true) == 0;
}
