// A real paint view driven by mouse and key messages: loading, placement,
// strokes and pans, cancelling, undo and redo, keys, cursors and the
// settings written when the view goes.
#include "tests/editor_view_support.h"

#include "common/image_formats.h"
#include "editor/io/image_saver.h"
#include "editor/resource.h"
#include "ui/command.h"
#include "ui/strings.h"

#include <fstream>
#include <iterator>

using namespace viewtest;

namespace {

std::wstring ProgramTitle() { return ui::LoadResString(IDR_MAINFRAME); }

// Client point of image pixel (x, y).
POINT ClientOf(const CPaintView& view, int x, int y)
{
    const POINT origin = view.ImageOrigin();
    const POINT scroll = view.ScrollPosition();
    return POINT{origin.x - scroll.x + x, origin.y - scroll.y + y};
}

// What the view shows at client point at, as 0x00RRGGBB.
std::uint32_t ShownPixel(const CPaintView& view, POINT at)
{
    const kesh::win::ClientDC dc(view.handle());
    const COLORREF shown = GetPixel(dc, at.x, at.y);
    return (GetRValue(shown) << 16) | (GetGValue(shown) << 8) | GetBValue(shown);
}

bool Enabled(CPaintView& view, UINT id)
{
    ui::CommandState state(id);
    state.DoUpdate(view, true);
    return state.enabled();
}

void WriteBytes(const kesh::String& path, const std::string& bytes)
{
    std::ofstream out(path.toWide().get(), std::ios::binary);
    out << bytes;
}

// A 24-bit BMP of width x height with varying pixels: about 3 bytes a
// pixel on disk.
std::string Bmp24(int width, int height)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    const int imageSize = stride * height;
    std::string file(54 + static_cast<size_t>(imageSize), '\0');
    auto put32 = [&file](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, static_cast<std::uint32_t>(imageSize));
    for (int i = 0; i < imageSize; ++i) file[54 + static_cast<size_t>(i)] = static_cast<char>(i * 37 % 251);
    return file;
}

// A GIF of 1 x 1 pixel with frames frames.
std::string Gif(int frames)
{
    std::string file("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF", 19);
    const std::string frame("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    for (int i = 0; i < frames; ++i) file += frame;
    return file + "\x3B";
}

// A small JPEG, 8 x 8 pixels of data, whose frame header claims 65500 x
// 65500: a decoder trusting it would take 12 GB.
void WriteHugeJpeg(const kesh::String& path)
{
    const editortest::OwnedBitmap small = editortest::MakeSection32(8, 8, false);
    ASSERT_EQ(SaveBitmapAsImage(small.get(), path, 90, kImageFormatJPEG), SaveImageResult::Saved);
    std::ifstream in(path.toWide().get(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    bytes.replace(frame + 5, 4, "\xFF\xDC\xFF\xDC");
    WriteBytes(path, bytes);
}

}  // namespace

TEST_F(ViewTest, AnUnreadableImageFailsCreationWithTheMessage)
{
    WriteBytes(folder_.path("broken.png"), "not an image at all");
    WriteHugeJpeg(folder_.path("huge.jpg"));
    const char* names[] = {"broken.png", "missing.png", "huge.jpg"};
    for (const char* name : names) {
        shell_.boxes.clear();
        CPaintView view(folder_.path(name), key_.path());
        EXPECT_FALSE(view.CreateInFrame(&host_)) << name;
        EXPECT_EQ(view.handle(), nullptr) << name;
        ASSERT_EQ(shell_.boxes.size(), 1u) << name;
        EXPECT_EQ(shell_.boxes[0].text, L"打开文件失败");
        EXPECT_EQ(shell_.boxes[0].caption, ui::LoadResString(IDS_APP_TITLE));
        EXPECT_EQ(shell_.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
    }
}

TEST_F(ViewTest, LoadingReadsSizeFormatsAndSetsTheTitle)
{
    CPaintView* view = OpenPattern(40, 30);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Width(), 40);
    EXPECT_EQ(view->Height(), 30);
    EXPECT_TRUE(SameFormat(view->RawFormat(), kImageFormatPNG));
    EXPECT_FALSE(view->IsMultiFrame());
    EXPECT_EQ(view->Modified(), 0);
    EXPECT_EQ(Title(), ProgramTitle() + L" - pattern.png");
    EXPECT_EQ(kesh::String(view->GetPath()).compare(folder_.path("pattern.png").c_str()), 0);
}

TEST_F(ViewTest, ABmpOfThreeBytesAPixelProposesJpeg)
{
    const kesh::String path = folder_.path("noise.bmp");
    WriteBytes(path, Bmp24(64, 48));
    CPaintView* view = Open(path);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(SameFormat(view->RawFormat(), kImageFormatBMP));
    EXPECT_TRUE(SameFormat(view->PreferredSaveFormat(), kImageFormatJPEG));
}

TEST_F(ViewTest, AFileOfSeveralFramesIsMarked)
{
    struct Case {
        const char* name;
        int frames;
    } cases[] = {{"one.gif", 1}, {"two.gif", 2}};
    for (const Case& c : cases) {
        WriteBytes(folder_.path(c.name), Gif(c.frames));
        CPaintView* view = Open(folder_.path(c.name));
        ASSERT_NE(view, nullptr) << c.name;
        EXPECT_TRUE(SameFormat(view->RawFormat(), kImageFormatGIF)) << c.name;
        EXPECT_EQ(view->IsMultiFrame(), c.frames > 1) << c.name;
        CloseView();
    }
}

TEST_F(ViewTest, PaintShowsTheImageAtItsOriginAndShadowAround)
{
    CPaintView* view = OpenPattern(800, 600);
    ASSERT_NE(view, nullptr);
    view->ScrollTo(POINT{5, 7});
    const RECT client = view->GetClientRect();
    // The view paints into a bitmap of its client size the way WM_PAINT does.
    editortest::OwnedBitmap canvas = editortest::MakeSection32(client.right, client.bottom, true);
    kesh::win::MemoryDC dc;
    {
        kesh::win::SelectObjectGuard selected(dc, canvas.get());
        view->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)));
    }
    EXPECT_EQ(BitmapPixel(canvas.get(), 25, 33), editortest::PixelAt(25, 33) & 0xFFFFFF) << "the image area is not erased";
    {
        kesh::win::SelectObjectGuard selected(dc, canvas.get());
        kesh::win::SaveDCGuard saved(dc);
        view->OnPrepareDC(dc);
        view->OnDraw(dc);
    }
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const std::uint32_t shadowPixel = (GetRValue(shadow) << 16) | (GetGValue(shadow) << 8) | GetBValue(shadow);
    // Image pixel (x, y) is at client (10 - 5 + x, 10 - 7 + y).
    EXPECT_EQ(BitmapPixel(canvas.get(), 4, 2), shadowPixel) << "margin";
    EXPECT_EQ(BitmapPixel(canvas.get(), 5, 3), editortest::PixelAt(0, 0) & 0xFFFFFF);
    EXPECT_EQ(BitmapPixel(canvas.get(), 5 + 20, 3 + 30), editortest::PixelAt(20, 30) & 0xFFFFFF);
}

