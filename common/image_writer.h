#pragma once

// Writing a picture to a file, the one way both programs save: encoded by
// GDI+ (flat API) into a staged file beside the target (WriteReplacing),
// read back, and named only once it reads back as the picture saved.

#include "common/gdiplus_handles.h"
#include "common/packed_dib.h"
#include "kesh/string.h"

#include <windows.h>

#include <functional>

// A GDI+ bitmap made from a GDI bitmap and the status of making it; the
// bitmap may exist with a failed status, and is then not to be used.
struct ConvertedBitmap {
    PackedDib pixels;  // the rows bitmap reads; goes after bitmap
    GpBitmapHandle bitmap;
    Gdiplus::Status status = Gdiplus::GenericError;
};

// A 32-bit bitmap becomes an opaque 32bppRGB GDI+ bitmap over the same rows
// (GDI drawing leaves the fourth byte at 0: it is not alpha), its top row on
// top whether the source is stored bottom-up or top-down. A DIB section's
// rows are not copied (a 4K copy costs more than the whole conversion may):
// the result reads the section's own memory, so it must go before the
// section does and is used while the section is not drawn on. A 32-bit
// bitmap without bits of its own is read through GDI into a copy the result
// holds. Other depths are handed to GDI+ without palette.
ConvertedBitmap BitmapFromHBITMAP(HBITMAP bitmap);

// The encoder parameter list saving passes: the quality as one Long
// parameter for JPEG, nothing for every other format. Holds the value the
// list points to, so it stays where it is.
class EncoderParameterBlock {
public:
    EncoderParameterBlock(const GUID& format, ULONG quality);
    EncoderParameterBlock(const EncoderParameterBlock&) = delete;
    EncoderParameterBlock& operator=(const EncoderParameterBlock&) = delete;

    // Null when the format takes no parameters.
    const Gdiplus::EncoderParameters* get() const { return used_ ? &list_ : nullptr; }

private:
    Gdiplus::EncoderParameters list_ = {};
    ULONG quality_;
    bool used_;
};

// True when the file at path reads back as a picture of size pixels in
// format: its header shows that format (the format id of ImageHeader) and
// declares that size, and GDI+ opens it at that size and gives its last
// pixel, which a decoder that reads lazily reaches only through the whole of
// the data. Nothing more is decoded than that takes: no GDI bitmap is made.
// GDI+ must be started.
bool ReadsBackAs(const kesh::String& path, SIZE size, const GUID& format);

// How a save ended; each failure has its own message in each program.
enum class SaveImageResult {
    Saved,
    NoEncoder,    // no GDI+ encoder writes the format
    NoBitmap,     // the GDI bitmap could not be turned into a GDI+ one
    WriteFailed,  // the encoder or the file failed
};

// Writes target through write(path) the way a save does: through
// WriteReplacing, and counting the write as done only when the file it made
// reads back as a picture of size pixels in format (ReadsBackAs). An encoder
// may report success for a file that holds no picture, or one of another
// format; such a file replaces nothing and stays nowhere. False when the
// write, the read-back or the replacement failed.
bool WriteReadableImage(const kesh::String& target, SIZE size, const GUID& format,
                        const std::function<bool(const kesh::String& path)>& write);

// Writes bitmap to target in format through the GDI+ encoder
// (WriteReadableImage); quality goes to the encoder for JPEG only.
SaveImageResult SaveBitmapAsImage(HBITMAP bitmap, const kesh::String& target, ULONG quality, const GUID& format);
