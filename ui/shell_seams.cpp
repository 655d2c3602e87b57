#include "ui/shell_seams.h"

#include "ui/app.h"
#include "ui/resource_ids.h"
#include "ui/strings.h"

#include "kesh/failure_log.h"
#include "kesh/string.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

namespace ui {

namespace {

class SystemShell : public IShell {
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override
    {
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    }

    bool FileDialog(FileDialogRequest& request) override
    {
        std::vector<wchar_t> name(32768, L'\0');
        request.fileName.copy(name.data(), name.size() - 1);
        OPENFILENAMEW ofn = {};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = request.owner;
        ofn.lpstrFilter = request.filter.empty() ? nullptr : request.filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = name.data();
        ofn.nMaxFile = static_cast<DWORD>(name.size());
        ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : request.defaultExt.c_str();
        ofn.Flags = request.flags | OFN_EXPLORER;
        const BOOL ok = request.open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
        if (ok)
            request.fileName = name.data();
        return ok != FALSE;
    }

    bool ColorDialog(ColorDialogRequest& request) override
    {
        CHOOSECOLORW cc = {};
        cc.lStructSize = sizeof(cc);
        cc.hwndOwner = request.owner;
        cc.rgbResult = request.color;
        cc.lpCustColors = request.customColors;
        cc.Flags = request.flags | CC_RGBINIT;
        if (!ChooseColorW(&cc))
            return false;
        request.color = cc.rgbResult;
        return true;
    }

protected:
    HINSTANCE Execute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* params,
                      const wchar_t* dir, int show) override
    {
        return ::ShellExecuteW(owner, verb, file, params, dir, show);
    }
};

SystemShell systemShell;
IShell* currentShell = &systemShell;

HWND messageBoxOwner()
{
    HWND active = GetActiveWindow();
    if (active)
        return GetLastActivePopup(active);
    CWinApp* app = CWinApp::Get();
    if (app && app->mainWindow && app->mainWindow->handle())
        return GetLastActivePopup(app->mainWindow->handle());
    return nullptr;
}

}  // namespace

HINSTANCE IShell::ShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* params,
                               const wchar_t* dir, int show)
{
    const HINSTANCE result = Execute(owner, verb, file, params, dir, show);
    const INT_PTR code = reinterpret_cast<INT_PTR>(result);
    if (code > 32)
        return result;
    // Most failures set the last error; the result's own code (file or
    // path not found, access denied...) stands in where none was set.
    const DWORD error = GetLastError();
    std::wstring subject = file ? file : L"";
    if (params && *params)
        subject.append(L" ").append(params);
    kesh::logError("ShellExecuteW", error != ERROR_SUCCESS ? error : static_cast<DWORD>(code),
                   kesh::String(subject.c_str()).c_str());
    return result;
}

IShell& Shell() { return *currentShell; }

IShell* SetShell(IShell* replacement)
{
    IShell* previous = currentShell;
    currentShell = replacement ? replacement : &systemShell;
    return previous;
}

int AppMessageBox(const std::wstring& text, UINT type, UINT)
{
    if ((type & MB_ICONMASK) == 0) {
        const UINT buttons = type & MB_TYPEMASK;
        type |= (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
    }
    return Shell().MessageBox(messageBoxOwner(), text, LoadResString(IDS_APP_TITLE), type);
}

int AppMessageBox(UINT stringId, UINT type, UINT helpId)
{
    return AppMessageBox(LoadResString(stringId), type, helpId);
}

std::wstring FilterFromBars(const std::wstring& bars)
{
    std::wstring filter = bars;
    for (wchar_t& c : filter)
        if (c == L'|')
            c = L'\0';
    // The list ends with two NULs whatever the text ended with.
    filter.push_back(L'\0');
    return filter;
}

FileChooser::FileChooser(bool open, const wchar_t* defaultExt, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, HWND parent)
{
    request_.open = open;
    request_.owner = parent;
    request_.defaultExt = defaultExt ? defaultExt : L"";
    request_.fileName = fileName ? fileName : L"";
    request_.flags = flags;
    if (filter)
        request_.filter = FilterFromBars(filter);
}

INT_PTR FileChooser::DoModal()
{
    if (!request_.owner)
        request_.owner = messageBoxOwner();
    return Shell().FileDialog(request_) ? IDOK : IDCANCEL;
}

ColorChooser::ColorChooser(COLORREF initial, DWORD flags, HWND parent)
{
    request_.owner = parent;
    request_.color = initial;
    request_.flags = flags;
    request_.customColors = CustomColors();
}

INT_PTR ColorChooser::DoModal()
{
    if (!request_.owner)
        request_.owner = messageBoxOwner();
    return Shell().ColorDialog(request_) ? IDOK : IDCANCEL;
}

COLORREF* ColorChooser::CustomColors()
{
    static COLORREF colors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    return colors;
}

}  // namespace ui
