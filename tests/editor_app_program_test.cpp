// vomla.exe itself, started from the test as the capture toolbar starts
// it: with an image and the place where it was captured, and with no image.
#include "common/image_codecs.h"
#include "editor/resource.h"
#include "kesh/handles.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/wait.h"
#include "ui/resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using kesh::Wide;
using testsupport::WaitFor;

// vomla.exe with parameters, ended by the test at the latest.
class Editor {
public:
    explicit Editor(const std::wstring& parameters)
    {
        const std::wstring program = Wide(editorapptest::BesideTestProgram("vomla.exe"));
        std::wstring commandLine = L"\"" + program + L"\" " + parameters;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        started_ = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process) != FALSE;
        if (!started_)
            return;
        process_.Attach(process.hProcess);
        const kesh::win::KernelHandle unused(process.hThread);
        processId_ = process.dwProcessId;
    }
    ~Editor()
    {
        if (!started_)
            return;
        // Ended before the test's temporary folder goes: a process still
        // dying keeps its files open, and the folder would stay behind.
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
    }
    bool started() const { return started_; }

    // A visible top-level window of the editor of class className (null:
    // the main frame, the one with the view or the toolbar as child),
    // waited for up to timeoutMs.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs) const
    {
        Search search = {processId_, className, nullptr};
        WaitFor(
            [&search] {
                EnumWindows(&Editor::Match, reinterpret_cast<LPARAM>(&search));
                return search.found != nullptr;
            },
            timeoutMs, nullptr);
        return search.found;
    }

    // The exit code once the process has ended within timeoutMs, else -1.
    long WaitForExit(DWORD timeoutMs) const
    {
        if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return static_cast<long>(code);
    }

private:
    struct Search {
        DWORD process;
        const wchar_t* className;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND hwnd, LPARAM l)
    {
        Search* search = reinterpret_cast<Search*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != search->process || !IsWindowVisible(hwnd))
            return TRUE;
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        const bool wanted = search->className ? std::wstring(name) == search->className
                                              : GetDlgItem(hwnd, IDW_TOOLBAR) != nullptr;
        if (!wanted)
            return TRUE;
        search->found = hwnd;
        return FALSE;
    }

    kesh::win::KernelHandle process_;
    DWORD processId_ = 0;
    bool started_ = false;
};

TEST(EditorProgramTest, PlacesTheImageWhereItWasCaptured)
{
    editorapptest::EditorKeyGuard keyGuard;
    editortest::TempFolder files;
    const kesh::String image = files.path("cap261209-001.png");
    const int width = 300, height = 200;
    {
        GdiplusSession gdiplus;
        editorapptest::WritePng(image, width, height, 0xE020B0, 0xE020B0);
    }
    // Near the bottom-right corner of the work area, away from the
    // top-left where the windows of test programs running beside this one
    // come up, with room for the 400 x 400 frame that the image gets.
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const POINT capture = {area.right - 380, area.bottom - 330};
    Editor editor(L"\"" + Wide(image) + L"\" -x" + std::to_wstring(capture.x) + L" -y" +
                  std::to_wstring(capture.y));
    ASSERT_TRUE(editor.started());
    HWND frame = editor.WaitForWindow(nullptr, 20000);
    ASSERT_NE(nullptr, frame);
    HWND view = GetDlgItem(frame, IDW_PANE_FIRST);
    ASSERT_NE(nullptr, view);

    // The frame's decorations plus the image plus 40 in each direction, at
    // least 400 x 400.
    RECT frameRect = {}, viewRect = {};
    GetWindowRect(frame, &frameRect);
    GetWindowRect(view, &viewRect);
    const int decorationsX = (frameRect.right - frameRect.left) - (viewRect.right - viewRect.left);
    const int decorationsY = (frameRect.bottom - frameRect.top) - (viewRect.bottom - viewRect.top);
    EXPECT_EQ(std::max(400, decorationsX + width + 40), frameRect.right - frameRect.left);
    EXPECT_EQ(std::max(400, decorationsY + height + 40), frameRect.bottom - frameRect.top);

    // What the screen shows: the image's top-left pixel where it was
    // captured, give or take the pixel that halving an odd border costs.
    POINT corner = {};
    ASSERT_TRUE(WaitFor([&] { return editorapptest::FindImageCorner(capture, 3, RGB(0xE0, 0x20, 0xB0), corner); },
                        10000, nullptr))
        << "no image corner near the capture point";
    EXPECT_LE(std::abs(corner.x - capture.x), 1) << corner.x;
    EXPECT_LE(std::abs(corner.y - capture.y), 1) << corner.y;

    // An unmodified image closes without a question.
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, editor.WaitForExit(15000));
}

TEST(EditorProgramTest, WithoutAnImageTheFileOpenDialogComesUpAtOnce)
{
    editorapptest::EditorKeyGuard keyGuard;
    Editor editor(L"\"\" -x-1 -y-1");
    ASSERT_TRUE(editor.started());
    HWND dialog = editor.WaitForWindow(L"#32770", 20000);
    ASSERT_NE(nullptr, dialog);
    HWND frame = editor.WaitForWindow(nullptr, 5000);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(nullptr, GetDlgItem(frame, IDW_PANE_FIRST));

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    // The dialog gone, the empty frame stays until it is closed.
    EXPECT_TRUE(WaitFor([dialog] { return !IsWindow(dialog); }, 10000, nullptr));
    EXPECT_TRUE(IsWindow(frame));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, editor.WaitForExit(15000));
}

// An 8 x 8 TIFF of 200 bytes whose one tile is 65536 x 65536: what its
// header declares passes for a small picture, yet the platform's decoder
// reads past its buffer on it.
TEST(EditorProgramTest, APictureThatCannotBeReadIsToldOfBeforeAnyWindowShows)
{
    editorapptest::EditorKeyGuard keyGuard;
    editortest::TempFolder files;
    const kesh::String tiff = files.path("tiles.tif");
    std::string bytes("II*\0\x08\0\0\0\x0A\0", 10);
    const unsigned tags[][3] = {{256, 3, 8}, {257, 3, 8},     {258, 3, 8},     {259, 3, 1},   {262, 3, 1},
                                {277, 3, 1}, {322, 4, 65536}, {323, 4, 65536}, {324, 4, 134}, {325, 4, 64}};
    for (const auto& tag : tags) {
        const unsigned v = tag[2];
        const char entry[12] = {char(tag[0]), char(tag[0] >> 8), char(tag[1]), 0, 1, 0, 0, 0,
                                char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        bytes.append(entry, 12);
    }
    bytes.resize(200, '\0');
    editorapptest::WriteFileBytes(tiff, bytes);
    Editor editor(L"\"" + Wide(tiff) + L"\" -x-1 -y-1");
    ASSERT_TRUE(editor.started());
    HWND box = editor.WaitForWindow(L"#32770", 20000);
    ASSERT_NE(nullptr, box);
    wchar_t text[64] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 64);
    EXPECT_STREQ(L"打开文件失败", text);
    EXPECT_EQ(nullptr, editor.WaitForWindow(nullptr, 0)) << "a frame shows";
    // Then another picture is asked for, still without an empty frame;
    // declined, the editor ends.
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([box] { return !IsWindow(box); }, 10000, nullptr));
    HWND dialog = editor.WaitForWindow(L"#32770", 20000);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(nullptr, editor.WaitForWindow(nullptr, 0)) << "a frame shows";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_NE(-1, editor.WaitForExit(15000));
}

}  // namespace
