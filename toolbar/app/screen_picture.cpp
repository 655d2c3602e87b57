#include "toolbar/app/screen_picture.h"

#include "common/dib_section.h"
#include "kesh/failure_log.h"
#include "kesh/thread.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The dimming: black laid over the picture at this constant alpha.
constexpr BYTE kDimAlpha = 128;

// What AlphaBlend makes of each channel value under black at kDimAlpha:
// one blend of a strip holding every value.
const std::array<BYTE, 256>& DimTable()
{
    static const std::array<BYTE, 256> table = [] {
        std::array<BYTE, 256> out = {};
        void* bits = nullptr;
        const kesh::win::Bitmap strip = TopDownSection(256, 1, &bits);
        DWORD* pixels = static_cast<DWORD*>(bits);
        for (DWORD v = 0; v < 256; ++v)
            pixels[v] = v * 0x010101;
        void* blackBits = nullptr;
        const kesh::win::Bitmap black = TopDownSection(1, 1, &blackBits);
        {
            kesh::win::MemoryDC target(nullptr);
            kesh::win::SelectObjectGuard selectTarget(target, strip);
            kesh::win::MemoryDC source(nullptr);
            kesh::win::SelectObjectGuard selectSource(source, black);
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, kDimAlpha, 0};
            AlphaBlend(target, 0, 0, 256, 1, source, 0, 0, 1, 1, blend);
        }
        GdiFlush();
        for (int v = 0; v < 256; ++v)
            out[v] = static_cast<BYTE>(pixels[v] & 0xFF);
        return out;
    }();
    return table;
}

// (v * 127 + 127) / 255 in a form without a division, which the compiler
// turns into vector instructions over a whole row of bytes (x / 255 is
// (x + 1 + (x >> 8)) >> 8 for every x below 65535).
inline BYTE HalfDark(unsigned v)
{
    const unsigned x = v * 127 + 127;
    return static_cast<BYTE>((x + 1 + (x >> 8)) >> 8);
}

// How each byte is dimmed: by the formula when it gives the system's own
// values (Wine's blend does), which the compiler turns into vector
// instructions, else through the table.
struct Dimming {
    const std::array<BYTE, 256>* table;
    bool rounded;
};

Dimming DimmingOf()
{
    const std::array<BYTE, 256>& table = DimTable();
    static const bool rounded = [&table] {
        for (unsigned v = 0; v < 256; ++v)
            if (HalfDark(v) != table[v])
                return false;
        return true;
    }();
    return Dimming{&table, rounded};
}

void Dim(const Dimming& dimming, const BYTE* from, BYTE* to, size_t count)
{
    if (dimming.rounded) {
        for (size_t i = 0; i < count; ++i)
            to[i] = HalfDark(from[i]);
    } else {
        const std::array<BYTE, 256>& table = *dimming.table;
        for (size_t i = 0; i < count; ++i)
            to[i] = table[from[i]];
    }
}

// Threads that dim the picture side by side: the work is a pass over memory,
// which a few cores share out well.
constexpr DWORD kMaxParts = 4;

// Where the two pictures' pixels are.
struct Rows {
    const BYTE* snapshot;
    BYTE* dimmed;
    int width;
    Dimming dimming;
};

// Rows top to bottom (exclusive) of the snapshot, dimmed into the other
// picture.
void DimRows(const Rows& rows, int top, int bottom)
{
    if (top >= bottom)
        return;
    const size_t rowBytes = static_cast<size_t>(rows.width) * 4;
    Dim(rows.dimming, rows.snapshot + rowBytes * top, rows.dimmed + rowBytes * top,
        rowBytes * static_cast<size_t>(bottom - top));
}

// One part of the picture on a thread of its own: a few milliseconds, so
// there is nothing to stop early.
class RowsWorker : public kesh::sys::IRunnable {
public:
    RowsWorker(const Rows& rows, int top, int bottom) : rows_(rows), top_(top), bottom_(bottom) {}
    void run() override { DimRows(rows_, top_, bottom_); }
    void stop() override {}

private:
    Rows rows_;
    int top_;
    int bottom_;
};

}  // namespace

ScreenPictures SnapshotDimmed(int width, int height)
{
    ScreenPictures pictures;
    void* snapshotBits = nullptr;
    void* dimmedBits = nullptr;
    pictures.snapshot = TopDownSection(width, height, &snapshotBits);
    pictures.dimmed = TopDownSection(width, height, &dimmedBits);
    if (!snapshotBits || !dimmedBits)
        return ScreenPictures();
    bool copied = false;
    {
        // One copy of the whole screen: the picture is the screen at one
        // moment. Bands read one after another would tear wherever
        // something moves (a video, a game) between their reads.
        kesh::win::WindowDC screen(GetDesktopWindow());
        kesh::win::MemoryDC target(screen);
        kesh::win::SelectObjectGuard select(target, pictures.snapshot);
        copied = BitBlt(target, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
        if (!copied)
            kesh::logLastError("BitBlt", "the screen");
    }
    if (!copied)
        return ScreenPictures();
    GdiFlush();
    const Rows rows = {static_cast<const BYTE*>(snapshotBits), static_cast<BYTE*>(dimmedBits), width, DimmingOf()};
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const int parts = static_cast<int>(std::clamp<DWORD>(system.dwNumberOfProcessors, 1, kMaxParts));
    std::vector<boost::shared_ptr<kesh::sys::IThread>> helpers;
    for (int part = 1; part < parts; ++part)
        helpers.push_back(kesh::sys::createThread(
            boost::make_shared<RowsWorker>(rows, height * part / parts, height * (part + 1) / parts),
            kesh::sys::ThreadPriorityUnchanged, kesh::sys::kWorkerStackSize));
    DimRows(rows, 0, height / parts);
    for (const boost::shared_ptr<kesh::sys::IThread>& helper : helpers)
        helper->join();
    return pictures;
}

kesh::win::Bitmap CopyPart(HDC reference, HBITMAP source, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    kesh::win::Bitmap copy(CreateCompatibleBitmap(reference, width, height));
    kesh::win::MemoryDC target(reference);
    kesh::win::SelectObjectGuard selectTarget(target, copy);
    kesh::win::MemoryDC from(reference);
    kesh::win::SelectObjectGuard selectSource(from, source);
    BitBlt(target, 0, 0, width, height, from, rect.left, rect.top, SRCCOPY);
    return copy;
}

void BlitFrom(HDC dc, HBITMAP bitmap, const RECT& rect)
{
    kesh::win::MemoryDC from(dc);
    kesh::win::SelectObjectGuard select(from, bitmap);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, from, rect.left, rect.top,
           SRCCOPY);
}
