#include "nt3/pump.h"

#include <windows.h>

#include "nt3/app_state.h"
#include "nt3/window_base.h"

namespace NT3 {

namespace {

// Gives each registered dialog the chance to take the message as keyboard input.
bool dialog_took(MSG& message)
{
    // A dialog can be destroyed while it handles the message, which shortens the
    // list; the size is read afresh and the walk ends at the first taker.
    for (std::size_t i = 0; i < app_state.windows.size(); ++i) {
        HWND window = app_state.windows[i];
        if (has_dialog_proc(window) && IsDialogMessageW(window, &message)) return true;
    }
    return false;
}

}  // namespace

bool pump_messages()
{
    if (app_state.quit_seen) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        // A message is known to be waiting, so this does not block.
        if (GetMessageW(&message, nullptr, 0, 0) == 0) {
            app_state.quit_seen = true;
            return false;
        }
        if (!dialog_took(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace NT3
