#include "common/image_header.h"

#include "common/image_formats.h"
#include "kesh/handles.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Bytes of a file at any offset, read a block at a time: walking a GIF's or
// a JPEG's blocks costs one read per block of the file, and jumping back
// and forth within one block (an icon's directory and its entries) costs
// nothing more.
class ByteSource {
public:
    explicit ByteSource(const kesh::String& path)
        : file_(CreateFileW(kesh::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)),
          block_(kBlockSize)
    {
    }
    bool isOpen() const { return file_.isValid(); }

    std::uint64_t position() const { return position_; }
    void seek(std::uint64_t offset) { position_ = offset; }
    // Checked by the next read, which fails past the end.
    void skip(std::uint64_t count) { position_ += count; }

    // count bytes from the position on; false when the file ends first.
    bool read(std::uint8_t* out, size_t count)
    {
        while (count > 0) {
            if (position_ < blockStart_ || position_ >= blockStart_ + blockLength_) {
                if (!fill()) return false;
            }
            const size_t at = static_cast<size_t>(position_ - blockStart_);
            const size_t taken = std::min(count, blockLength_ - at);
            std::memcpy(out, block_.data() + at, taken);
            out += taken;
            count -= taken;
            position_ += taken;
        }
        return true;
    }
    // The next byte, or -1 at the end.
    int next()
    {
        std::uint8_t byte = 0;
        return read(&byte, 1) ? byte : -1;
    }

private:
    static constexpr size_t kBlockSize = 4096;

    bool fill()
    {
        blockStart_ = position_ - position_ % kBlockSize;
        blockLength_ = 0;
        LARGE_INTEGER offset;
        offset.QuadPart = static_cast<LONGLONG>(std::min<std::uint64_t>(blockStart_, LLONG_MAX));
        DWORD got = 0;
        if (!SetFilePointerEx(file_, offset, nullptr, FILE_BEGIN) ||
            !ReadFile(file_, block_.data(), static_cast<DWORD>(kBlockSize), &got, nullptr))
            return false;
        blockLength_ = got;
        return position_ < blockStart_ + blockLength_;
    }

    kesh::win::KernelHandle file_;
    std::vector<std::uint8_t> block_;
    std::uint64_t blockStart_ = 0;
    size_t blockLength_ = 0;
    std::uint64_t position_ = 0;
};

std::uint32_t le16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t le32(const std::uint8_t* p) { return le16(p) | (le16(p + 2) << 16); }
std::uint32_t be16(const std::uint8_t* p) { return (p[0] << 8) | p[1]; }
std::uint32_t be32(const std::uint8_t* p) { return (be16(p) << 16) | be16(p + 2); }

const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A size only when both sides are positive and fit a LONG.
SIZE sizeOf(std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0 || width > LONG_MAX || height > LONG_MAX) return SIZE{0, 0};
    return SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
}

// The larger of two sizes on each side.
SIZE atLeast(SIZE a, SIZE b) { return SIZE{std::max(a.cx, b.cx), std::max(a.cy, b.cy)}; }

// The IHDR chunk follows the signature at once.
SIZE pngSize(ByteSource& in, std::uint64_t at)
{
    std::uint8_t h[24];
    in.seek(at);
    if (!in.read(h, sizeof h) || std::memcmp(h, kPngSignature, 8) != 0 || std::memcmp(h + 12, "IHDR", 4) != 0)
        return SIZE{0, 0};
    return sizeOf(be32(h + 16), be32(h + 20));
}

// The file header, then the DIB header: the old 12-byte form with 16-bit
// sides, or one of 40 bytes and more with 32-bit signed ones (a negative
// height is a top-down picture).
SIZE bmpSize(ByteSource& in)
{
    std::uint8_t h[26];
    in.seek(0);
    if (!in.read(h, sizeof h)) return SIZE{0, 0};
    const std::uint32_t dibSize = le32(h + 14);
    if (dibSize == 12) return sizeOf(le16(h + 18), le16(h + 20));
    if (dibSize < 40) return SIZE{0, 0};
    const std::int32_t width = static_cast<std::int32_t>(le32(h + 18));
    const std::int32_t height = static_cast<std::int32_t>(le32(h + 22));
    if (width <= 0) return SIZE{0, 0};
    return sizeOf(static_cast<std::uint64_t>(width), height < 0 ? -static_cast<std::int64_t>(height) : height);
}

