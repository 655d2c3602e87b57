#include "tests/toolbar_program_support.h"

#include "tests/editor_app_support.h"

#include "common/dib_section.h"
#include "common/gdiplus_handles.h"
#include "kesh/handles.h"
#include "kesh/property.h"

#include <shlobj.h>
#include <tlhelp32.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace toolbartest {

namespace {

constexpr LONG_PTR kMarker = 0x0238554C;

// The tests see the screen in pixels at every display scale, whatever the
// programs under test declare.
[[maybe_unused]] const bool kSeesPixels = SetProcessDPIAware() != FALSE;
constexpr UINT kExitCommand = 32771;

struct Search {
    DWORD process;
    const wchar_t* className;
    const wchar_t* title;
    bool marked;
    HWND found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM l)
{
    Search* search = reinterpret_cast<Search*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->process || !IsWindowVisible(hwnd))
        return TRUE;
    if (search->marked && GetWindowLongPtrW(hwnd, GWLP_USERDATA) != kMarker)
        return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (search->className && std::wstring(name) != search->className)
        return TRUE;
    if (search->title && WindowText(hwnd).find(search->title) == std::wstring::npos)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

struct TextSearch {
    const wchar_t* text;
    bool found;
};

BOOL CALLBACK MatchChildText(HWND child, LPARAM l)
{
    TextSearch* search = reinterpret_cast<TextSearch*>(l);
    if (WindowText(child).find(search->text) != std::wstring::npos) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

struct DialogSearch {
    DWORD process;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM l)
{
    DialogSearch* search = reinterpret_cast<DialogSearch*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (owner != search->process || !IsWindowVisible(hwnd) || std::wstring(name) != L"#32770")
        return TRUE;
    TextSearch text = {search->text, false};
    EnumChildWindows(hwnd, &MatchChildText, reinterpret_cast<LPARAM>(&text));
    if (!text.found)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

void SendOne(INPUT input)
{
    SendInput(1, &input, sizeof(INPUT));
}

// Input comes at a hand's pace. Nothing shows when another program has read
// an event, and one that moves its window or opens a popup under the cursor
// reads each event against where its windows are by then: this cannot be a
// wait. Windows of this thread handle what they were given meanwhile.
void HandPace(DWORD ms = 30)
{
    WaitFor([] { return false; }, ms);
}

}  // namespace

Process::Process(const std::wstring& program, const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    process_.Attach(info.hProcess);
    const kesh::win::KernelHandle thread(info.hThread);
    id_ = info.dwProcessId;
}

Process::~Process()
{
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

long Process::WaitForExit(DWORD timeoutMs) const
{
    if (!started())
        return -1;
    if (!WaitFor([this] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs))
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
}

bool Process::Running() const { return started() && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

namespace {
std::wstring ToolbarProgram(const std::wstring& folder)
{
    return folder.empty() ? Wide(editorapptest::BesideTestProgram("norpa.exe")) : folder + L"\\norpa.exe";
}
}  // namespace

Toolbar::Toolbar(const std::wstring& folder)
    : Process(ToolbarProgram(folder), L"\"" + ToolbarProgram(folder) + L"\"")
{
}

HWND Toolbar::WaitForWindow(DWORD timeoutMs) const
{
    Search search = {id(), nullptr, nullptr, true, nullptr};
    WaitFor(
        [&search] {
            EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

bool Toolbar::Exit(HWND toolbar, DWORD timeoutMs) const
{
    PostMessageW(toolbar, WM_COMMAND, kExitCommand, 0);
    HWND question = nullptr;
    WaitFor([&] { return (question = FindDialogWithText(id(), L"确定要关闭Norpa工具栏吗")) != nullptr; }, 10000);
    if (!question)
        return false;
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    return WaitForExit(timeoutMs) == 0;
}

bool ToolbarRunning()
{
    const kesh::win::KernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"NORPA_BAR_INSTANCE_MUTEX"));
    return mutex.isValid();
}

HWND FindOverlay(DWORD process)
{
    HWND dialog = FindWindowOf(process, L"#32770");
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    const bool full = rect.left == 0 && rect.top == 0 && rect.right == GetSystemMetrics(SM_CXSCREEN) &&
                      rect.bottom == GetSystemMetrics(SM_CYSCREEN);
    return dialog && full ? dialog : nullptr;
}

HWND WaitForOverlay(DWORD process, DWORD timeoutMs)
{
    HWND overlay = nullptr;
    if (!WaitFor([&] { return (overlay = FindOverlay(process)) != nullptr; }, timeoutMs))
        return nullptr;
    // Its picture is up once it has painted: shown, it has all to paint.
    WaitFor([&] { return !GetUpdateRect(overlay, nullptr, FALSE); }, timeoutMs);
    return overlay;
}

bool WaitForOverlayGone(DWORD process, DWORD timeoutMs)
{
    return WaitFor([&] { return FindOverlay(process) == nullptr; }, timeoutMs);
}

std::vector<DWORD> ProcessesNamed(const wchar_t* exe)
{
    std::vector<DWORD> ids;
    const kesh::win::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, exe) == 0)
            ids.push_back(entry.th32ProcessID);
    return ids;
}

HWND FindWindowOf(DWORD process, const wchar_t* className, const wchar_t* title)
{
    Search search = {process, className, title, false, nullptr};
    EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindowOf(DWORD process, const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowOf(process, className, title)) != nullptr; }, timeoutMs);
    return found;
}

HWND FindDialogWithText(DWORD process, const wchar_t* text)
{
    DialogSearch search = {process, text, nullptr};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[512] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

HWND FindTitledWindow(const std::wstring& text)
{
    struct Search {
        const std::wstring* text;
        HWND found;
    } search = {&text, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM l) -> BOOL {
            Search* s = reinterpret_cast<Search*>(l);
            if (!IsWindowVisible(hwnd) || WindowText(hwnd).find(*s->text) == std::wstring::npos)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring SettingsKeyGuard::Read(const wchar_t* name, DWORD* type)
{
    BYTE data[256] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    DWORD got = REG_NONE;
    const bool found = SHGetValueW(HKEY_CURRENT_USER, SubKey(), name, &got, data, &size) == ERROR_SUCCESS;
    if (type)
        *type = got;
    if (!found)
        return L"(missing)";
    if (got == REG_DWORD)
        return std::to_wstring(*reinterpret_cast<DWORD*>(data));
    return reinterpret_cast<wchar_t*>(data);
}

void SettingsKeyGuard::WriteDword(const wchar_t* name, DWORD value)
{
    SHSetValueW(HKEY_CURRENT_USER, SubKey(), name, REG_DWORD, &value, sizeof(value));
}

void SettingsKeyGuard::WriteText(const wchar_t* name, const std::wstring& value)
{
    SHSetValueW(HKEY_CURRENT_USER, SubKey(), name, REG_SZ, value.c_str(),
                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring StartupShortcutPath()
{
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, TRUE);
    return std::wstring(folder) + L"\\Norpa.lnk";
}

namespace {
// The files below folder, as paths relative to it.
void ListFiles(const std::wstring& folder, const std::wstring& prefix, std::set<std::wstring>& out)
{
    WIN32_FIND_DATAW found;
    const kesh::win::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search.isValid())
        return;
    do {
        const std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            out.insert(prefix + name);
        else if (name != L"." && name != L"..")
            ListFiles(folder + L"\\" + name, prefix + name + L"\\", out);
    } while (FindNextFileW(search, &found));
}
}  // namespace

HistoryGuard::HistoryGuard()
    : root_(Wide(kesh::sys::getProperty("user.home", "")) + L"\\My Norpa"),
      existed_(GetFileAttributesW(root_.c_str()) != INVALID_FILE_ATTRIBUTES)
{
    ListFiles(root_, L"", before_);
}

HistoryGuard::~HistoryGuard()
{
    if (!existed_) {
        editorapptest::RemoveTree(root_);
        return;
    }
    std::set<std::wstring> now;
    ListFiles(root_, L"", now);
    for (const std::wstring& file : now)
        if (!before_.count(file))
            DeleteFileW((root_ + L"\\" + file).c_str());
}

std::vector<std::wstring> HistoryGuard::NewFiles(const wchar_t* folder) const
{
    const std::wstring prefix = std::wstring(L"History\\") + folder + L"\\";
    std::set<std::wstring> now;
    ListFiles(root_ + L"\\" + prefix, prefix, now);
    std::vector<std::wstring> added;
    const std::wstring staged = L".saving";
    for (const std::wstring& file : now)
        if (!before_.count(file) &&
            (file.size() < staged.size() || file.compare(file.size() - staged.size(), staged.size(), staged) != 0))
            added.push_back(root_ + L"\\" + file);
    return added;
}

Backdrop::Backdrop(const std::function<DWORD(int x, int y)>& colour)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    width_ = width;
    pixels_.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels_[static_cast<size_t>(y) * width + x] = colour(x, y) & 0xFFFFFF;
    void* bits = nullptr;
    picture_ = TopDownSection(width, height, &bits);
    if (bits)
        memcpy(bits, pixels_.data(), pixels_.size() * sizeof(DWORD));

    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Backdrop::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NorpaTestBackdrop";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"backdrop", WS_POPUP, 0, 0, width, height, nullptr,
                            nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
    WaitFor([this] { return Shown(); }, 10000);
}

Backdrop::~Backdrop()
{
    DestroyWindow(hwnd_);
    DispatchQueued();
}

DWORD Backdrop::At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

bool Backdrop::Shown() const
{
    const int height = static_cast<int>(pixels_.size()) / width_;
    const std::vector<DWORD> screen = ScreenPixels(RECT{0, 0, width_, height});
    for (int y = 1; y < height; y += 61)
        for (int x = 1; x < width_; x += 67) {
            const size_t at = static_cast<size_t>(y) * width_ + x;
            if (WindowFromPoint(POINT{x, y}) == hwnd_ && screen[at] != pixels_[at])
                return false;
        }
    return true;
}

LRESULT CALLBACK Backdrop::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_ERASEBKGND)
        return TRUE;
    if (msg != WM_PAINT)
        return DefWindowProcW(hwnd, msg, w, l);
    Backdrop* self = reinterpret_cast<Backdrop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    kesh::win::PaintDC dc(hwnd);
    if (self && self->picture_.isValid()) {
        kesh::win::MemoryDC memory(dc);
        kesh::win::SelectObjectGuard select(memory, self->picture_);
        const RECT& r = dc.paintStruct().rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
    }
    return 0;
}

Picture ReadPicture(const std::wstring& path)
{
    Picture picture;
    GpBitmapHandle bitmap;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), bitmap.Receive()) != Gdiplus::Ok)
        return picture;
    UINT width = 0, height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height);
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data = {};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB,
                                                &data) != Gdiplus::Ok)
        return picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    for (UINT y = 0; y < height; ++y) {
        const DWORD* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (UINT x = 0; x < width; ++x)
            picture.pixels.push_back(row[x] & 0xFFFFFF);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return picture;
}