TEST_F(ViewTest, ARepaintOfPartOfTheWindowCopiesThatPartOnly)
{
    CPaintView* view = OpenPattern(800, 600);
    ASSERT_NE(view, nullptr);
    view->ScrollTo(POINT{5, 7});
    const RECT client = view->GetClientRect();
    editortest::OwnedBitmap canvas = editortest::MakeSection32(client.right, client.bottom, true);
    {
        kesh::win::MemoryDC dc;
        kesh::win::SelectObjectGuard selected(dc, canvas.get());
        view->OnPrepareDC(dc);
        // Scrolled coordinates (40, 50) to (60, 70): image pixels (30, 40) to (50, 60).
        IntersectClipRect(dc, 40, 50, 60, 70);
        view->OnDraw(dc);
    }
    // Client = scrolled - scroll position.
    EXPECT_EQ(BitmapPixel(canvas.get(), 35, 43), editortest::PixelAt(30, 40) & 0xFFFFFF);
    EXPECT_EQ(BitmapPixel(canvas.get(), 54, 62), editortest::PixelAt(49, 59) & 0xFFFFFF);
    EXPECT_EQ(BitmapPixel(canvas.get(), 34, 43), editortest::PixelAt(34, 43) & 0xFFFFFF) << "outside: untouched";
    EXPECT_EQ(BitmapPixel(canvas.get(), 55, 63), editortest::PixelAt(55, 63) & 0xFFFFFF) << "outside: untouched";
}

TEST_F(ViewTest, SmallImageIsCentredLargeOneStartsAtTheMargin)
{
    struct Case {
        int width, height;
        POINT origin;
        SIZE total;
    } cases[] = {
        {40, 30, {(300 - 60) / 2 + 10, (200 - 50) / 2 + 10}, {60, 50}},
        {800, 600, {10, 10}, {820, 620}},
        {280, 30, {10, 85}, {300, 50}},  // exactly as wide as the client: margin
    };
    for (const Case& c : cases) {
        CPaintView* view = OpenPattern(c.width, c.height, 300, 200);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->ImageOrigin().x, c.origin.x) << c.width;
        EXPECT_EQ(view->ImageOrigin().y, c.origin.y) << c.width;
        EXPECT_EQ(view->TotalSize().cx, c.total.cx);
        EXPECT_EQ(view->TotalSize().cy, c.total.cy);
        CloseView();
    }
}

