#include "update/update_process_dialog.h"

#include "res/resource.h"

bool Cupdate_process_dialog::create(const std::wstring& dialog_name)
{
    return C_dialog::create(dialog_name, IDD_UPDATE_PROCESS);
}

LRESULT Cupdate_process_dialog::window_proc(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_INITDIALOG && !on_init_dialog()) return 0;
    if (msg == WM_QUERYENDSESSION && blocks_shutdown) {
        // A dialog procedure gives its answer through the dialog's result.
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, FALSE);
        return TRUE;
    }
    return C_dialog::window_proc(msg, wparam, lparam);
}

bool Cupdate_process_dialog::on_init_dialog()
{
    // The dialog cannot be resized, so nothing is anchored.
    bind_item(static_text, IDC_PROCESS_TEXT, L"", NT3::ANCHOR_NONE);
    bind_item(progress_total, IDC_PROGRESS_TOTAL, L"", NT3::ANCHOR_NONE);
    bind_item(progress_file, IDC_PROGRESS_FILE, L"", NT3::ANCHOR_NONE);
    return true;
}
