// Start-up of the editor program: from starting vomla.exe with a PNG on its
// command line to the image's first paint on the screen, for a full-HD and
// a 4K picture. Needs a display (run under Xvfb or on the desktop). Prints
// the median of several runs of each.
#include "bench/bench_timer.h"
#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "kesh/handles.h"
#include "ui/resource_ids.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const COLORREF kImageColour = RGB(0x30, 0xA0, 0x70);

std::wstring besideThisProgram(const wchar_t* name)
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

bool writeSolidPng(const std::wstring& path, int width, int height)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(0xFF, GetRValue(kImageColour), GetGValue(kImageColour), GetBValue(kImageColour)));
    }
    ImageCodecEntry png;
    return FindImageEncoder(png, kImageFormatPNG) && bitmap.Save(path.c_str(), &png.clsid, nullptr) == Gdiplus::Ok;
}

struct Search {
    DWORD process;
    HWND frame;
};

BOOL CALLBACK findFrame(HWND hwnd, LPARAM l)
{
    Search* search = reinterpret_cast<Search*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->process && IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDW_PANE_FIRST)) {
        search->frame = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from the start of the process to the image's colour in the
// middle of the view; a negative value when it did not show within 60 s.
double timeToFirstPaint(const std::wstring& image)
{
    const std::wstring program = besideThisProgram(L"vomla.exe");
    std::wstring commandLine = L"\"" + program + L"\" \"" + image + L"\" -x0 -y0";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const double start = bench::nowMs();
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    const kesh::win::KernelHandle running(process.hProcess);
    const kesh::win::KernelHandle thread(process.hThread);
    double painted = -1;
    const kesh::win::ClientDC screen(nullptr);
    Search search = {process.dwProcessId, nullptr};
    while (painted < 0 && bench::nowMs() - start < 60000) {
        if (!search.frame)
            EnumWindows(&findFrame, reinterpret_cast<LPARAM>(&search));
        if (search.frame) {
            RECT client = {};
            HWND view = GetDlgItem(search.frame, IDW_PANE_FIRST);
            GetClientRect(view, &client);
            POINT middle = {client.right / 2, client.bottom / 2};
            ClientToScreen(view, &middle);
            if (GetPixel(screen, middle.x, middle.y) == kImageColour)
                painted = bench::nowMs() - start;
        }
        if (painted < 0)
            Sleep(2);
    }
    if (search.frame)
        PostMessageW(search.frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(running, 15000) != WAIT_OBJECT_0)
        TerminateProcess(running, 1);
    return painted;
}

}  // namespace

int main()
{
    GdiplusSession gdiplus;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const struct {
        const char* name;
        int width, height;
    } sizes[] = {{"1920x1080", 1920, 1080}, {"3840x2160", 3840, 2160}};
    const int runs = 7;
    std::printf("vomla.exe start-up to the first paint of a PNG, median of %d runs (goal: under 1500 ms)\n", runs);
    for (const auto& size : sizes) {
        const std::wstring image = std::wstring(temp) + L"vomla_startup_bench_" + std::to_wstring(size.width) + L".png";
        if (!writeSolidPng(image, size.width, size.height)) {
            std::printf("%-10s cannot write the test image\n", size.name);
            continue;
        }
        std::vector<double> times;
        for (int i = 0; i < runs; ++i)
            times.push_back(timeToFirstPaint(image));
        DeleteFileW(image.c_str());
        std::sort(times.begin(), times.end());
        if (times.front() < 0) {
            std::printf("%-10s the image never showed (no display?)\n", size.name);
            continue;
        }
        std::printf("%-10s median %7.1f ms   best %7.1f ms   worst %7.1f ms\n", size.name, times[runs / 2],
                    times.front(), times.back());
    }
    return 0;
}