// The picture moves with the client size (centred, or at the margin with
// scroll bars): every size change shows it at its new place, and a stroke
// lands on the pixel shown under the pointer.
TEST_F(ViewTest, AfterEachResizeThePictureShowsAtItsNewPlaceAndAStrokeLandsUnderThePointer)
{
    CPaintView* view = OpenPattern(100, 80, 200, 150);
    ASSERT_NE(view, nullptr);
    // Painted whole once at its first size.
    view->Invalidate();
    UpdateWindow(view->handle());
    const SIZE sizes[] = {{360, 260}, {60, 50}, {300, 200}};
    for (const SIZE& size : sizes) {
        ResizeView(size.cx, size.cy);
        uitest::pump();
        for (const POINT& pixel : {POINT{0, 0}, POINT{20, 20}})
            EXPECT_EQ(ShownPixel(*view, ClientOf(*view, pixel.x, pixel.y)), editortest::PixelAt(pixel.x, pixel.y) & 0xFFFFFF)
                << size.cx << "x" << size.cy << " at " << pixel.x << "," << pixel.y;
    }
    Command(ID_TOOL_PENCIL);
    Command(ID_PENCIL_THICK);
    const POINT pointer = ClientOf(*view, 50, 40);
    EXPECT_EQ(ShownPixel(*view, pointer), editortest::PixelAt(50, 40) & 0xFFFFFF) << "under the pointer";
    Mouse(WM_LBUTTONDOWN, pointer.x, pointer.y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, pointer.x, pointer.y);
    uitest::pump();
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 50, 40), 0u);
    EXPECT_EQ(ShownPixel(*view, pointer), 0u);
}

TEST_F(ViewTest, PencilDragAddsOneStrokeAndMarksTheTitle)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_PENCIL);
    Command(ID_PENCIL_THICK);
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, ClientOf(*view, 10, 40), ClientOf(*view, 90, 40));
    EXPECT_EQ(view->History().UndoList().size(), 1u);
    EXPECT_EQ(view->Modified(), 1);
    EXPECT_EQ(Title(), ProgramTitle() + L" - *pattern.png");
    EXPECT_FALSE(view->IsTracking());
    EXPECT_NE(GetCapture(), view->handle());
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 50, 40), 0u) << "black under the middle of the line";
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 50, 10), editortest::PixelAt(50, 10) & 0xFFFFFF);
}

TEST_F(ViewTest, AClickWithoutMovingIsARecordedStroke)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_PENCIL);
    const POINT at = ClientOf(*view, 20, 20);
    Mouse(WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, at.x, at.y);
    EXPECT_EQ(view->History().UndoList().size(), 1u);
    EXPECT_EQ(view->Modified(), 1);
}

TEST_F(ViewTest, AQuickSecondClickIsAStrokeOfItsOwn)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_PENCIL);
    Command(ID_PENCIL_THICK);
    const POINT first = ClientOf(*view, 20, 20), second = ClientOf(*view, 60, 20);
    Mouse(WM_LBUTTONDOWN, first.x, first.y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, first.x, first.y);
    // What the window class reports for a press soon after the last one.
    Mouse(WM_LBUTTONDBLCLK, second.x, second.y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, second.x, second.y);
    EXPECT_EQ(view->History().UndoList().size(), 2u);
    EXPECT_EQ(view->Modified(), 2);
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 60, 20), 0u) << "the second dot is drawn";

    CloseView();
    view = OpenPattern(800, 600);
    ASSERT_NE(view, nullptr);
    view->ScrollTo(POINT{100, 100});
    Mouse(WM_RBUTTONDBLCLK, 150, 100, MK_RBUTTON);
    Mouse(WM_MOUSEMOVE, 180, 100, MK_RBUTTON);
    Mouse(WM_RBUTTONUP, 180, 100);
    EXPECT_EQ(view->ScrollPosition().x, 70) << "a quick second right press pans too";
}

