#include "common/packed_dib.h"
#include "editor/io/dib_export.h"

#include "editor_test_support.h"
#include "tests/wait.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace editortest;

namespace {

std::uint32_t PixelOf(const PackedDib& dib, int x, int y)
{
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, dib.rowFromTop(static_cast<unsigned>(y)) + x * 4, 4);
    return pixel;
}

// Every pixel of a 32-bit dib as PixelAt made it (alpha as stored).
void ExpectPixels(const PackedDib& dib, int width, int height, std::uint32_t alphaMask)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(PixelAt(x, y) & alphaMask, PixelOf(dib, x, y) & alphaMask) << x << "," << y;
        }
    }
}

}  // namespace

TEST(PackedDibRead, A32BitSectionIsReadInPlaceWithItsSizeComputed)
{
    for (bool topDown : {false, true}) {
        void* bits = nullptr;
        OwnedBitmap bitmap = MakeSection32(5, 3, topDown, &bits);
        ASSERT_TRUE(bitmap);
        PackedDib dib;
        ASSERT_TRUE(dib.read(bitmap.get()));
        EXPECT_EQ(sizeof(BITMAPINFOHEADER), dib.header().biSize);
        EXPECT_EQ(5 * 4 * 3u, dib.header().biSizeImage);
        EXPECT_EQ(5 * 4u, dib.stride());
        EXPECT_EQ(bits, dib.bits());
        EXPECT_EQ(topDown, dib.topDown());
        EXPECT_EQ(sizeof(BITMAPINFOHEADER) + 60u, dib.blockSize());
        ExpectPixels(dib, 5, 3, 0xFFFFFFFFu);
    }
}

TEST(PackedDibRead, RowsOf24BitsArePaddedToFourBytes)
{
    OwnedBitmap bitmap = MakeSection24(5, 3);
    ASSERT_TRUE(bitmap);
    PackedDib dib;
    ASSERT_TRUE(dib.read(bitmap.get()));
    EXPECT_EQ(24, dib.header().biBitCount);
    EXPECT_EQ(16u, dib.stride());
    EXPECT_EQ(48u, dib.header().biSizeImage);
}

TEST(PackedDibRead, ABitmapWithoutBitsIsCopiedThroughGdi)
{
    OwnedBitmap bitmap = MakeDeviceBitmap32(6, 4);
    ASSERT_TRUE(bitmap);
    DIBSECTION section = {};
    ASSERT_EQ(static_cast<int>(sizeof(BITMAP)), GetObjectW(bitmap.get(), sizeof(section), &section));
    ASSERT_EQ(nullptr, section.dsBm.bmBits);

    PackedDib dib;
    ASSERT_TRUE(dib.read(bitmap.get()));
    EXPECT_EQ(32, dib.header().biBitCount);
    EXPECT_EQ(4, dib.header().biHeight);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), dib.header().biCompression);
    EXPECT_EQ(6 * 4 * 4u, dib.header().biSizeImage);
    ExpectPixels(dib, 6, 4, 0x00FFFFFFu);
}

TEST(PackedDibRead, ASectionThatNeedsAColourTableBecomes32Bits)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info = {};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = 9;
    info.header.biHeight = 2;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colours[1] = RGBQUAD{0x30, 0x20, 0x10, 0};
    void* bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    static_cast<BYTE*>(bits)[0] = 0x80;  // bottom row, first pixel: colour 1

    PackedDib dib;
    ASSERT_TRUE(dib.read(bitmap.get()));
    EXPECT_EQ(32, dib.header().biBitCount);
    EXPECT_EQ(9 * 4 * 2u, dib.header().biSizeImage);
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, dib.rowFromTop(1), 4);
    EXPECT_EQ(0x102030u, pixel & 0x00FFFFFFu);
    std::memcpy(&pixel, dib.rowFromTop(0), 4);
    EXPECT_EQ(0u, pixel & 0x00FFFFFFu);
}

TEST(PackedDibRead, NoBitmapReadsAsNothing)
{
    PackedDib dib;
    EXPECT_FALSE(dib.read(nullptr));
    EXPECT_FALSE(dib.read(reinterpret_cast<HBITMAP>(GetStockObject(WHITE_BRUSH))));
}

