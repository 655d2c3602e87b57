#pragma once

// Guards for GDI+ flat-API objects, on the ScopedHandle of kesh/handles.h.
// They live here rather than in that header so that the library and the
// HTTP client, which never draw, do not pull in GDI+.

#include "kesh/handles.h"

#include <objidl.h>
#include <gdiplus.h>

// A GDI+ object of type T, deleted with Release.
template <class T, Gdiplus::Status(WINGDIPAPI* Release)(T*)>
struct GdiplusObjectTraits {
    using Handle = T*;
    static Handle none() { return nullptr; }
    static bool isValid(Handle handle) { return handle != nullptr; }
    static void release(Handle handle) { Release(handle); }
};

// Images and bitmaps alike go with GdipDisposeImage; T is the type the
// object was made as, so that the guard's slot takes the maker's result.
template <class T>
struct GdiplusImageTraits {
    using Handle = T*;
    static Handle none() { return nullptr; }
    static bool isValid(Handle handle) { return handle != nullptr; }
    static void release(Handle handle) { Gdiplus::DllExports::GdipDisposeImage(handle); }
};

using GpImageHandle = kesh::win::ScopedHandle<GdiplusImageTraits<Gdiplus::GpImage>>;
using GpBitmapHandle = kesh::win::ScopedHandle<GdiplusImageTraits<Gdiplus::GpBitmap>>;
using GpGraphicsHandle =
    kesh::win::ScopedHandle<GdiplusObjectTraits<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>>;
using GpPenHandle = kesh::win::ScopedHandle<GdiplusObjectTraits<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen>>;
