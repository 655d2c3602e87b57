#include "editor_test_support.h"

#include "common/dib_section.h"
#include "common/image_codecs.h"
#include "tests/wait.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace editortest {

namespace {

// GDI+ runs for the whole test program.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        session_.reset(new GdiplusSession);
        ASSERT_TRUE(session_->ok());
    }
    void TearDown() override { session_.reset(); }

private:
    std::unique_ptr<GdiplusSession> session_;
};

[[maybe_unused]] ::testing::Environment* const gdiplusEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

OwnedBitmap MakeSection(int width, int height, int bitsPerPixel, bool topDown, void** bitsOut)
{
    void* bits = nullptr;
    OwnedBitmap bitmap = DibSection(width, height, topDown ? RowOrder::TopDown : RowOrder::BottomUp, &bits,
                                    static_cast<WORD>(bitsPerPixel));
    if (!bitmap || bits == nullptr) return OwnedBitmap();
    const int bytesPerPixel = bitsPerPixel / 8;
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    for (int y = 0; y < height; ++y) {
        const int stored = topDown ? y : height - 1 - y;
        BYTE* row = static_cast<BYTE*>(bits) + stored * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = PixelAt(x, y);
            std::memcpy(row + x * bytesPerPixel, &pixel, bytesPerPixel);
        }
    }
    GdiFlush();
    if (bitsOut != nullptr) *bitsOut = bits;
    return bitmap;
}

}  // namespace

std::uint32_t PixelAt(int x, int y)
{
    const std::uint32_t corner = (x == 0 && y == 0) ? 0x80u : 0x00u;
    return 0xFF000000u | (corner << 16) | (static_cast<std::uint32_t>(y & 0xFF) << 8) |
           static_cast<std::uint32_t>((x * 3 + 1) & 0xFF);
}

OwnedBitmap MakeSection32(int width, int height, bool topDown, void** bits)
{
    return MakeSection(width, height, 32, topDown, bits);
}

OwnedBitmap MakeSection24(int width, int height, bool topDown)
{
    return MakeSection(width, height, 24, topDown, nullptr);
}

OwnedBitmap MakeDeviceBitmap32(int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = PixelAt(x, y);
    }
    // CreateBitmap takes rows top row first, word-aligned: 32-bit rows are.
    return OwnedBitmap(CreateBitmap(width, height, 1, 32, pixels.data()));
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    static int serial = 0;
    folder_ = std::wstring(temp) + L"editor_io_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(++serial);
    CreateDirectoryW(folder_.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAW found;
    const kesh::win::FindHandle search(FindFirstFileW((folder_ + L"\\*").c_str(), &found));
    if (search.isValid()) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
    }
    RemoveDirectoryW(folder_.c_str());
}

kesh::String TempFolder::path(const char* name) const
{
    return kesh::String(folder_.c_str()) + "\\" + name;
}

ClipboardOwner::ClipboardOwner()
    : hwnd_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr))
{
}

ClipboardOwner::~ClipboardOwner()
{
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool OpenClipboardPatiently(HWND owner)
{
    return testsupport::WaitFor([owner] { return OpenClipboard(owner) != FALSE; }, 2000, nullptr);
}

}  // namespace editortest
