#pragma once

// Bitmaps, temporary folders and the clipboard for the editor's tests.

#include "kesh/handles.h"
#include "kesh/string.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace editortest {

using OwnedBitmap = kesh::win::Bitmap;

// A distinct value for every pixel, so that a flip, a shift or a swap of
// rows shows: the x and y in two bytes, a mark for the corner in the third
// and an alpha of 0xFF (opaque), as 0xAARRGGBB.
std::uint32_t PixelAt(int x, int y);

// A DIB section of width x height at 32 bits, filled with PixelAt, stored
// bottom-up or top-down.
OwnedBitmap MakeSection32(int width, int height, bool topDown, void** bits = nullptr);

// The same pixels at 24 bits (alpha dropped).
OwnedBitmap MakeSection24(int width, int height, bool topDown = false);

// A device bitmap (no bits of its own) with the same 32-bit pixels.
OwnedBitmap MakeDeviceBitmap32(int width, int height);

// A folder of the test's own under the system's temp folder, removed with
// its files when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    kesh::String path(const char* name) const;

private:
    std::wstring folder_;
};

// A message-only window to own the clipboard.
class ClipboardOwner {
public:
    ClipboardOwner();
    ~ClipboardOwner();
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

// Another process may hold the clipboard for a moment: try for a while.
bool OpenClipboardPatiently(HWND owner);

}  // namespace editortest