// Sub-blocks up to and with the empty one; false when the file ends first.
bool skipGifSubBlocks(ByteSource& in)
{
    for (;;) {
        const int length = in.next();
        if (length < 0) return false;
        if (length == 0) return true;
        in.skip(static_cast<std::uint64_t>(length));
    }
}

// The logical screen and every frame's extent on it. A frame counts once its
// descriptor and a valid LZW code size are there; a file cut short in a
// frame's data keeps the frames before.
SIZE gifSize(ByteSource& in)
{
    std::uint8_t h[13];
    in.seek(0);
    if (!in.read(h, sizeof h)) return SIZE{0, 0};
    SIZE size = sizeOf(le16(h + 6), le16(h + 8));
    if (h[10] & 0x80) in.skip(3u << ((h[10] & 7) + 1));
    bool framed = false;
    for (;;) {
        const int block = in.next();
        if (block == 0x2C) {
            std::uint8_t d[9];
            if (!in.read(d, sizeof d)) break;
            if (d[8] & 0x80) in.skip(3u << ((d[8] & 7) + 1));
            const int codeSize = in.next();
            if (codeSize < 2 || codeSize > 11) break;
            framed = true;
            size = atLeast(size, sizeOf(le16(d) + le16(d + 4), le16(d + 2) + le16(d + 6)));
            if (!skipGifSubBlocks(in)) break;
        } else if (block == 0x21) {
            if (in.next() < 0 || !skipGifSubBlocks(in)) break;
        } else {
            break;  // the trailer, the end, or something no decoder reads on from
        }
    }
    return framed ? size : SIZE{0, 0};
}

// The first frame header (SOFn) at the top level, found by walking the
// segments by their lengths: a thumbnail's own frame header lies inside an
// APPn segment and is skipped with it. Bytes between segments are passed
// over, as decoders do.
SIZE jpegSize(ByteSource& in)
{
    in.seek(2);
    for (;;) {
        int byte = in.next();
        while (byte >= 0 && byte != 0xFF) byte = in.next();
        while (byte == 0xFF) byte = in.next();
        if (byte < 0) return SIZE{0, 0};
        const int marker = byte;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA) return SIZE{0, 0};            // image data before any frame
        std::uint8_t segment[7];
        if (!in.read(segment, 2)) return SIZE{0, 0};
        const std::uint32_t length = be16(segment);
        if (length < 2) return SIZE{0, 0};
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7 || !in.read(segment + 2, 5)) return SIZE{0, 0};
            // A height of 0 would be given later in the data: no size here.
            return sizeOf(be16(segment + 5), be16(segment + 3));
        }
        in.skip(length - 2);
    }
}

// The first image file directory's width and length tags, each a SHORT or
// a LONG in the file's byte order, and its tile's: the decoder lays out a
// whole tile at a time, so a tile larger than the picture counts as what
// the file declares (a tile of 65536 x 65536 on a picture of 8 x 8 makes
// the platform's decoder read past the buffer it sized for the tile).
SIZE tiffSize(ByteSource& in, bool bigEndian)
{
    auto u16 = [bigEndian](const std::uint8_t* p) { return bigEndian ? be16(p) : le16(p); };
    auto u32 = [bigEndian](const std::uint8_t* p) { return bigEndian ? be32(p) : le32(p); };
    std::uint8_t h[8];
    in.seek(0);
    if (!in.read(h, sizeof h)) return SIZE{0, 0};
    in.seek(u32(h + 4));
    std::uint8_t count[2];
    if (!in.read(count, 2)) return SIZE{0, 0};
    std::uint64_t width = 0, height = 0, tileWidth = 0, tileLength = 0;
    for (std::uint32_t i = u16(count); i > 0; --i) {
        std::uint8_t entry[12];
        if (!in.read(entry, sizeof entry)) return SIZE{0, 0};
        const std::uint32_t tag = u16(entry);
        const std::uint32_t type = u16(entry + 2);
        const std::uint64_t value = type == 3 ? u16(entry + 8) : type == 4 ? u32(entry + 8) : 0;
        if (tag == 256) width = value;
        if (tag == 257) height = value;
        if (tag == 322) tileWidth = value;
        if (tag == 323) tileLength = value;
    }
    const SIZE picture = sizeOf(width, height);
    if (picture.cx == 0 || tileWidth == 0 || tileLength == 0) return picture;
    const SIZE tile = sizeOf(tileWidth, tileLength);
    return tile.cx == 0 ? SIZE{0, 0} : atLeast(picture, tile);
}