TEST_F(ViewTest, RightDragOf30PixelsScrollsBy30WhateverTheTool)
{
    const UINT tools[] = {ID_TOOL_HAND, ID_TOOL_PENCIL, ID_TOOL_MOSAIC};
    for (UINT tool : tools) {
        CPaintView* view = OpenPattern(800, 600);
        ASSERT_NE(view, nullptr);
        Command(tool);
        view->ScrollTo(POINT{100, 100});
        Drag(WM_RBUTTONDOWN, WM_RBUTTONUP, POINT{150, 100}, POINT{180, 100});
        EXPECT_EQ(view->ScrollPosition().x, 70) << tool;
        EXPECT_EQ(view->ScrollPosition().y, 100) << tool;
        EXPECT_TRUE(view->History().UndoList().empty()) << "a pan is no stroke";
        EXPECT_EQ(view->Modified(), 0);
        EXPECT_FALSE(view->IsTracking());
        CloseView();
    }
}

TEST_F(ViewTest, LeftDragWithTheHandPans)
{
    CPaintView* view = OpenPattern(800, 600);
    ASSERT_NE(view, nullptr);
    view->ScrollTo(POINT{100, 100});
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, POINT{150, 100}, POINT{130, 80});
    EXPECT_EQ(view->ScrollPosition().x, 120);
    EXPECT_EQ(view->ScrollPosition().y, 120);
    EXPECT_EQ(view->Modified(), 0);
}

TEST_F(ViewTest, EscMidStrokeRecordsNothing)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_PENCIL);
    Command(ID_PENCIL_THICK);
    const POINT from = ClientOf(*view, 10, 40), to = ClientOf(*view, 90, 40);
    Mouse(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
    EXPECT_TRUE(view->IsTracking());
    view->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_FALSE(view->IsTracking());
    EXPECT_NE(GetCapture(), view->handle());
    Mouse(WM_LBUTTONUP, to.x, to.y);
    EXPECT_TRUE(view->History().UndoList().empty());
    EXPECT_EQ(view->Modified(), 0);
    EXPECT_EQ(Title(), ProgramTitle() + L" - pattern.png");
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 50, 40), editortest::PixelAt(50, 40) & 0xFFFFFF);
}

TEST_F(ViewTest, LosingTheCaptureCancelsTheStroke)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_MOSAIC);
    const POINT from = ClientOf(*view, 10, 10), to = ClientOf(*view, 60, 60);
    Mouse(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
    SetCapture(host_.handle());
    EXPECT_FALSE(view->IsTracking());
    ReleaseCapture();
    Mouse(WM_LBUTTONUP, to.x, to.y);
    EXPECT_TRUE(view->History().UndoList().empty());
}

TEST_F(ViewTest, RightReleaseEndsALeftStrokeAndTheLaterLeftReleaseDoesNothing)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_HIGHLIGHTER);
    const POINT a = ClientOf(*view, 10, 10), b = ClientOf(*view, 50, 10), c = ClientOf(*view, 80, 10);
    Mouse(WM_LBUTTONDOWN, a.x, a.y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, b.x, b.y, MK_LBUTTON);
    Mouse(WM_RBUTTONUP, b.x, b.y, MK_LBUTTON);
    EXPECT_EQ(view->History().UndoList().size(), 1u);
    Mouse(WM_MOUSEMOVE, c.x, c.y, MK_LBUTTON);
    EXPECT_FALSE(view->IsTracking());
    Mouse(WM_LBUTTONUP, c.x, c.y);
    EXPECT_EQ(view->History().UndoList().size(), 1u);
    EXPECT_EQ(view->Modified(), 1);
}

TEST_F(ViewTest, UndoAndRedoMoveTheCounterTheTitleAndTheirEnabledState)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(Enabled(*view, ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(*view, ID_EDIT_REDO));
    Command(ID_EDIT_UNDO);  // disabled: nothing happens
    EXPECT_EQ(view->Modified(), 0);

    Command(ID_TOOL_PENCIL);
    Command(ID_PENCIL_THICK);
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, ClientOf(*view, 10, 40), ClientOf(*view, 90, 40));
    EXPECT_TRUE(Enabled(*view, ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(*view, ID_EDIT_REDO));

    Command(ID_EDIT_UNDO);
    EXPECT_EQ(view->Modified(), 0);
    EXPECT_EQ(Title(), ProgramTitle() + L" - pattern.png");
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 50, 40), editortest::PixelAt(50, 40) & 0xFFFFFF);
    EXPECT_FALSE(Enabled(*view, ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(*view, ID_EDIT_REDO));

    Command(ID_EDIT_REDO);
    EXPECT_EQ(view->Modified(), 1);
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 50, 40), 0u);

    // Saved, then undone: below zero still counts as modified.
    ASSERT_TRUE(view->SaveImage(view->GetPath(), 0, kImageFormatPNG));
    EXPECT_EQ(view->Modified(), 0);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(view->Modified(), -1);
    EXPECT_EQ(Title(), ProgramTitle() + L" - *pattern.png");
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Title(), ProgramTitle() + L" - pattern.png");
}

