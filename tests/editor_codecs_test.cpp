#include "common/image_codecs.h"
#include "common/image_formats.h"

#include <gtest/gtest.h>

#include <gdiplus.h>

#include <cstring>
#include <vector>

using kesh::String;

namespace {

bool SameClsid(const CLSID& a, const CLSID& b)
{
    return std::memcmp(&a, &b, sizeof(CLSID)) == 0;
}

// The class id GDI+ itself lists for format, read without the code under test.
bool EncoderClsidFromGdiplus(const GUID& format, CLSID& clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok) return false;
    std::vector<Gdiplus::ImageCodecInfo> infos(bytes / sizeof(Gdiplus::ImageCodecInfo) + 1);
    Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, infos.data());
    for (UINT i = 0; i < count; ++i) {
        if (SameFormat(infos[i].FormatID, format)) {
            clsid = infos[i].Clsid;
            return true;
        }
    }
    return false;
}

ImageCodecEntry Sentinel()
{
    ImageCodecEntry entry;
    entry.clsid = kImageFormatBMP;
    entry.description = "untouched";
    entry.extensions = "*.KEEP";
    return entry;
}

ImageCodecEntry Entry(const char* description, const char* extensions)
{
    ImageCodecEntry entry;
    entry.description = description;
    entry.extensions = extensions;
    return entry;
}

}  // namespace

TEST(ImageCodecLookup, FindsThePngAndJpegEncodersWithTheirTexts)
{
    struct Case {
        const GUID* format;
        const char* pattern;
    } cases[] = {{&kImageFormatPNG, "*.png"}, {&kImageFormatJPEG, "*.jpg"}};
    for (const Case& c : cases) {
        ImageCodecEntry entry;
        ASSERT_TRUE(FindImageEncoder(entry, *c.format)) << c.pattern;
        CLSID expected;
        ASSERT_TRUE(EncoderClsidFromGdiplus(*c.format, expected));
        EXPECT_TRUE(SameClsid(expected, entry.clsid)) << c.pattern;
        EXPECT_FALSE(entry.description.isEmpty()) << c.pattern;
        EXPECT_NE(String::npos, entry.extensions.find(c.pattern, 0, true)) << entry.extensions.c_str();
    }
}

TEST(ImageCodecLookup, AFormatWithoutEncoderLeavesTheEntryUntouched)
{
    const GUID madeUp = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    for (const GUID* format : {&kImageFormatIcon, &madeUp, &GUID_NULL}) {
        ImageCodecEntry entry = Sentinel();
        EXPECT_FALSE(FindImageEncoder(entry, *format));
        EXPECT_TRUE(SameClsid(kImageFormatBMP, entry.clsid));
        EXPECT_STREQ("untouched", entry.description.c_str());
        EXPECT_STREQ("*.KEEP", entry.extensions.c_str());
    }
}

TEST(ImageCodecLookup, DecoderListReplacesTheContentWithEveryDecoderInOrder)
{
    UINT count = 0;
    UINT bytes = 0;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipGetImageDecodersSize(&count, &bytes));
    std::vector<Gdiplus::ImageCodecInfo> infos(bytes / sizeof(Gdiplus::ImageCodecInfo) + 1);
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipGetImageDecoders(count, bytes, infos.data()));

    std::vector<ImageCodecEntry> decoders(3, Sentinel());
    ListImageDecoders(decoders);
    ASSERT_EQ(count, decoders.size());
    for (UINT i = 0; i < count; ++i) {
        EXPECT_TRUE(SameClsid(infos[i].Clsid, decoders[i].clsid)) << i;
        EXPECT_STREQ(String(infos[i].FormatDescription).c_str(), decoders[i].description.c_str());
        EXPECT_STREQ(String(infos[i].FilenameExtension).c_str(), decoders[i].extensions.c_str());
    }
}

TEST(ImageFormatTables, OnlyJpegPngAndGifMayBeKeptByCopying)
{
    GUID almostJpeg = kImageFormatJPEG;
    almostJpeg.Data4[7] ^= 1;
    const struct {
        const GUID* format;
        bool keepable;
    } cases[] = {
        {&kImageFormatJPEG, true}, {&kImageFormatPNG, true},    {&kImageFormatGIF, true}, {&kImageFormatBMP, false},
        {&kImageFormatIcon, false}, {&GUID_NULL, false}, {&almostJpeg, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.keepable, CanKeepOriginalFormat(*c.format)) << c.format->Data1;
}

TEST(ImageFormatTables, SaveFormatsAreJpegThenPng)
{
    ASSERT_EQ(2u, sizeof(kSaveFormats) / sizeof(kSaveFormats[0]));
    EXPECT_TRUE(SameFormat(kImageFormatJPEG, kSaveFormats[0]));
    EXPECT_TRUE(SameFormat(kImageFormatPNG, kSaveFormats[1]));
}

TEST(FileDialogFilters, OpenFilterJoinsEveryDecoderLowerCased)
{
    const std::vector<ImageCodecEntry> decoders = {Entry("PNG", "*.PNG"), Entry("JPEG", "*.JPG;*.JPEG")};
    const OpenFilterPieces pieces = MakeOpenFilterPieces(decoders);
    EXPECT_STREQ("(*.png;*.jpg;*.jpeg)|*.png;*.jpg;*.jpeg", pieces.allFormats.c_str());
    EXPECT_STREQ("PNG (*.png)|*.png|JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg", pieces.eachFormat.c_str());

    const OpenFilterPieces none = MakeOpenFilterPieces({});
    EXPECT_STREQ("()|", none.allFormats.c_str());
    EXPECT_STREQ("", none.eachFormat.c_str());
}

TEST(FileDialogFilters, SaveAsFilterAndDefaultExtensionComeFromTheEncoder)
{
    const struct {
        const char* description;
        const char* extensions;
        const char* filter;
        const char* extension;
    } cases[] = {
        {"JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", "JPEG(*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif||", "jpg"},
        {"PNG", "*.PNG", "PNG(*.png)|*.png||", "png"},
        {"odd", ";;*.GIF;", "odd(;;*.gif;)|;;*.gif;||", "gif"},
        {"", "", "()|||", ""},  // what a failed lookup leaves
    };
    for (const auto& c : cases) {
        const ImageCodecEntry entry = Entry(c.description, c.extensions);
        EXPECT_STREQ(c.filter, MakeSaveAsFilter(entry).c_str());
        EXPECT_STREQ(c.extension, MakeSaveAsDefaultExtension(entry).c_str());
    }
}
