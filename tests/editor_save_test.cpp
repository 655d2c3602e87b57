#include "common/image_formats.h"
#include "editor/io/image_saver.h"
#include "common/replacing_write.h"

#include "editor_test_support.h"
#include "kesh/file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace editortest;
using kesh::String;

namespace {

namespace gp = Gdiplus::DllExports;

// The file decoded by GDI+: its size and every pixel as ARGB.
struct Decoded {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint32_t> pixels;
};

bool Decode(const String& path, Decoded& out)
{
    GpBitmapHandle bitmap;
    if (gp::GdipCreateBitmapFromFile(path.toWide().get(), bitmap.Receive()) != Gdiplus::Ok) return false;
    gp::GdipGetImageWidth(bitmap, &out.width);
    gp::GdipGetImageHeight(bitmap, &out.height);
    for (UINT y = 0; y < out.height; ++y) {
        for (UINT x = 0; x < out.width; ++x) {
            Gdiplus::ARGB argb = 0;
            gp::GdipBitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &argb);
            out.pixels.push_back(argb);
        }
    }
    return true;
}

void ExpectSamePixels(const Decoded& decoded, int width, int height, std::uint32_t mask)
{
    ASSERT_EQ(static_cast<UINT>(width), decoded.width);
    ASSERT_EQ(static_cast<UINT>(height), decoded.height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(PixelAt(x, y) & mask, decoded.pixels[static_cast<size_t>(y) * width + x] & mask) << x << "," << y;
        }
    }
}

}  // namespace

TEST(SaveImageRoundTrip, PngKeepsEveryPixelAndTheOrientation)
{
    TempFolder folder;
    struct Case {
        const char* name;
        OwnedBitmap bitmap;
        std::uint32_t mask;
    } cases[] = {
        {"bottom_up.png", MakeSection32(7, 4, false), 0xFFFFFFFFu},
        {"top_down.png", MakeSection32(7, 4, true), 0xFFFFFFFFu},
        {"device.png", MakeDeviceBitmap32(7, 4), 0x00FFFFFFu},
        {"rgb24.png", MakeSection24(7, 4), 0x00FFFFFFu},
        {"rgb24_top_down.png", MakeSection24(7, 4, true), 0x00FFFFFFu},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.bitmap);
        const String path = folder.path(c.name);
        ASSERT_EQ(SaveImageResult::Saved, SaveBitmapAsImage(c.bitmap.get(), path, 90, kImageFormatPNG));
        Decoded decoded;
        ASSERT_TRUE(Decode(path, decoded));
        ExpectSamePixels(decoded, 7, 4, c.mask);
    }
}

TEST(SaveImageRoundTrip, JpegWritesAFileOfTheImageSize)
{
    TempFolder folder;
    OwnedBitmap bitmap = MakeSection32(16, 9, false);
    const String path = folder.path("out.jpg");
    ASSERT_EQ(SaveImageResult::Saved, SaveBitmapAsImage(bitmap.get(), path, 30, kImageFormatJPEG));
    Decoded decoded;
    ASSERT_TRUE(Decode(path, decoded));
    EXPECT_EQ(16u, decoded.width);
    EXPECT_EQ(9u, decoded.height);
}

TEST(SaveImageFailures, EachFailureHasItsOwnResultAndWritesNothing)
{
    TempFolder folder;
    OwnedBitmap bitmap = MakeSection32(4, 4, false);

    const String noEncoder = folder.path("icon.ico");
    EXPECT_EQ(SaveImageResult::NoEncoder, SaveBitmapAsImage(bitmap.get(), noEncoder, 90, kImageFormatIcon));
    EXPECT_FALSE(kesh::fs::exists(noEncoder));

    const String noBitmap = folder.path("none.png");
    EXPECT_EQ(SaveImageResult::NoBitmap, SaveBitmapAsImage(nullptr, noBitmap, 90, kImageFormatPNG));
    EXPECT_FALSE(kesh::fs::exists(noBitmap));

    const String noFolder = folder.path("missing\\out.png");
    EXPECT_EQ(SaveImageResult::WriteFailed, SaveBitmapAsImage(bitmap.get(), noFolder, 90, kImageFormatPNG));
}

