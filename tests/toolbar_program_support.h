#pragma once

// The real toolbar program started from a test, with what it touches
// (its settings key, the start-at-login shortcut) put back afterwards, and
// the input, screen and window helpers that drive and read it.

#include "kesh/handles.h"
#include "kesh/string.h"
#include "tests/editor_app_support.h"
#include "tests/wait.h"

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace toolbartest {

using kesh::Wide;
using testsupport::DispatchQueued;
using testsupport::WaitFor;

// A program started by the test, ended by it at the latest.
class Process {
public:
    // commandLine: the whole command line, the program's path quoted first.
    Process(const std::wstring& program, const std::wstring& commandLine);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return process_.isValid(); }
    DWORD id() const { return id_; }
    // The exit code once the process has ended within timeoutMs, else -1.
    long WaitForExit(DWORD timeoutMs) const;
    bool Running() const;

private:
    kesh::win::KernelHandle process_;
    DWORD id_ = 0;
};

// norpa.exe from folder (default: beside the test program).
class Toolbar : public Process {
public:
    explicit Toolbar(const std::wstring& folder = std::wstring());

    // The toolbar window of this process (the one marked in its user
    // data), waited for up to timeoutMs; null when none came.
    HWND WaitForWindow(DWORD timeoutMs = 20000) const;
    // Ends the toolbar as a user does: the exit command, answered with Yes.
    // Whether the process then ended with code 0, within timeoutMs of the
    // answer.
    bool Exit(HWND toolbar, DWORD timeoutMs = 15000) const;
};

// Whether a toolbar runs (its single-instance mutex exists).
bool ToolbarRunning();

// The capture overlay of the toolbar process: its dialog over the whole
// screen; null while there is none.
HWND FindOverlay(DWORD process);
// Waits for the overlay and for its first paint (nothing of it left to
// paint).
HWND WaitForOverlay(DWORD process, DWORD timeoutMs = 10000);
bool WaitForOverlayGone(DWORD process, DWORD timeoutMs = 10000);

// The ids of the running processes whose program file is named exe.
std::vector<DWORD> ProcessesNamed(const wchar_t* exe);

// The first visible top-level window of process id whose class is
// className (null: any) and whose text contains title (null: any).
HWND FindWindowOf(DWORD process, const wchar_t* className, const wchar_t* title = nullptr);
HWND WaitForWindowOf(DWORD process, const wchar_t* className, const wchar_t* title, DWORD timeoutMs);
// The first enabled, visible message box or dialog of process holding a
// static text that contains text; null when there is none.
HWND FindDialogWithText(DWORD process, const wchar_t* text);
std::wstring WindowText(HWND hwnd);
// The visible top-level window, of any process, whose title holds text.
HWND FindTitledWindow(const std::wstring& text);

// The toolbar's settings key, emptied for the test and restored afterwards.
class SettingsKeyGuard {
public:
    SettingsKeyGuard() : backup_(SubKey()) {}
    SettingsKeyGuard(const SettingsKeyGuard&) = delete;
    SettingsKeyGuard& operator=(const SettingsKeyGuard&) = delete;

    static const wchar_t* SubKey() { return L"Software\\NorpaSoft\\norpa"; }
    // A value of the key as text (a DWORD in decimal) with its type;
    // "(missing)" when there is none.
    static std::wstring Read(const wchar_t* name, DWORD* type = nullptr);
    static void WriteDword(const wchar_t* name, DWORD value);
    static void WriteText(const wchar_t* name, const std::wstring& value);

private:
    editorapptest::KeyBackup backup_;
};

// The toolbar's shortcut in the user's Startup folder (of the test's Wine
// prefix), which the guard removes afterwards.
std::wstring StartupShortcutPath();
struct StartupShortcutGuard {
    ~StartupShortcutGuard() { DeleteFileW(StartupShortcutPath().c_str()); }
};

// The user's "My Norpa" tree (the history folders, the client id): what
// the programs add there while the guard lives goes with it, the whole tree
// when it was not there before.
class HistoryGuard {
public:
    HistoryGuard();
    ~HistoryGuard();
    HistoryGuard(const HistoryGuard&) = delete;
    HistoryGuard& operator=(const HistoryGuard&) = delete;

    // The full paths of the files that came into History\<folder> since,
    // but for the staged file of a save still under way (".saving").
    std::vector<std::wstring> NewFiles(const wchar_t* folder) const;

private:
    std::wstring root_;
    bool existed_;
    std::set<std::wstring> before_;
};

// A full-screen window of the test's own, below every topmost window,
// showing colour(x, y) (0x00RRGGBB) at every screen pixel: on the screen,
// wherever no other window lies over it, once the constructor returns.
class Backdrop {
public:
    explicit Backdrop(const std::function<DWORD(int x, int y)>& colour);
    ~Backdrop();
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;
    HWND hwnd() const { return hwnd_; }
    // What the backdrop shows at (x, y), 0x00RRGGBB.
    DWORD At(int x, int y) const;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    // Whether the screen shows the backdrop at points of a grid over it,
    // those where it is the window on top.
    bool Shown() const;
    HWND hwnd_ = nullptr;
    kesh::win::Bitmap picture_;
    std::vector<DWORD> pixels_;
    int width_ = 0;
};

// An image file's pixels (any format GDI+ reads) as 0x00RRGGBB, row by row,
// and its size; empty when it cannot be read. Needs GDI+ started.
struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
};
Picture ReadPicture(const std::wstring& path);

// The screen's pixels in rect as 0x00RRGGBB, row by row.
std::vector<DWORD> ScreenPixels(const RECT& rect);

// Input as the user gives it, through the system's input queue, at a hand's
// pace; windows of this thread handle it before these return. A move returns
// once the cursor is there.
void MoveMouse(int x, int y);
void MouseButton(bool down);
// Presses the left button at from, moves to to in steps, releases it there.
// The moves wait until the window pressed has taken the mouse: before that
// the system hands them to whatever window lies under them.
void Drag(POINT from, POINT to, int steps = 8);
// Presses the keys in order and releases them in the opposite order.
void PressKeys(std::initializer_list<WORD> keys);
// Types text character by character, as an input method hands it over.
void TypeText(const std::wstring& text);
// A left click at the middle of a window (a button, say).
void ClickWindow(HWND hwnd);
// Activates a top-level window the way a user does, by a click on its
// caption; whether it is then the foreground window.
bool ClickCaption(HWND hwnd);

}  // namespace toolbartest
