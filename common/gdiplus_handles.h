#pragma once

// Guards for GDI+ flat-API objects, on the ScopedHandle of kesh/handles.h.
// They live here rather than in that header so that the library and the
// HTTP client, which never draw, do not pull in GDI+.

#include "kesh/handles.h"

#include <objidl.h>
#include <gdiplus.h>

// A GDI+ object of type T, released with Release.
template <class T, auto Release>
using GdiplusHandle = kesh::win::ScopedHandle<kesh::win::NullIsEmpty<T*, Release>>;

// A bitmap goes with GdipDisposeImage, as every image does; the guard holds
// it as the bitmap it was made as, so that its slot takes the maker's result.
using GpBitmapHandle = GdiplusHandle<Gdiplus::GpBitmap, Gdiplus::DllExports::GdipDisposeImage>;
using GpGraphicsHandle = GdiplusHandle<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>;
using GpPenHandle = GdiplusHandle<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen>;
