#include "nt3/dialog.h"

#include "file/error_info.h"
#include "nt3/app_state.h"
#include "nt3/placement.h"

namespace NT3 {

C_dialog::C_dialog()
{
    splitters.reset();
}

C_dialog::~C_dialog()
{
    splitters.items.clear();
    splitters.active = nullptr;
}

bool C_dialog::create(const std::wstring& dialog_name, int template_id, HWND parent, const C_placement& placement)
{
    if (hwnd) return true;
    name = dialog_name;
    limit_min_size = placement.limit_min_size;
    snap_to_edges = placement.snap_to_edges;
    anchor = placement.anchor;

    // WM_INITDIALOG binds this object before the call returns.
    HWND window = CreateDialogParamW(app_state.instance, MAKEINTRESOURCEW(template_id), parent,
                                     common_dialog_proc(), reinterpret_cast<LPARAM>(this));
    if (!window) {
        set_last_error(error_kind::win32, static_cast<int>(GetLastError()), L"CreateDialogParam");
        return false;
    }
    hwnd = window;
    if (snap_to_edges) snap_list.push_back(window);
    return true;
}

void C_dialog::bind_item(C_control& control, int item_id, const std::wstring& control_name, int control_anchor)
{
    control.name = control_name;
    control.anchor = control_anchor;
    HWND item = hwnd ? GetDlgItem(hwnd, item_id) : nullptr;
    // A control moving to another item lets go of the one it had.
    if (control.hwnd != item) control.unbind_handle();
    control.bind_handle(item);
    children.push_back(&control);
}

void C_dialog::add_splitter(C_splitter& splitter, bool vertical, const std::vector<C_window_base*>& first_group,
                            const std::vector<C_window_base*>& second_group)
{
    splitter.valid = false;
    splitter.ratio = SPLITTER_RATIO_UNKNOWN;
    splitter.vertical = vertical;
    splitter.first_group = first_group;
    splitter.second_group = second_group;
    splitters.items.push_back(&splitter);
}

void C_dialog::pre_window_proc(UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_CREATE:
        C_window_base::pre_window_proc(msg, wparam, lparam);
        break;
    case WM_INITDIALOG:
        // From here on the pump routes keyboard input to the dialog.
        if (hwnd) record_creation();
        break;
    default:
        break;
    }
}

LRESULT C_dialog::window_proc(UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_DESTROY:
        // The controls stay; each unbinds itself at its own WM_DESTROY, which follows this one.
        children.clear();
        break;
    case WM_SIZE:
        on_size(wparam, lparam);
        break;
    case WM_SETCURSOR:
        if (splitters.set_cursor(hwnd)) return 1;
        break;
    case WM_MOUSEMOVE:
        if (splitters.drag()) return 0;
        break;
    case WM_LBUTTONDOWN:
        if (splitters.begin_drag(hwnd)) return 0;
        break;
    default:
        break;
    }
    return C_window_base::window_proc(msg, wparam, lparam);
}

void C_dialog::on_size(WPARAM wparam, LPARAM lparam)
{
    // Measured from the size at creation, so repeated resizing adds up no error.
    const int width = LOWORD(lparam);
    const int height = HIWORD(lparam);
    const int dx = width - (initial_client_rect.right - initial_client_rect.left);
    const int dy = height - (initial_client_rect.bottom - initial_client_rect.top);
    for (C_window_base* child : children) child->reanchor(dx, dy);
    if (forward_size) SendMessageW(forward_size_target, WM_SIZE, wparam, lparam);
    splitters.relayout();
}

}  // namespace NT3
