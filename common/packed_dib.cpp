#include "common/packed_dib.h"

#include "kesh/handles.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// The largest pixel block handled: keeps every size a positive 32-bit value.
constexpr std::uint64_t kMaxImageBytes = 0x7FFFFFFFu - sizeof(BITMAPINFOHEADER);

// GetObject reports a section's height as positive whichever way its rows
// are stored, so the order is found from the pixels: find a row whose mirror
// row differs, read that row through GDI (which knows the order) and see
// which of the two stored rows it is. When every row equals its mirror the
// image reads the same either way and bottom-up is as good as top-down.
bool StoredTopDown(HBITMAP bitmap, const DIBSECTION& section, unsigned stride)
{
    const BITMAPINFOHEADER& info = section.dsBmih;
    const LONG height = std::labs(info.biHeight);
    const BYTE* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
    const std::size_t used = static_cast<std::size_t>(info.biWidth) * (info.biBitCount / 8);
    for (LONG k = 0; k < height / 2; ++k) {
        const BYTE* first = bits + static_cast<std::size_t>(k) * stride;
        const BYTE* last = bits + static_cast<std::size_t>(height - 1 - k) * stride;
        if (std::memcmp(first, last, used) == 0) continue;

        // Image row k from the top; a bottom-up request counts scan lines
        // from the bottom.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[3];
        } request = {};
        request.header = info;
        request.header.biSize = sizeof(BITMAPINFOHEADER);
        request.header.biHeight = height;
        request.header.biSizeImage = 0;
        std::vector<BYTE> row(stride);
        const kesh::win::MemoryDC dc;
        if (!dc.isValid() || GetDIBits(dc, bitmap, static_cast<UINT>(height - 1 - k), 1, row.data(),
                             reinterpret_cast<BITMAPINFO*>(&request), DIB_RGB_COLORS) != 1) {
            return false;
        }
        // GDI may not carry the fourth byte of 32-bit pixels: compare colours.
        const unsigned step = info.biBitCount / 8;
        const unsigned compared = info.biBitCount == 32 ? 3 : step;
        auto sameColours = [&](const BYTE* stored) {
            for (std::size_t at = 0; at < used; at += step) {
                if (std::memcmp(stored + at, row.data() + at, compared) != 0) return false;
            }
            return true;
        };
        return sameColours(first) && !sameColours(last);
    }
    return false;
}

}  // namespace

unsigned DibStride(long width, unsigned bitsPerPixel)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(std::labs(width)) * bitsPerPixel;
    return static_cast<unsigned>((bits + 31) / 32 * 4);
}

bool PackedDib::read(HBITMAP bitmap)
{
    *this = PackedDib();
    if (bitmap == nullptr) return false;
    DIBSECTION section = {};
    const int got = GetObjectW(bitmap, sizeof(section), &section);
    if (got == static_cast<int>(sizeof(section)) && readSection(bitmap, section)) return true;
    if (got < static_cast<int>(sizeof(BITMAP))) return false;
    return readThroughGdi(bitmap, section.dsBm);
}

bool PackedDib::readSection(HBITMAP bitmap, const DIBSECTION& section)
{
    const BITMAPINFOHEADER& info = section.dsBmih;
    const bool plainRows = info.biCompression == BI_RGB &&
                           (info.biBitCount == 16 || info.biBitCount == 24 || info.biBitCount == 32);
    if (section.dsBm.bmBits == nullptr || !plainRows || info.biWidth <= 0 || info.biHeight == 0) return false;
    const unsigned stride = DibStride(info.biWidth, info.biBitCount);
    // A section may report biSizeImage as 0; the rows' real extent is what
    // gets copied, never more.
    const std::uint64_t size = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(std::labs(info.biHeight));
    if (size > kMaxImageBytes) return false;
    GdiFlush();  // drawing GDI still holds back must be in the rows read
    header_ = info;
    header_.biHeight = std::labs(info.biHeight);
    if (info.biHeight < 0 || StoredTopDown(bitmap, section, stride)) header_.biHeight = -header_.biHeight;
    header_.biSize = sizeof(BITMAPINFOHEADER);
    header_.biSizeImage = static_cast<DWORD>(size);
    header_.biClrUsed = 0;
    header_.biClrImportant = 0;
    bits_ = static_cast<const BYTE*>(section.dsBm.bmBits);
    stride_ = stride;
    return true;
}

bool PackedDib::readThroughGdi(HBITMAP bitmap, const BITMAP& info)
{
    if (info.bmWidth <= 0 || info.bmHeight <= 0) return false;
    const unsigned stride = DibStride(info.bmWidth, 32);
    const std::uint64_t size = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(info.bmHeight);
    if (size > kMaxImageBytes) return false;

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = info.bmWidth;
    header.biHeight = info.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(size);

    std::vector<BYTE> copy(static_cast<std::size_t>(size));
    const kesh::win::MemoryDC dc;
    if (!dc.isValid()) return false;
    // GetDIBits may write a colour table behind the header: give it room.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } request = {header, {}};
    const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), copy.data(),
                               reinterpret_cast<BITMAPINFO*>(&request), DIB_RGB_COLORS);
    if (rows != info.bmHeight) return false;

    header_ = header;
    copy_ = std::move(copy);
    bits_ = copy_.data();
    stride_ = stride;
    return true;
}

const BYTE* PackedDib::rowFromTop(unsigned y) const
{
    const unsigned height = static_cast<unsigned>(std::labs(header_.biHeight));
    const unsigned stored = topDown() ? y : height - 1 - y;
    return bits_ + static_cast<std::size_t>(stored) * stride_;
}

void PackedDib::writeBlock(BYTE* block) const
{
    std::memcpy(block, &header_, sizeof(header_));
    std::memcpy(block + header_.biSize, bits_, header_.biSizeImage);
}
