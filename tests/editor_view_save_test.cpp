// Saving the edited image: a PNG round trip keeps every pixel where it was,
// saving over the image's own file (by any spelling of its path) clears the
// modified mark, and failures show their message and keep the mark.
#include "tests/editor_view_support.h"

#include "common/image_formats.h"
#include "editor/resource.h"
#include "kesh/file.h"
#include "ui/strings.h"

#include <cwctype>
#include <memory>

using namespace viewtest;

namespace {

class ViewSaveTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        view = OpenPattern(64, 40);
        ASSERT_NE(view, nullptr);
    }
    // One pencil stroke: the image becomes modified.
    void Scribble()
    {
        Command(ID_TOOL_PENCIL);
        const POINT origin = view->ImageOrigin();
        Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, POINT{origin.x + 5, origin.y + 5}, POINT{origin.x + 20, origin.y + 5});
        ASSERT_EQ(view->Modified(), 1);
    }
    CPaintView* view = nullptr;
};

kesh::String UpperCased(const kesh::String& path)
{
    std::wstring wide = path.toWide().get();
    for (wchar_t& c : wide)
        if (c < 0x80)
            c = static_cast<wchar_t>(std::towupper(c));
    return kesh::String(wide.c_str());
}

}  // namespace

TEST_F(ViewSaveTest, PngRoundTripKeepsEveryPixelWhereItWas)
{
    const kesh::String out = folder_.path("copy.png");
    ASSERT_TRUE(view->SaveImage(out, 0, kImageFormatPNG));
    const POINT probes[] = {{0, 0}, {63, 0}, {0, 39}, {63, 39}, {17, 29}};
    for (const POINT& p : probes)
        EXPECT_EQ(FilePixel(out, p.x, p.y) & 0xFFFFFF, editortest::PixelAt(p.x, p.y) & 0xFFFFFF) << p.x << "," << p.y;
    EXPECT_EQ(FilePixel(out, 0, 0) >> 24, 0xFFu) << "opaque";
    EXPECT_TRUE(shell_.boxes.empty());
}

TEST_F(ViewSaveTest, TheSavedImageHoldsTheStrokes)
{
    Command(ID_TOOL_PENCIL);
    Command(ID_PENCIL_THICK);
    const POINT origin = view->ImageOrigin();
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, POINT{origin.x + 5, origin.y + 10}, POINT{origin.x + 60, origin.y + 10});
    const kesh::String out = folder_.path("drawn.png");
    ASSERT_TRUE(view->SaveImage(out, 0, kImageFormatPNG));
    EXPECT_EQ(FilePixel(out, 30, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(FilePixel(out, 30, 30) & 0xFFFFFF, editortest::PixelAt(30, 30) & 0xFFFFFF);
}

TEST_F(ViewSaveTest, OnlySavingOverItsOwnFileClearsTheModifiedMark)
{
    Scribble();
    struct Case {
        const char* name;
        kesh::String target;
        int modifiedAfter;
    } cases[] = {
        {"elsewhere", folder_.path("other.png"), 1},
        {"upper-cased own path", UpperCased(view->GetPath()), 0},
        {"own path through ..", folder_.path("sub\\..\\pattern.png"), 0},
    };
    for (const Case& c : cases) {
        view->SetModified(1);
        EXPECT_TRUE(view->SaveImage(c.target, 0, kImageFormatPNG)) << c.name;
        EXPECT_EQ(view->Modified(), c.modifiedAfter) << c.name;
    }
    EXPECT_EQ(host_.GetWindowText(), ui::LoadResString(IDR_MAINFRAME) + L" - pattern.png");
}

TEST_F(ViewSaveTest, FailuresShowTheirMessageAndKeepTheMark)
{
    Scribble();
    const kesh::String readOnly = folder_.path("read-only.png");
    const std::wstring readOnlyWide = readOnly.toWide().get();
    ASSERT_TRUE(kesh::fs::copy(view->GetPath(), readOnly));
    const unsigned long long readOnlySize = kesh::fs::size(readOnly);
    ASSERT_TRUE(SetFileAttributesW(readOnlyWide.c_str(), FILE_ATTRIBUTE_READONLY));
    // Writable again however the test ends, so that the folder can go.
    const std::shared_ptr<void> writableAgain(nullptr, [&readOnlyWide](void*) {
        SetFileAttributesW(readOnlyWide.c_str(), FILE_ATTRIBUTE_NORMAL);
    });
    struct Case {
        const char* name;
        kesh::String target;
        GUID format;
        UINT message;
    } cases[] = {
        {"no encoder", view->GetPath(), kImageFormatIcon, IDS_SAVE_FORMAT_UNSUPPORTED},
        {"missing folder", folder_.path("no such folder\\x.png"), kImageFormatPNG, IDS_SAVE_FAILED},
        {"read-only file", readOnly, kImageFormatPNG, IDS_SAVE_FAILED},
    };
    for (const Case& c : cases) {
        shell_.boxes.clear();
        EXPECT_FALSE(view->SaveImage(c.target, 90, c.format)) << c.name;
        ASSERT_EQ(shell_.boxes.size(), 1u) << c.name;
        EXPECT_EQ(shell_.boxes[0].text, ui::LoadResString(c.message)) << c.name;
        EXPECT_EQ(shell_.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND)) << c.name;
        EXPECT_EQ(view->Modified(), 1) << c.name;
    }
    EXPECT_EQ(kesh::fs::size(readOnly), readOnlySize);
}

TEST_F(ViewSaveTest, JpegSavesWithTheQualityGiven)
{
    const kesh::String out = folder_.path("photo.jpg");
    ASSERT_TRUE(view->SaveImage(out, 30, kImageFormatJPEG));
    EXPECT_GT(kesh::fs::size(out), 0u);
    EXPECT_NE(FilePixel(out, 0, 0), 0u) << "a JPEG GDI+ can read back";
}
