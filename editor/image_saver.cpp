#include "editor/image_saver.h"

#include "editor/dib_export.h"
#include "editor/image_codecs.h"
#include "editor/image_formats.h"
#include "kesh/path.h"

#include <cstring>

namespace gp = Gdiplus::DllExports;

void GpBitmapDisposer::operator()(Gdiplus::GpBitmap* bitmap) const
{
    gp::GdipDisposeImage(bitmap);
}

namespace {

// Copies the 32-bit rows of dib into a new 32bppARGB bitmap, top row first.
ConvertedBitmap CopyRows(const PackedDib& dib)
{
    ConvertedBitmap out;
    const INT width = dib.header().biWidth;
    const INT height = std::abs(static_cast<INT>(dib.header().biHeight));
    Gdiplus::GpBitmap* created = nullptr;
    out.status = gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &created);
    out.bitmap.reset(created);
    if (out.status != Gdiplus::Ok) return out;

    const Gdiplus::GpRect whole(0, 0, width, height);
    Gdiplus::BitmapData locked = {};
    out.status = gp::GdipBitmapLockBits(created, &whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &locked);
    if (out.status != Gdiplus::Ok) return out;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    BYTE* target = static_cast<BYTE*>(locked.Scan0);
    for (INT y = 0; y < height; ++y) {
        std::memcpy(target + static_cast<std::ptrdiff_t>(y) * locked.Stride, dib.rowFromTop(static_cast<unsigned>(y)),
                    rowBytes);
    }
    const Gdiplus::Status unlocked = gp::GdipBitmapUnlockBits(created, &locked);
    if (unlocked != Gdiplus::Ok) out.status = unlocked;
    return out;
}

}  // namespace

ConvertedBitmap BitmapFromHBITMAP(HBITMAP bitmap)
{
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) != static_cast<int>(sizeof(info))) {
        return ConvertedBitmap{nullptr, Gdiplus::InvalidParameter};
    }
    if (info.bmBitsPixel == 32) {
        PackedDib dib;
        if (!dib.read(bitmap) || dib.header().biBitCount != 32) return ConvertedBitmap{nullptr, Gdiplus::GenericError};
        return CopyRows(dib);
    }
    ConvertedBitmap out;
    Gdiplus::GpBitmap* created = nullptr;
    out.status = gp::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &created);
    out.bitmap.reset(created);
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
    case SaveImageResult::NoEncoder: return kMsgFormatNotSupported;
    case SaveImageResult::NoBitmap: return kMsgCannotCreateBitmap;
    case SaveImageResult::WriteFailed: return kMsgSaveFailed;
    }
    return kMsgSaveFailed;
}

SaveImageResult SaveBitmapAsImage(HBITMAP bitmap, const kesh::String& target, ULONG quality, const GUID& format)
{
    ImageCodecEntry encoder;
    if (!FindImageEncoder(encoder, format)) return SaveImageResult::NoEncoder;
    const ConvertedBitmap converted = BitmapFromHBITMAP(bitmap);
    if (converted.status != Gdiplus::Ok || !converted.bitmap) return SaveImageResult::NoBitmap;
    const EncoderParameterBlock parameters(format, quality);
    const Gdiplus::Status saved =
        gp::GdipSaveImageToFile(converted.bitmap.get(), target.toWide().get(), &encoder.clsid, parameters.get());
    return saved == Gdiplus::Ok ? SaveImageResult::Saved : SaveImageResult::WriteFailed;
}

bool IsSameImagePath(const kesh::String& a, const kesh::String& b)
{
    const kesh::String left = kesh::fs::Path(a).toString();
    const kesh::String right = kesh::fs::Path(b).toString();
    // Texts the system cannot resolve name no file, so not the same one.
    if (left.isEmpty() || right.isEmpty()) return false;
    return left.compare(right.c_str(), true) == 0;
}
