#include "update_make/make_interrupt.h"

#include <windows.h>

#include <atomic>

namespace {

// The system ends the process some five seconds after a close event.
const DWORD CLOSE_GRACE_MS = 4500;

std::atomic<bool> interrupted{false};
HANDLE finished = nullptr;  // manual reset, set once the make has cleaned up

BOOL WINAPI on_console_event(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        // FALSE hands a second one to the default handler, which ends the process.
        return interrupted.exchange(true) ? FALSE : TRUE;
    case CTRL_CLOSE_EVENT:
        interrupted = true;
        // The process ends as soon as this returns: wait for the clean-up first.
        WaitForSingleObject(finished, CLOSE_GRACE_MS);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void catch_make_interrupt()
{
    if (finished) return;
    finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

bool make_interrupted()
{
    return interrupted;
}

void make_finished()
{
    if (finished) SetEvent(finished);
}
