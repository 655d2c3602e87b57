#pragma once

#include <windows.h>

#include <utility>

namespace impl {

// Owns one GDI object (bitmap, pen, region) and deletes it when it goes.
// Move-only; an empty guard holds null.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void reset(H handle = nullptr)
    {
        if (handle_ && handle_ != handle)
            DeleteObject(handle_);
        handle_ = handle;
    }
    H release()
    {
        H h = handle_;
        handle_ = nullptr;
        return h;
    }

private:
    H handle_ = nullptr;
};

typedef GdiObject<HBITMAP> Bitmap;
typedef GdiObject<HPEN> GdiPen;
typedef GdiObject<HRGN> Region;

// A memory DC compatible with reference (the screen when null).
class MemoryDC {
public:
    explicit MemoryDC(HDC reference = nullptr) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it goes.
// ok() is false when the selection failed (a bitmap already selected
// elsewhere, a null DC); nothing is put back then.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    bool ok() const { return old_ && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Saves the DC's state (clip, raster operation, selected objects) and
// restores exactly that state when it goes.
class SavedDCState {
public:
    explicit SavedDCState(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
    ~SavedDCState()
    {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Width and height of a bitmap; {0, 0} for a null or invalid handle.
SIZE BitmapSize(HBITMAP bitmap);

}  // namespace impl
