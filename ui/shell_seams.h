#pragma once

#include <windows.h>

#include <string>

// Everything of the framework that shows a system dialog or starts another
// program goes through IShell, so tests replace one object and never block
// on a real dialog or start a browser.
namespace ui {

struct FileDialogRequest {
    bool open = true;           // open or save dialog
    HWND owner = nullptr;
    std::wstring filter;        // pairs of NUL-terminated texts, ending in a second NUL
    std::wstring defaultExt;    // without the dot; empty for none
    std::wstring fileName;      // in: initial name; out: the chosen path
    DWORD flags = 0;            // OFN_ flags
};

struct ColorDialogRequest {
    HWND owner = nullptr;
    COLORREF color = 0;         // in: initial colour; out: the chosen one
    DWORD flags = 0;            // CC_ flags (CC_RGBINIT is added)
    COLORREF* customColors = nullptr;  // 16 entries, kept by the caller
};

class IShell {
public:
    virtual ~IShell() = default;
    virtual int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
    // True when the user chose (IDOK).
    virtual bool FileDialog(FileDialogRequest& request) = 0;
    virtual bool ColorDialog(ColorDialogRequest& request) = 0;
    // ShellExecuteW's result. A failure (a result of 32 or less) leaves its
    // line on the log (kesh/failure_log.h), so that no caller needs to.
    HINSTANCE ShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* params,
                           const wchar_t* dir, int show);

protected:
    // The start itself, as ShellExecuteW: a failure leaves the system's
    // code as the calling thread's last error.
    virtual HINSTANCE Execute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* params,
                              const wchar_t* dir, int show) = 0;
};

// The shell in use: the system's, unless replaced.
IShell& Shell();
// Installs replacement (null: the system's again) and returns the previous
// one. The replacement is borrowed, not owned.
IShell* SetShell(IShell* replacement);

// The framework's message box: caption string IDS_APP_TITLE of the program, owner
// the active window of the program; without an icon flag, MB_ICONQUESTION
// for Yes/No buttons and MB_ICONEXCLAMATION otherwise.
int AppMessageBox(const std::wstring& text, UINT type = MB_OK, UINT helpId = 0);
int AppMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = 0);

// "|"-separated filter pairs ("Text|*.png|All|*.*||") in the form the file
// dialogs read: each "|" becomes a NUL.
std::wstring FilterFromBars(const std::wstring& bars);

// An open or save dialog.
class FileChooser {
public:
    FileChooser(bool open, const wchar_t* defaultExt = nullptr, const wchar_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                HWND parent = nullptr);
    // IDOK or IDCANCEL.
    INT_PTR DoModal();
    std::wstring GetPathName() const { return request_.fileName; }

    FileDialogRequest request_;
};

// The colour dialog. The 16 custom colours are kept for the whole run of
// the program and shared by every colour dialog. Without a parent it
// belongs to the program's active window, as the file dialogs do.
class ColorChooser {
public:
    explicit ColorChooser(COLORREF initial = 0, DWORD flags = 0, HWND parent = nullptr);
    INT_PTR DoModal();
    COLORREF GetColor() const { return request_.color; }
    static COLORREF* CustomColors();

    ColorDialogRequest request_;
};

}  // namespace ui
