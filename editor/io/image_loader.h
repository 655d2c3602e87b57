#pragma once

#include "kesh/string.h"
#include "kesh/handles.h"

#include <windows.h>

// An image file read through GDI+ as the paint view needs it.
struct LoadedImage {
    GUID rawFormat = {};        // what the file's header shows it is; GDI+'s word for a metafile
    GUID preferredFormat = {};  // what saving proposes (PreferredSaveFormat)
    SIZE size = {0, 0};
    bool multiFrame = false;    // more than one frame in any dimension
    kesh::win::Bitmap bitmap;         // the image over a white background, a DIB section
};

// The most pixels a picture may have: 2^28, 16384 x 16384. The editor holds
// a picture as two 32-bit bitmaps (the display and the base) and, while
// loading, the decoder's copy beside them: about 12 bytes a pixel, 3 GiB at
// this size, which a 64-bit editor may take on the machines it is made for
// and nothing beyond would leave the user's other programs. It also keeps
// each of those bitmaps at 1 GiB, within the most one GDI bitmap can hold.
constexpr long long kMaxImagePixels = 1LL << 28;

// True when both sides are positive and the picture has at most
// kMaxImagePixels pixels.
bool FitsTheEditor(SIZE size);

// The size the file at path declares before anything decodes it: from its
// own header (ReadImageHeader), or for a metafile from GDI+'s metafile
// reader, which reads a drawing's records without drawing them. False for a
// file of no format the loader accepts, or whose header says no usable
// size. GDI+ must be started.
bool ReadDeclaredImageSize(const kesh::String& path, SIZE& size);

// Reads path (UTF-8); false when its declared size does not fit the editor
// (the file is then never handed to the decoder, which would allocate for
// it all the same), or when GDI+ cannot read it or make its bitmap. GDI+
// must be started.
bool LoadImageFile(const kesh::String& path, LoadedImage& out);
