#include "update/shutdown_block.h"

#include <windows.h>

C_shutdown_block::C_shutdown_block(Cupdate_process_dialog& dialog, const wchar_t* reason) : dialog_(dialog)
{
    dialog_.blocks_shutdown = true;
    if (dialog_.hwnd) ShutdownBlockReasonCreate(dialog_.hwnd, reason);
}

C_shutdown_block::~C_shutdown_block()
{
    dialog_.blocks_shutdown = false;
    // A dialog the player closed took its reason with it.
    if (dialog_.hwnd) ShutdownBlockReasonDestroy(dialog_.hwnd);
}
