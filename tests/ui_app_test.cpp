// The application object in a whole framework program (ui_smoke_app.exe):
// its idle work, its end through the exit command, and its exit when the
// start fails.
#include "kesh/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// Runs the framework test program with arguments; its exit code, or -1.
int runSmokeApp(const wchar_t* arguments)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"ui_smoke_app.exe";
    std::wstring commandLine = L"\"" + path + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    const kesh::win::KernelHandle program(process.hProcess);
    const kesh::win::KernelHandle thread(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(program, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(program, &code);
    else
        TerminateProcess(program, 99);
    return static_cast<int>(code);
}

TEST(UiApplication, WholeProgramRunsIdleWorkAndEndsThroughTheExitCommand)
{
    EXPECT_EQ(runSmokeApp(L""), 110);
}

TEST(UiApplication, ExitInstanceRunsAlsoWhenInitInstanceFails)
{
    EXPECT_EQ(runSmokeApp(L"--refuse"), 3);
}


}  // namespace
