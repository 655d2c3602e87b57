#pragma once

// Files, images and a recording shell of the editor program's tests.
#include "kesh/handles.h"
#include "kesh/string.h"
#include "tests/ui_test_support.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace editorapptest {

// name in the folder of the test program (where every built program lands).
kesh::String BesideTestProgram(const char* name);

// Removes path and everything below it.
void RemoveTree(const std::wstring& path);

void WriteFileBytes(const kesh::String& path, const std::string& bytes);
std::string ReadFileBytes(const kesh::String& path);

// A PNG of width x height filled with colour (0x00RRGGBB) except the
// top-left pixel, which is marker. Needs GDI+ started.
void WritePng(const kesh::String& path, int width, int height, DWORD colour, DWORD marker);
// A one-pixel GIF, written byte by byte.
void WriteTinyGif(const kesh::String& path);

// Holds path open without sharing, so that nothing else can write it.
class FileLock {
public:
    explicit FileLock(const kesh::String& path);
    bool locked() const { return handle_.isValid(); }

private:
    kesh::win::KernelHandle handle_;
};

// A hand-built drop of files, as the shell hands it to WM_DROPFILES; the
// receiver frees it with DragFinish.
HDROP MakeDrop(const std::vector<kesh::String>& files);

// Where an image whose pixels are all colour shows its top-left pixel on
// the screen: the corner of colour searched within reach pixels of around.
bool FindImageCorner(POINT around, int reach, COLORREF colour, POINT& corner);

// Whether a tooltip of this thread shows.
bool TooltipShown();
// Whether a tooltip of this thread showed while a menu of this thread was
// open; -1 when no menu showed within 5 s. open() opens the menu (it may
// return before or after the menu closes). The menu is closed once the
// tooltips' delay has passed three times over since it showed: a tip still
// to come when it opened would show by then.
int TooltipOverMenu(const std::function<void()>& open);

// A program's key under HKEY_CURRENT_USER (subKey), emptied for the test
// and put back as it was afterwards: with its values, or gone together with
// the parents that were left empty.
class KeyBackup {
public:
    explicit KeyBackup(const wchar_t* subKey);
    ~KeyBackup();
    KeyBackup(const KeyBackup&) = delete;
    KeyBackup& operator=(const KeyBackup&) = delete;

private:
    std::wstring subKey_;
    std::wstring backup_;
    bool saved_ = false;
};

// The editor's own settings key: the program under test writes its pen
// values there.
class EditorKeyGuard : public KeyBackup {
public:
    EditorKeyGuard() : KeyBackup(L"Software\\NorpaSoft\\vomla") {}
};

// The framework tests' shell, also keeping what ShellExecute was given.
class RecordingShell : public uitest::FakeShell {
public:
    struct Execution {
        std::wstring verb, file, parameters;
    };
    HINSTANCE Execute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* params,
                      const wchar_t* dir, int show) override
    {
        executions.push_back({verb ? verb : L"", file ? file : L"", params ? params : L""});
        return uitest::FakeShell::Execute(owner, verb, file, params, dir, show);
    }
    std::vector<Execution> executions;
};

}  // namespace editorapptest