namespace {

std::string ReadAll(const String& path)
{
    std::string bytes;
    const kesh::win::KernelHandle file(CreateFileW(path.toWide().get(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                   nullptr));
    if (!file.isValid()) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    return bytes;
}

bool WriteAll(const String& path, const std::string& bytes)
{
    const kesh::win::KernelHandle file(
        CreateFileW(path.toWide().get(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.isValid()) return false;
    DWORD put = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
}

// The names in a test folder, so that a staged file left behind shows.
std::vector<std::string> NamesIn(const TempFolder& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const kesh::win::FindHandle search(FindFirstFileW(folder.path("*").toWide().get(), &found));
    if (!search.isValid()) return names;
    do {
        const String name(found.cFileName);
        if (name.compare(".") != 0 && name.compare("..") != 0) names.push_back(name.c_str());
    } while (FindNextFileW(search, &found));
    return names;
}

}  // namespace

// A save over the image's own file must never leave it half written.
TEST(ReplacingWrite, AWriteThatFailsHalfwayLeavesTheOldFileWhole)
{
    TempFolder folder;
    const String target = folder.path("picture.png");
    ASSERT_TRUE(WriteAll(target, "the picture as it was"));

    EXPECT_FALSE(WriteReplacing(target, [](const String& path) {
        WriteAll(path, "half");
        return false;
    }));
    EXPECT_EQ("the picture as it was", ReadAll(target));
    EXPECT_EQ(std::vector<std::string>({"picture.png"}), NamesIn(folder));

    EXPECT_TRUE(WriteReplacing(target, [](const String& path) { return WriteAll(path, "the new picture"); }));
    EXPECT_EQ("the new picture", ReadAll(target));
    EXPECT_EQ(std::vector<std::string>({"picture.png"}), NamesIn(folder));
}

// The replaced file's attributes stay; a read-only one is not replaced and
// the staged file never stays behind, whatever the move did.
TEST(ReplacingWrite, AttributesOfTheReplacedFileAndReadOnlyOnes)
{
    const struct {
        const char* name;
        DWORD attributes;
        bool replaced;
    } cases[] = {
        {"plain", FILE_ATTRIBUTE_ARCHIVE, true},
        {"hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, true},
        {"read-only", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, false},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const String target = folder.path("picture.png");
        const boost::shared_array<wchar_t> wide = target.toWide();
        ASSERT_TRUE(WriteAll(target, "the picture as it was"));
        ASSERT_TRUE(SetFileAttributesW(wide.get(), c.attributes)) << c.name;
        // Writable again however the case ends, so that the folder can go.
        const std::shared_ptr<void> writableAgain(nullptr, [&wide](void*) {
            SetFileAttributesW(wide.get(), FILE_ATTRIBUTE_NORMAL);
        });

        EXPECT_EQ(c.replaced, WriteReplacing(target, [](const String& path) { return WriteAll(path, "new"); }))
            << c.name;
        EXPECT_EQ(c.replaced ? "new" : "the picture as it was", ReadAll(target)) << c.name;
        EXPECT_EQ(std::vector<std::string>({"picture.png"}), NamesIn(folder)) << c.name;
        EXPECT_EQ(c.attributes, GetFileAttributesW(wide.get())) << c.name;
    }
}

// A new file is named only once it is whole: another program that opens it
// meanwhile would find it half-written, or keep its check from reading it.
TEST(ReplacingWrite, ANewFileIsNamedOnlyOnceWritten)
{
    TempFolder folder;
    const String target = folder.path("new.png");
    for (bool written : {false, true}) {
        EXPECT_EQ(written, WriteReplacing(target, [&](const String& path) {
            WriteAll(path, "half");
            EXPECT_FALSE(kesh::fs::exists(target)) << "named while written";
            return written;
        }));
        EXPECT_EQ(written ? std::vector<std::string>({"new.png"}) : std::vector<std::string>(), NamesIn(folder));
    }
}

// A save cut off (its process ended while it wrote) leaves its staged file
// behind: the next save of the same picture removes it, but never the one
// of a save still running, nor a file of any other name.
TEST(ReplacingWrite, TheStagedFileOfAnEndedSaveGoesWithTheNextSave)
{
    TempFolder folder;
    // Another editor whose save runs: a process of the test's own, suspended.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                               &child));
    const kesh::win::KernelHandle process(child.hProcess), thread(child.hThread);
    FILETIME start = {}, unused[3];
    ASSERT_TRUE(GetProcessTimes(process, &start, &unused[0], &unused[1], &unused[2]));
    auto staged = [](const char* picture, DWORD id, FILETIME t) {
        const String name = String::format("%s.%lu.%08lX%08lX.saving", picture, id, t.dwHighDateTime, t.dwLowDateTime);
        return std::string(name.c_str());
    };
    const std::set<std::string> running = {staged("picture.png", child.dwProcessId, start),
                                           String::format("picture.png.%lu.saving", child.dwProcessId).c_str()};
    std::set<std::string> kept = {"picture.png", "picture.png.saving", "picture.png.old.saving",
                                  staged("other.png", child.dwProcessId, start), *running.begin() + ".txt"};
    // This process's id, but a process that ended before this one began.
    const std::string earlier = staged("picture.png", GetCurrentProcessId(), FILETIME{1, 0});
    for (const std::set<std::string>& names : {running, kept, std::set<std::string>{earlier}})
        for (const std::string& name : names) ASSERT_TRUE(WriteAll(folder.path(name.c_str()), "left"));
    kept.insert(running.begin(), running.end());
    for (bool ended : {false, true}) {
        if (ended) {
            TerminateProcess(process, 0);
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
            for (const std::string& name : running) kept.erase(name);
        }
        EXPECT_TRUE(WriteReplacing(folder.path("picture.png"), [](const String& path) { return WriteAll(path, "new"); }));
        const std::vector<std::string> names = NamesIn(folder);
        EXPECT_EQ(kept, std::set<std::string>(names.begin(), names.end())) << (ended ? "ended" : "running");
    }
}

TEST(SaveImageRoundTrip, SavingOverAFileReplacesItWhole)
{
    TempFolder folder;
    const String target = folder.path("own.png");
    ASSERT_TRUE(WriteAll(target, "old bytes"));
    OwnedBitmap bitmap = MakeSection32(5, 3, false);
    ASSERT_EQ(SaveImageResult::Saved, SaveBitmapAsImage(bitmap.get(), target, 90, kImageFormatPNG));
    Decoded decoded;
    ASSERT_TRUE(Decode(target, decoded));
    EXPECT_EQ(5u, decoded.width);
    EXPECT_EQ(std::vector<std::string>({"own.png"}), NamesIn(folder));

    // A file that may not be replaced right now keeps what it holds.
    const std::string saved = ReadAll(target);
    kesh::win::KernelHandle held(
        CreateFileW(target.toWide().get(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.isValid());
    OwnedBitmap other = MakeSection32(7, 2, false);
    EXPECT_EQ(SaveImageResult::WriteFailed, SaveBitmapAsImage(other.get(), target, 90, kImageFormatPNG));
    held.reset();
    EXPECT_EQ(saved, ReadAll(target));
    EXPECT_EQ(std::vector<std::string>({"own.png"}), NamesIn(folder));
}

// An encoder may report success for a file that holds no picture, or not
// the one saved (another size, another format): such a file must neither
// replace the one saved over nor stay as a new one.
TEST(SaveImageReadBack, OnlyAFileThatReadsBackAsThePictureIsSaved)
{
    TempFolder folder;
    const String picture = folder.path("picture.png");
    OwnedBitmap bitmap = MakeSection32(5, 3, false);
    ASSERT_EQ(SaveImageResult::Saved, SaveBitmapAsImage(bitmap.get(), picture, 90, kImageFormatPNG));
    const std::string png = ReadAll(picture);
    // A 640 x 400 GIF's screen and image descriptor, without image data.
    const std::string noImage("GIF89a\x80\x02\x90\x01\x77\x00\x00\x2C\x00\x00\x00\x00\x80\x02\x90\x01\x00\x3B", 24);
    const struct {
        const char* name;
        std::string written;
        SIZE size;
        GUID format;
        bool saved;
    } cases[] = {
        {"a header without image data", noImage, {640, 400}, kImageFormatGIF, false},
        {"a picture of another size", png, {6, 3}, kImageFormatPNG, false},
        {"a picture of another format", png, {5, 3}, kImageFormatBMP, false},
        {"the picture", png, {5, 3}, kImageFormatPNG, true},
    };
    for (const auto& c : cases) {
        for (const bool own : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (own ? " over the picture" : " as a new file"));
            const std::string before = ReadAll(picture);
            EXPECT_EQ(c.saved, WriteReadableImage(folder.path(own ? "picture.png" : "new.png"), c.size, c.format,
                                                  [&](const String& path) { return WriteAll(path, c.written); }));
            EXPECT_EQ(c.saved && own ? c.written : before, ReadAll(picture));
            const std::vector<std::string> names = {"new.png", "picture.png"};
            EXPECT_EQ(std::vector<std::string>(names.begin() + (c.saved && !own ? 0 : 1), names.end()), NamesIn(folder));
            DeleteFileW(folder.path("new.png").toWide().get());
        }
    }
}

TEST(SaveImageFailures, EachFailureHasItsOwnMessage)
{
    EXPECT_EQ(0, SaveFailureMessageId(SaveImageResult::Saved));
    EXPECT_EQ(IDS_SAVE_FORMAT_UNSUPPORTED, SaveFailureMessageId(SaveImageResult::NoEncoder));
    EXPECT_EQ(IDS_SAVE_NO_BITMAP, SaveFailureMessageId(SaveImageResult::NoBitmap));
    EXPECT_EQ(IDS_SAVE_FAILED, SaveFailureMessageId(SaveImageResult::WriteFailed));
}

TEST(EncoderParameters, JpegGetsTheQualityAsOneLong)
{
    for (ULONG quality : {0ul, 37ul, 100ul}) {
        const EncoderParameterBlock block(kImageFormatJPEG, quality);
        const Gdiplus::EncoderParameters* list = block.get();
        ASSERT_NE(nullptr, list);
        ASSERT_EQ(1u, list->Count);
        const Gdiplus::EncoderParameter& parameter = list->Parameter[0];
        EXPECT_TRUE(SameFormat(kEncoderQuality, parameter.Guid));
        EXPECT_EQ(1u, parameter.NumberOfValues);
        EXPECT_EQ(4u, parameter.Type);  // EncoderParameterValueTypeLong
        ASSERT_NE(nullptr, parameter.Value);
        EXPECT_EQ(quality, *static_cast<const ULONG*>(parameter.Value));
    }
}

TEST(EncoderParameters, OtherFormatsGetNoList)
{
    for (const GUID* format : {&kImageFormatPNG, &kImageFormatGIF, &kImageFormatBMP, &GUID_NULL}) {
        const EncoderParameterBlock block(*format, 90);
        EXPECT_EQ(nullptr, block.get());
    }
}

// GDI fills leave the fourth byte of a pixel at 0; it is not alpha, so a
// saved image never turns transparent where the user drew.
TEST(BitmapConversion, A32BitBitmapIsOpaqueWithItsTopRowOnTop)
{
    OwnedBitmap bitmap = MakeSection32(3, 2, false);
    const ConvertedBitmap converted = BitmapFromHBITMAP(bitmap.get());
    ASSERT_EQ(Gdiplus::Ok, converted.status);
    Gdiplus::PixelFormat format = 0;
    gp::GdipGetImagePixelFormat(converted.bitmap.get(), &format);
    EXPECT_EQ(PixelFormat32bppRGB, format);
    Gdiplus::ARGB topLeft = 0;
    gp::GdipBitmapGetPixel(converted.bitmap.get(), 0, 0, &topLeft);
    EXPECT_EQ(PixelAt(0, 0) | 0xFF000000u, topLeft);

    EXPECT_NE(Gdiplus::Ok, BitmapFromHBITMAP(nullptr).status);
}

TEST(OwnFilePath, SameFileWhateverTheCaseSeparatorsOrDots)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Pics\\shot.png", "C:\\Pics\\shot.png", true},
        {"C:\\Pics\\shot.png", "c:\\pics\\SHOT.PNG", true},
        {"C:\\Pics\\shot.png", "C:/Pics/shot.png", true},
        {"C:\\Pics\\shot.png", "C:\\Pics\\sub\\..\\shot.png", true},
        {"C:\\Pics\\shot.png", "C:\\Pics\\shot.jpg", false},
        {"C:\\Pics\\shot.png", "D:\\Pics\\shot.png", false},
        {"", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, IsSameImagePath(c.a, c.b)) << c.a << " | " << c.b;
}