TEST_F(ViewTest, ANewStrokeAfterUndoEmptiesRedo)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_PENCIL);
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, ClientOf(*view, 10, 10), ClientOf(*view, 30, 10));
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(Enabled(*view, ID_EDIT_REDO));
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, ClientOf(*view, 10, 50), ClientOf(*view, 30, 50));
    EXPECT_FALSE(Enabled(*view, ID_EDIT_REDO));
    EXPECT_EQ(view->Modified(), 1);
}

TEST_F(ViewTest, UndoReachesBackFifteenStrokes)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    Command(ID_TOOL_PENCIL);
    Command(ID_PENCIL_THICK);
    for (int i = 0; i < 16; ++i) {
        const POINT at = ClientOf(*view, 5 + 5 * i, 40);
        Mouse(WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
        Mouse(WM_LBUTTONUP, at.x, at.y);
    }
    EXPECT_EQ(view->Modified(), 16);
    int undone = 0;
    while (Enabled(*view, ID_EDIT_UNDO) && undone < 20) {
        Command(ID_EDIT_UNDO);
        ++undone;
    }
    EXPECT_EQ(undone, 15);
    EXPECT_EQ(view->Modified(), 1);
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 5, 40), 0u) << "the first dot lives in the base";
    EXPECT_EQ(BitmapPixel(view->DisplayBitmap(), 10, 40), editortest::PixelAt(10, 40) & 0xFFFFFF);
}

TEST_F(ViewTest, ArrowKeysScrollThreeLinesAtMostAPage)
{
    CPaintView* view = OpenPattern(800, 600);
    ASSERT_NE(view, nullptr);
    // Total 820 x 620: a page is 82 x 62, a line 8 x 6.
    struct Case {
        WPARAM key;
        POINT expected;
    } cases[] = {
        {VK_RIGHT, {24, 0}}, {VK_DOWN, {24, 18}}, {VK_RIGHT, {48, 18}},
        {VK_LEFT, {24, 18}}, {VK_UP, {24, 0}},    {'A', {24, 0}},
    };
    for (const Case& c : cases) {
        view->SendMessage(WM_KEYDOWN, c.key, 0x00010001);
        EXPECT_EQ(view->ScrollPosition().x, c.expected.x) << c.key;
        EXPECT_EQ(view->ScrollPosition().y, c.expected.y) << c.key;
    }
}

TEST_F(ViewTest, TheCursorFollowsTheToolAndTheHighlighterColour)
{
    CPaintView* view = OpenPattern(100, 80);
    ASSERT_NE(view, nullptr);
    struct Case {
        UINT command;
        int cursor;
    } cases[] = {
        {ID_TOOL_HAND, IDC_CURSOR_HAND},
        {ID_TOOL_PENCIL, IDC_CURSOR_PENCIL},
        {ID_TOOL_MOSAIC, IDC_CURSOR_MOSAIC},
        {ID_HIGHLIGHTER_YELLOW, IDC_CURSOR_HIGHLIGHTER_YELLOW},
        {ID_HIGHLIGHTER_PURPLE, IDC_CURSOR_HIGHLIGHTER_PURPLE},
        {ID_HIGHLIGHTER_CYAN, IDC_CURSOR_HIGHLIGHTER_CYAN},
    };
    for (const Case& c : cases) {
        Command(c.command);
        const LRESULT handled = view->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view->handle()),
                                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_TRUE(handled) << c.command;
        EXPECT_EQ(GetCursor(), LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.cursor))) << c.command;
    }
}

TEST_F(ViewTest, SettingsAreWrittenBackWhenTheViewGoesAndReadByTheNext)
{
    CPaintView* view = OpenPattern(40, 30);
    ASSERT_NE(view, nullptr);
    Command(ID_PENCIL_RED);
    Command(ID_MOSAIC_STRONG);
    EXPECT_FALSE(key_.hasValue("pencilColor")) << "nothing is written while the view lives";
    CloseView();
    EXPECT_EQ(Title(), ProgramTitle());
    EXPECT_EQ(std::string(key_.value("pencilColor").c_str()), "255");
    EXPECT_EQ(std::string(key_.value("mosaicStrength").c_str()), "9");
    EXPECT_EQ(std::string(key_.value("nwpenColor").c_str()), "16711680");

    view = Open(folder_.path("pattern.png"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Settings().pencil.colour, 0x0000FFu);
    EXPECT_EQ(view->Settings().mosaic.strength, 9);
    EXPECT_EQ(view->ToolKind(), 0) << "the tool is not a setting";
}
