#include "editor/io/dib_export.h"

#include "common/packed_dib.h"
#include "kesh/failure_log.h"
#include "kesh/handles.h"

namespace {

// Logs the clipboard call that just failed; false.
bool LoggedFailure(const char* call)
{
    kesh::logLastError(call);
    return false;
}

// Closes the clipboard when it goes.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE)
    {
        if (!open_) kesh::logLastError("OpenClipboard");
    }
    ~OpenedClipboard()
    {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool isOpen() const { return open_; }

private:
    bool open_;
};

}  // namespace

bool CopyBitmapToClipboard(HWND owner, HBITMAP bitmap)
{
    PackedDib dib;
    if (!dib.read(bitmap)) return false;

    OpenedClipboard clipboard(owner);
    if (!clipboard.isOpen()) return false;

    kesh::win::GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, dib.blockSize()));
    if (!block.isValid()) return LoggedFailure("GlobalAlloc");
    BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
    if (bytes == nullptr) return LoggedFailure("GlobalLock");
    dib.writeBlock(bytes);
    GlobalUnlock(block);

    if (!EmptyClipboard()) return LoggedFailure("EmptyClipboard");
    if (SetClipboardData(CF_DIB, block) == nullptr) return LoggedFailure("SetClipboardData");
    block.Detach();  // the clipboard owns it now
    return true;
}
