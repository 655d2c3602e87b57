#pragma once

// Tests wait for what they stand for, with a deadline, never for a fixed
// time: one wait for every test program, whatever its thread does with its
// messages meanwhile.

#include <windows.h>

#include <functional>

namespace testsupport {

// How long a wait lets pass between two questions when nothing wakes it.
constexpr DWORD kPollMs = 5;

// Translates and dispatches what this thread's queue holds, without
// waiting for more.
inline void DispatchQueued()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Asks done() until it holds or timeoutMs have passed; whether it held.
// Before each question handleMessages (when given) handles this thread's
// queue, and between two questions the thread sleeps until a message comes
// or kPollMs pass. Without it the messages stay queued, for a test whose
// windows must not run meanwhile, and the thread sleeps kPollMs between
// questions.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs,
                    const std::function<void()>& handleMessages = DispatchQueued)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (handleMessages)
            handleMessages();
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        if (handleMessages)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        else
            Sleep(kPollMs);  // the interval of the questions: queued messages would wake a message wait at once
    }
}

}  // namespace testsupport
