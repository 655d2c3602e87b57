#pragma once

#include "kesh/string.h"

#include <windows.h>

// What an image file says about itself in its first bytes, read without
// decoding it: the platform's decoder decodes the whole picture as soon as
// it opens a file, so the size has to be known before the file reaches it.
enum class ImageHeaderKind {
    Raster,        // PNG, JPEG, GIF, BMP, TIFF or ICO: size is what it declares
    Metafile,      // EMF or WMF: a drawing, whose size the header does not give in pixels
    Unrecognised,  // none of the formats the loader accepts
};

struct ImageHeader {
    ImageHeaderKind kind = ImageHeaderKind::Unrecognised;
    // For Raster: the GDI+ format id of what the bytes are (kImageFormatPNG,
    // ...JPEG, ...GIF, ...BMP, ...TIFF, ...Icon); GUID_NULL otherwise.
    GUID format = {};
    // For Raster: the largest width and height the file declares for any
    // picture in it (a GIF's screen and frames, an icon's entries, a TIFF's
    // first page and its tiles); {0, 0} when the header is cut short or says
    // no usable size (a JPEG without a frame header, a GIF without an image).
    SIZE size = {0, 0};
};

// Reads the header of the file at path (UTF-8). Reads only the header's
// bytes, in time linear in the file's size at the very most (a GIF's
// frames and a JPEG's segments are walked, never decoded). A file that
// cannot be opened is Unrecognised.
ImageHeader ReadImageHeader(const kesh::String& path);
