#pragma once

#include <windows.h>

#include <utility>

// Owners of GDI objects and device contexts. Each releases what it holds
// when it goes; Detach hands the handle over instead.
namespace ui {

template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(other.Detach()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return handle_; }
    operator Handle() const { return handle_; }
    bool isValid() const { return handle_ != nullptr; }
    void Attach(Handle handle)
    {
        reset();
        handle_ = handle;
    }
    Handle Detach() { return std::exchange(handle_, nullptr); }
    void reset()
    {
        if (handle_)
            DeleteObject(handle_);
        handle_ = nullptr;
    }

private:
    Handle handle_ = nullptr;
};

using CBitmap = GdiObject<HBITMAP>;
using CBrush = GdiObject<HBRUSH>;
using CPen = GdiObject<HPEN>;
using CFont = GdiObject<HFONT>;
using CRgn = GdiObject<HRGN>;

// BeginPaint/EndPaint.
class CPaintDC {
public:
    explicit CPaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &m_ps)) {}
    ~CPaintDC() { EndPaint(hwnd_, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return dc_; }
    PAINTSTRUCT m_ps = {};

private:
    HWND hwnd_;
    HDC dc_;
};

// GetDC/ReleaseDC; a null window gives the screen.
class CClientDC {
public:
    explicit CClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~CClientDC()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// GetWindowDC/ReleaseDC.
class CWindowDC {
public:
    explicit CWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetWindowDC(hwnd)) {}
    ~CWindowDC()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A memory DC compatible with reference (null: the screen).
class CMemoryDC {
public:
    explicit CMemoryDC(HDC reference = nullptr) : dc_(CreateCompatibleDC(reference)) {}
    ~CMemoryDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectObjectGuard()
    {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC/RestoreDC.
class SaveDCGuard {
public:
    explicit SaveDCGuard(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SaveDCGuard()
    {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    SaveDCGuard(const SaveDCGuard&) = delete;
    SaveDCGuard& operator=(const SaveDCGuard&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace ui