TEST(PackedDibBlock, TheBlockIsTheHeaderFollowedAtOnceByTheRows)
{
    OwnedBitmap bitmap = MakeSection32(3, 2, false);
    PackedDib dib;
    ASSERT_TRUE(dib.read(bitmap.get()));
    std::vector<BYTE> block(dib.blockSize());
    dib.writeBlock(block.data());
    EXPECT_EQ(0, std::memcmp(block.data(), &dib.header(), sizeof(BITMAPINFOHEADER)));
    EXPECT_EQ(0, std::memcmp(block.data() + sizeof(BITMAPINFOHEADER), dib.bits(), dib.header().biSizeImage));
}

TEST(DibStrideRule, RowsEndOnFourByteBoundaries)
{
    const struct {
        long width;
        unsigned bits;
        unsigned stride;
    } cases[] = {{1, 32, 4}, {3, 32, 12}, {1, 24, 4}, {5, 24, 16}, {3, 16, 8}, {9, 1, 4}, {33, 1, 8}, {-5, 24, 16}};
    for (const auto& c : cases) EXPECT_EQ(c.stride, DibStride(c.width, c.bits)) << c.width << "x" << c.bits;
}

// These need the window station of a display (scripts/test.sh gives one).
class ClipboardCopy : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, owner_.hwnd()); }

    // The CF_DIB block now on the clipboard.
    std::vector<BYTE> ReadClipboardDib()
    {
        std::vector<BYTE> block;
        if (!OpenClipboardPatiently(owner_.hwnd())) return block;
        HANDLE data = GetClipboardData(CF_DIB);
        if (data != nullptr) {
            const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(data));
            if (bytes != nullptr) {
                block.assign(bytes, bytes + GlobalSize(data));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return block;
    }

    bool CopyPatiently(HBITMAP bitmap)
    {
        return testsupport::WaitFor([&] { return CopyBitmapToClipboard(owner_.hwnd(), bitmap); }, 2000, nullptr);
    }

    ClipboardOwner owner_;
};

TEST_F(ClipboardCopy, CopyThenReadBackGivesHeaderAndBitsExactly)
{
    for (bool topDown : {false, true}) {
        void* bits = nullptr;
        OwnedBitmap bitmap = MakeSection32(7, 5, topDown, &bits);
        ASSERT_TRUE(CopyPatiently(bitmap.get()));

        const std::vector<BYTE> block = ReadClipboardDib();
        const size_t expected = sizeof(BITMAPINFOHEADER) + 7 * 4 * 5;
        ASSERT_GE(block.size(), expected);
        BITMAPINFOHEADER header;
        std::memcpy(&header, block.data(), sizeof(header));
        EXPECT_EQ(sizeof(BITMAPINFOHEADER), header.biSize);
        EXPECT_EQ(7, header.biWidth);
        EXPECT_EQ(topDown ? -5 : 5, header.biHeight);
        EXPECT_EQ(32, header.biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
        EXPECT_EQ(7 * 4 * 5u, header.biSizeImage);
        EXPECT_EQ(0, std::memcmp(block.data() + sizeof(header), bits, 7 * 4 * 5));
    }
}

TEST_F(ClipboardCopy, ADeviceBitmapIsCopiedAsA32BitBlock)
{
    OwnedBitmap bitmap = MakeDeviceBitmap32(4, 3);
    ASSERT_TRUE(CopyPatiently(bitmap.get()));
    const std::vector<BYTE> block = ReadClipboardDib();
    ASSERT_GE(block.size(), sizeof(BITMAPINFOHEADER) + 4 * 4 * 3);
    BITMAPINFOHEADER header;
    std::memcpy(&header, block.data(), sizeof(header));
    EXPECT_EQ(32, header.biBitCount);
    EXPECT_EQ(4 * 4 * 3u, header.biSizeImage);
    // Bottom-up: the block's first row is the image's last.
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, block.data() + sizeof(header), 4);
    EXPECT_EQ(PixelAt(0, 2) & 0x00FFFFFFu, pixel & 0x00FFFFFFu);
}

TEST_F(ClipboardCopy, NothingToCopyLeavesTheClipboardAsItWas)
{
    OwnedBitmap bitmap = MakeSection32(2, 2, false);
    ASSERT_TRUE(CopyPatiently(bitmap.get()));
    const std::vector<BYTE> before = ReadClipboardDib();
    EXPECT_FALSE(CopyBitmapToClipboard(owner_.hwnd(), nullptr));
    EXPECT_EQ(before, ReadClipboardDib());
}
