// Stands in for the editor in the toolbar's tests: appends its command line
// (UTF-16, one line per start) to "vomla.args" beside itself and ends, so
// that a test sees exactly how the toolbar started it.
#include "kesh/handles.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path = module;
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"vomla.args";
    const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    const kesh::win::KernelHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid())
        return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    return 0;
}
