#pragma once

#include "kesh/string.h"
#include "kesh/handles.h"

#include <windows.h>

// An image file read through GDI+ as the paint view needs it.
struct LoadedImage {
    GUID rawFormat = {};
    GUID preferredFormat = {};  // what saving proposes (PreferredSaveFormat)
    SIZE size = {0, 0};
    bool multiFrame = false;    // more than one frame in any dimension
    kesh::win::Bitmap bitmap;         // the image over a white background, a DIB section
};

// Reads path (UTF-8); false when GDI+ cannot read it or make its bitmap.
// GDI+ must be started.
bool LoadImageFile(const kesh::String& path, LoadedImage& out);
