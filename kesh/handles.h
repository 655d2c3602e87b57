#pragma once

// The one header of owning guards for Windows handles. Every handle the
// programs, the framework, the library and the HTTP client hold is owned by
// one of these: a guard releases what it holds when it goes, is moved and
// never copied, and hands its handle over with Detach.
//
// Each kind is a traits struct: the handle type, the value a guard holds
// when it holds nothing, which values count as held, and how a held one is
// released. Releasing keeps the thread's last-error value, so a guard that
// goes while an error is being reported does not change the error.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <wininet.h>

#include <utility>

namespace kesh {
namespace win {

template <class Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Detach()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle get() const { return handle_; }
    operator Handle() const { return handle_; }
    bool isValid() const { return Traits::isValid(handle_); }

    // Releases what the guard holds, then holds handle.
    void Attach(Handle handle)
    {
        reset();
        handle_ = handle;
    }
    // Gives the handle up without releasing it; the guard then holds nothing.
    Handle Detach() { return std::exchange(handle_, Traits::none()); }
    // Releases what the guard holds; the guard then holds nothing.
    void reset()
    {
        const Handle old = Detach();
        if (Traits::isValid(old)) {
            const DWORD lastError = GetLastError();
            Traits::release(old);
            SetLastError(lastError);
        }
    }
    // For functions that return a handle through a pointer: releases what the
    // guard holds and gives the address of its (now empty) slot.
    Handle* Receive()
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::none();
};

// Traits of a kind whose empty value is null and every other value is
// held, released with Release (whatever it returns).
template <class H, auto Release>
struct NullIsEmpty {
    using Handle = H;
    static Handle none() { return nullptr; }
    static bool isValid(Handle handle) { return handle != nullptr; }
    static void release(Handle handle) { Release(handle); }
};

// Kernel objects (files, threads, events, mutexes, mappings): both NULL and
// INVALID_HANDLE_VALUE mean none, since the system returns either on failure
// depending on the call.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static bool isValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void release(Handle handle) { CloseHandle(handle); }
};
using KernelHandle = ScopedHandle<KernelHandleTraits>;

// A FindFirstFileW search: INVALID_HANDLE_VALUE means none.
struct FindHandleTraits : KernelHandleTraits {
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static void release(Handle handle) { FindClose(handle); }
};
using FindHandle = ScopedHandle<FindHandleTraits>;

using RegistryKeyTraits = NullIsEmpty<HKEY, RegCloseKey>;
using RegistryKeyHandle = ScopedHandle<RegistryKeyTraits>;

// WinINet handles: internet sessions, connections and requests alike.
using InternetHandleTraits = NullIsEmpty<HINTERNET, InternetCloseHandle>;
using InternetHandle = ScopedHandle<InternetHandleTraits>;

using GlobalMemoryTraits = NullIsEmpty<HGLOBAL, GlobalFree>;
using GlobalMemory = ScopedHandle<GlobalMemoryTraits>;

// Blocks the system allocates for the caller with LocalAlloc (such as
// FormatMessageW's text with FORMAT_MESSAGE_ALLOCATE_BUFFER).
using LocalMemoryTraits = NullIsEmpty<HLOCAL, LocalFree>;
using LocalMemory = ScopedHandle<LocalMemoryTraits>;

// Blocks of T that COM or the shell allocates for the caller with
// CoTaskMemAlloc (a MIME type FindMimeFromData finds, an item list).
template <class T>
using CoTaskMemory = ScopedHandle<NullIsEmpty<T*, CoTaskMemFree>>;

using MenuHandle = ScopedHandle<NullIsEmpty<HMENU, DestroyMenu>>;
using IconHandle = ScopedHandle<NullIsEmpty<HICON, DestroyIcon>>;
using CursorHandle = ScopedHandle<NullIsEmpty<HCURSOR, DestroyCursor>>;
using AcceleratorTable = ScopedHandle<NullIsEmpty<HACCEL, DestroyAcceleratorTable>>;
using ImageListHandle = ScopedHandle<NullIsEmpty<HIMAGELIST, ImageList_Destroy>>;

// GDI objects, released with DeleteObject.
template <class H>
using GdiObjectTraits = NullIsEmpty<H, DeleteObject>;
template <class H>
using GdiObject = ScopedHandle<GdiObjectTraits<H>>;
using Bitmap = GdiObject<HBITMAP>;
using GdiPen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

// A memory DC compatible with reference (null: the screen), deleted with
// the guard.
using MemoryDCTraits = NullIsEmpty<HDC, DeleteDC>;
class MemoryDC : public ScopedHandle<MemoryDCTraits> {
public:
    explicit MemoryDC(HDC reference = nullptr) : ScopedHandle(CreateCompatibleDC(reference)) {}
};

// COM interface pointers, released with Release. For a function that hands
// an interface out through void** (CoCreateInstance, QueryInterface):
//   ComPtr<IPersistFile> file;
//   object->QueryInterface(IID_IPersistFile, ReceiveInterface(file));
template <class T>
struct ComInterfaceTraits {
    using Handle = T*;
    static Handle none() { return nullptr; }
    static bool isValid(Handle handle) { return handle != nullptr; }
    static void release(Handle handle) { handle->Release(); }
};
template <class T>
using ComPtr = ScopedHandle<ComInterfaceTraits<T>>;
template <class T>
void** ReceiveInterface(ComPtr<T>& pointer)
{
    return reinterpret_cast<void**>(pointer.Receive());
}

// The DCs below are borrowed from a window for one scope; they are not
// moved.

// BeginPaint/EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintDC() { EndPaint(hwnd_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    operator HDC() const { return dc_; }
    const PAINTSTRUCT& paintStruct() const { return paint_; }

private:
    PAINTSTRUCT paint_ = {};
    HWND hwnd_;
    HDC dc_;
};

// A DC that Get (GetDC or GetWindowDC) lends from a window, given back
// with ReleaseDC.
template <HDC(WINAPI* Get)(HWND)>
class ReleasedDC {
public:
    explicit ReleasedDC(HWND hwnd) : hwnd_(hwnd), dc_(Get(hwnd)) {}
    ~ReleasedDC()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    ReleasedDC(const ReleasedDC&) = delete;
    ReleasedDC& operator=(const ReleasedDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// GetDC/ReleaseDC; a null window gives the screen.
using ClientDC = ReleasedDC<GetDC>;
// GetWindowDC/ReleaseDC.
using WindowDC = ReleasedDC<GetWindowDC>;

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

}  // namespace win
}  // namespace kesh
