#include "editor/image_formats.h"
#include "editor/image_saver.h"

#include "editor_test_support.h"
#include "kesh/file.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace editortest;
using kesh::String;

namespace {

namespace gp = Gdiplus::DllExports;

// The file decoded by GDI+: its size and every pixel as ARGB.
struct Decoded {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint32_t> pixels;
};

bool Decode(const String& path, Decoded& out)
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromFile(path.toWide().get(), &bitmap) != Gdiplus::Ok) return false;
    GpBitmapPtr owned(bitmap);
    gp::GdipGetImageWidth(bitmap, &out.width);
    gp::GdipGetImageHeight(bitmap, &out.height);
    for (UINT y = 0; y < out.height; ++y) {
        for (UINT x = 0; x < out.width; ++x) {
            Gdiplus::ARGB argb = 0;
            gp::GdipBitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &argb);
            out.pixels.push_back(argb);
        }
    }
    return true;
}

void ExpectSamePixels(const Decoded& decoded, int width, int height, std::uint32_t mask)
{
    ASSERT_EQ(static_cast<UINT>(width), decoded.width);
    ASSERT_EQ(static_cast<UINT>(height), decoded.height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(PixelAt(x, y) & mask, decoded.pixels[static_cast<size_t>(y) * width + x] & mask) << x << "," << y;
        }
    }
}

}  // namespace

TEST(SaveImageRoundTrip, PngKeepsEveryPixelAndTheOrientation)
{
    TempFolder folder;
    struct Case {
        const char* name;
        OwnedBitmap bitmap;
        std::uint32_t mask;
    } cases[] = {
        {"bottom_up.png", MakeSection32(7, 4, false), 0xFFFFFFFFu},
        {"top_down.png", MakeSection32(7, 4, true), 0xFFFFFFFFu},
        {"device.png", MakeDeviceBitmap32(7, 4), 0x00FFFFFFu},
        {"rgb24.png", MakeSection24(7, 4), 0x00FFFFFFu},
        {"rgb24_top_down.png", MakeSection24(7, 4, true), 0x00FFFFFFu},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.bitmap);
        const String path = folder.path(c.name);
        ASSERT_EQ(SaveImageResult::Saved, SaveBitmapAsImage(c.bitmap.get(), path, 90, kImageFormatPNG));
        Decoded decoded;
        ASSERT_TRUE(Decode(path, decoded));
        ExpectSamePixels(decoded, 7, 4, c.mask);
    }
}

TEST(SaveImageRoundTrip, JpegWritesAFileOfTheImageSize)
{
    TempFolder folder;
    OwnedBitmap bitmap = MakeSection32(16, 9, false);
    const String path = folder.path("out.jpg");
    ASSERT_EQ(SaveImageResult::Saved, SaveBitmapAsImage(bitmap.get(), path, 30, kImageFormatJPEG));
    Decoded decoded;
    ASSERT_TRUE(Decode(path, decoded));
    EXPECT_EQ(16u, decoded.width);
    EXPECT_EQ(9u, decoded.height);
}

TEST(SaveImageFailures, EachFailureHasItsOwnResultAndWritesNothing)
{
    TempFolder folder;
    OwnedBitmap bitmap = MakeSection32(4, 4, false);

    const String noEncoder = folder.path("icon.ico");
    EXPECT_EQ(SaveImageResult::NoEncoder, SaveBitmapAsImage(bitmap.get(), noEncoder, 90, kImageFormatIcon));
    EXPECT_FALSE(kesh::fs::exists(noEncoder));

    const String noBitmap = folder.path("none.png");
    EXPECT_EQ(SaveImageResult::NoBitmap, SaveBitmapAsImage(nullptr, noBitmap, 90, kImageFormatPNG));
    EXPECT_FALSE(kesh::fs::exists(noBitmap));

    const String noFolder = folder.path("missing\\out.png");
    EXPECT_EQ(SaveImageResult::WriteFailed, SaveBitmapAsImage(bitmap.get(), noFolder, 90, kImageFormatPNG));
}

TEST(SaveImageFailures, MessagesAre137For138ForAnd134)
{
    EXPECT_EQ(0, SaveFailureMessageId(SaveImageResult::Saved));
    EXPECT_EQ(137, SaveFailureMessageId(SaveImageResult::NoEncoder));
    EXPECT_EQ(138, SaveFailureMessageId(SaveImageResult::NoBitmap));
    EXPECT_EQ(134, SaveFailureMessageId(SaveImageResult::WriteFailed));
}

TEST(EncoderParameters, JpegGetsTheQualityAsOneLong)
{
    for (ULONG quality : {0ul, 37ul, 100ul}) {
        const EncoderParameterBlock block(kImageFormatJPEG, quality);
        const Gdiplus::EncoderParameters* list = block.get();
        ASSERT_NE(nullptr, list);
        ASSERT_EQ(1u, list->Count);
        const Gdiplus::EncoderParameter& parameter = list->Parameter[0];
        EXPECT_TRUE(SameFormat(kEncoderQuality, parameter.Guid));
        EXPECT_EQ(1u, parameter.NumberOfValues);
        EXPECT_EQ(4u, parameter.Type);  // EncoderParameterValueTypeLong
        ASSERT_NE(nullptr, parameter.Value);
        EXPECT_EQ(quality, *static_cast<const ULONG*>(parameter.Value));
    }
}

TEST(EncoderParameters, OtherFormatsGetNoList)
{
    for (const GUID* format : {&kImageFormatPNG, &kImageFormatGIF, &kImageFormatBMP, &GUID_NULL}) {
        const EncoderParameterBlock block(*format, 90);
        EXPECT_EQ(nullptr, block.get());
    }
}

// GDI fills leave the fourth byte of a pixel at 0; it is not alpha, so a
// saved image never turns transparent where the user drew.
TEST(BitmapConversion, A32BitBitmapIsOpaqueWithItsTopRowOnTop)
{
    OwnedBitmap bitmap = MakeSection32(3, 2, false);
    const ConvertedBitmap converted = BitmapFromHBITMAP(bitmap.get());
    ASSERT_EQ(Gdiplus::Ok, converted.status);
    Gdiplus::PixelFormat format = 0;
    gp::GdipGetImagePixelFormat(converted.bitmap.get(), &format);
    EXPECT_EQ(PixelFormat32bppRGB, format);
    Gdiplus::ARGB topLeft = 0;
    gp::GdipBitmapGetPixel(converted.bitmap.get(), 0, 0, &topLeft);
    EXPECT_EQ(PixelAt(0, 0) | 0xFF000000u, topLeft);

    EXPECT_NE(Gdiplus::Ok, BitmapFromHBITMAP(nullptr).status);
}

TEST(OwnFilePath, SameFileWhateverTheCaseSeparatorsOrDots)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Pics\\shot.png", "C:\\Pics\\shot.png", true},
        {"C:\\Pics\\shot.png", "c:\\pics\\SHOT.PNG", true},
        {"C:\\Pics\\shot.png", "C:/Pics/shot.png", true},
        {"C:\\Pics\\shot.png", "C:\\Pics\\sub\\..\\shot.png", true},
        {"C:\\Pics\\shot.png", "C:\\Pics\\shot.jpg", false},
        {"C:\\Pics\\shot.png", "D:\\Pics\\shot.png", false},
        {"", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, IsSameImagePath(c.a, c.b)) << c.a << " | " << c.b;
}