// Every entry of the directory, each by the header of the picture it points
// to (a PNG, or a DIB whose height counts the mask too), or by its own bytes
// (0 meaning 256) when that header cannot be read.
SIZE icoSize(ByteSource& in)
{
    std::uint8_t h[6];
    in.seek(0);
    if (!in.read(h, sizeof h)) return SIZE{0, 0};
    SIZE size = {0, 0};
    for (std::uint32_t i = 0; i < le16(h + 4); ++i) {
        std::uint8_t entry[16];
        in.seek(6 + 16ull * i);
        if (!in.read(entry, sizeof entry)) return SIZE{0, 0};
        const std::uint64_t offset = le32(entry + 12);
        SIZE picture = pngSize(in, offset);
        std::uint8_t dib[12];
        in.seek(offset);
        if (picture.cx == 0 && in.read(dib, sizeof dib) && le32(dib) >= 40) {
            const std::int32_t width = static_cast<std::int32_t>(le32(dib + 4));
            const std::int32_t height = static_cast<std::int32_t>(le32(dib + 8));
            picture = sizeOf(width > 0 ? width : 0, height > 0 ? height / 2 : 0);
        }
        if (picture.cx == 0) picture = sizeOf(entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256);
        size = atLeast(size, picture);
    }
    return size;
}

}  // namespace

ImageHeader ReadImageHeader(const kesh::String& path)
{
    ImageHeader header;
    ByteSource in(path);
    std::uint8_t h[44] = {};
    if (!in.isOpen() || !in.read(h, 8)) return header;
    in.read(h + 8, sizeof h - 8);  // what there is of it: a metafile's mark lies at 40
    header.kind = ImageHeaderKind::Raster;
    if (std::memcmp(h, kPngSignature, 8) == 0) {
        header.format = kImageFormatPNG;
        header.size = pngSize(in, 0);
    } else if (h[0] == 0xFF && h[1] == 0xD8) {
        header.format = kImageFormatJPEG;
        header.size = jpegSize(in);
    } else if (std::memcmp(h, "GIF87a", 6) == 0 || std::memcmp(h, "GIF89a", 6) == 0) {
        header.format = kImageFormatGIF;
        header.size = gifSize(in);
    } else if (h[0] == 'B' && h[1] == 'M') {
        header.format = kImageFormatBMP;
        header.size = bmpSize(in);
    } else if (std::memcmp(h, "II*\0", 4) == 0 || std::memcmp(h, "MM\0*", 4) == 0) {
        header.format = kImageFormatTIFF;
        header.size = tiffSize(in, h[0] == 'M');
    } else if (le32(h) == 0x00010000 && le16(h + 4) > 0) {
        header.format = kImageFormatIcon;
        header.size = icoSize(in);
    } else if ((le32(h) == 1 && le32(h + 40) == 0x464D4520) || le32(h) == 0x9AC6CDD7 ||
               ((le16(h) == 1 || le16(h) == 2) && le16(h + 2) == 9)) {
        header.kind = ImageHeaderKind::Metafile;
    } else {
        header.kind = ImageHeaderKind::Unrecognised;
    }
    return header;
}
