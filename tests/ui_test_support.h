#pragma once

// Helpers shared by the framework tests: a shell that answers instead of
// showing dialogs, and a message pump that never blocks.
#include "ui/app.h"
#include "ui/shell_seams.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace uitest {

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// Records every message box and file, colour or shell request, answering
// with the preset values.
class FakeShell : public ui::IShell {
public:
    FakeShell() : previous_(ui::SetShell(this)) {}
    ~FakeShell() override { ui::SetShell(previous_); }

    int MessageBox(HWND, const std::wstring& text, const std::wstring& caption, UINT type) override
    {
        boxes.push_back({text, caption, type});
        return boxAnswer;
    }
    bool FileDialog(ui::FileDialogRequest& request) override
    {
        files.push_back(request);
        request.fileName = fileAnswer;
        return !fileAnswer.empty();
    }
    bool ColorDialog(ui::ColorDialogRequest& request) override
    {
        ++colorRequests;
        colorOwner = request.owner;
        if (!colorAnswerOk)
            return false;
        request.color = colorAnswer;
        return true;
    }
    HINSTANCE Execute(HWND, const wchar_t*, const wchar_t* file, const wchar_t*, const wchar_t*, int) override
    {
        executed.push_back(file ? file : L"");
        SetLastError(executeError);
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(executeError == ERROR_SUCCESS ? 33 : SE_ERR_NOASSOC));
    }

    std::vector<ShownBox> boxes;
    int boxAnswer = IDOK;
    std::vector<ui::FileDialogRequest> files;
    std::wstring fileAnswer;
    int colorRequests = 0;
    HWND colorOwner = nullptr;
    bool colorAnswerOk = true;
    COLORREF colorAnswer = 0;
    std::vector<std::wstring> executed;
    DWORD executeError = ERROR_SUCCESS;  // a start that fails with it

private:
    ui::IShell* previous_;
};

// Dispatches what is queued (through the framework's pre-translation),
// without waiting for more.
inline void pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!ui::PreTranslate(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// Takes a WM_QUIT left in the queue; its code, or -1 when there is none.
inline int takeQuit()
{
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return static_cast<int>(msg.wParam);
    return -1;
}

}  // namespace uitest
