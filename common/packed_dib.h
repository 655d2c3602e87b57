#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

// The pixels of a GDI bitmap as one packed DIB: a BITMAPINFOHEADER whose
// biSizeImage is always right, and header.biSizeImage bytes of rows in the
// order the header's height sign says (negative: top-down).
//
// A DIB section with uncompressed rows of 16, 24 or 32 bits is read in
// place: bits points into the section, which must outlive this object. Its
// row order is found out even where GDI reports every section as bottom-up.
// The bitmap must not be selected into a device context while it is read.
// Anything else (a device bitmap, a section without bits, one that needs a
// colour table or colour masks) is read through GetDIBits as a 32-bit
// bottom-up copy held in this object.
class PackedDib {
public:
    PackedDib() = default;
    PackedDib(PackedDib&&) = default;
    PackedDib& operator=(PackedDib&&) = default;
    PackedDib(const PackedDib&) = delete;
    PackedDib& operator=(const PackedDib&) = delete;

    // False when bitmap is no bitmap, is empty, or cannot be read.
    bool read(HBITMAP bitmap);

    const BITMAPINFOHEADER& header() const { return header_; }
    const BYTE* bits() const { return bits_; }
    unsigned stride() const { return stride_; }
    bool topDown() const { return header_.biHeight < 0; }
    // Row y counted from the image's top, whatever the storage order.
    const BYTE* rowFromTop(unsigned y) const;

    // The CF_DIB block: header then rows, no colour table.
    std::size_t blockSize() const { return header_.biSize + header_.biSizeImage; }
    void writeBlock(BYTE* block) const;

private:
    bool readSection(HBITMAP bitmap, const DIBSECTION& section);
    bool readThroughGdi(HBITMAP bitmap, const BITMAP& info);

    BITMAPINFOHEADER header_ = {};
    const BYTE* bits_ = nullptr;
    unsigned stride_ = 0;
    std::vector<BYTE> copy_;
};

// Bytes per row of an uncompressed DIB: rows end on a 4-byte boundary.
unsigned DibStride(long width, unsigned bitsPerPixel);