std::vector<DWORD> ScreenPixels(const RECT& rect)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    void* bits = nullptr;
    const kesh::win::Bitmap section = TopDownSection(width, height, &bits);
    {
        kesh::win::ClientDC screen(nullptr);
        kesh::win::MemoryDC memory(screen);
        kesh::win::SelectObjectGuard select(memory, section);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    }
    if (bits)
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<const DWORD*>(bits)[i] & 0xFFFFFF;
    return pixels;
}

void MoveMouse(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(x) * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(y) * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendOne(input);
    // The cursor stays on the screen.
    const POINT there = {std::clamp(x, 0, GetSystemMetrics(SM_CXSCREEN) - 1),
                         std::clamp(y, 0, GetSystemMetrics(SM_CYSCREEN) - 1)};
    WaitFor([there] {
        POINT at = {};
        return GetCursorPos(&at) && at.x == there.x && at.y == there.y;
    }, 5000);
    HandPace();
}

void MouseButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendOne(input);
    HandPace();
}

void Drag(POINT from, POINT to, int steps)
{
    MoveMouse(from.x, from.y);
    const DWORD pressed = GetWindowThreadProcessId(WindowFromPoint(from), nullptr);
    MouseButton(true);
    WaitFor([pressed] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(pressed, &info) && info.hwndCapture != nullptr;
    }, 5000);
    for (int i = 1; i <= steps; ++i)
        MoveMouse(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    MouseButton(false);
}

void PressKeys(std::initializer_list<WORD> keys)
{
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        SendOne(input);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        --it;
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        SendOne(input);
    }
    HandPace();
}

void TypeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        SendOne(input);
        input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendOne(input);
    }
    HandPace(50);
}

void ClickWindow(HWND hwnd)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    MoveMouse((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    MouseButton(true);
    MouseButton(false);
}

bool ClickCaption(HWND hwnd)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    MoveMouse((rect.left + rect.right) / 2,
              rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
    MouseButton(true);
    MouseButton(false);
    return WaitFor([hwnd] { return GetForegroundWindow() == hwnd; }, 5000);
}

}  // namespace toolbartest
