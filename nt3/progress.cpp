#include "nt3/progress.h"

#include <commctrl.h>

namespace NT3 {

void Cc_progress::set_range(int low, int high)
{
    if (!hwnd) return;
    SendMessageW(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void Cc_progress::set_pos(int position)
{
    if (!hwnd) return;
    SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

}  // namespace NT3
