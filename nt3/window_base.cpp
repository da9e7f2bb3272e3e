#include "nt3/window_base.h"

#include <commctrl.h>

#include <algorithm>

#include "nt3/app_state.h"
#include "nt3/placement.h"

namespace NT3 {

namespace {

const wchar_t* const this_property = L"this";

// The fourth version of the property-sheet page record: two DWORDs and twelve
// pointer-sized members (56 bytes in a 32-bit program).
constexpr DWORD property_sheet_page_size = 2 * sizeof(DWORD) + 12 * sizeof(void*);

// The object a creation message carries, or null.
C_window_base* object_from_creation(UINT msg, LPARAM lparam)
{
    switch (msg) {
    case WM_NCCREATE:
    case WM_CREATE:
        return static_cast<C_window_base*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    case WM_INITDIALOG:
        if (!lparam) return nullptr;
        // A property-sheet page gets its page record; the object is that record's parameter.
        if (*reinterpret_cast<const DWORD*>(lparam) == property_sheet_page_size)
            return reinterpret_cast<C_window_base*>(reinterpret_cast<const PROPSHEETPAGEW*>(lparam)->lParam);
        return reinterpret_cast<C_window_base*>(lparam);
    default:
        return nullptr;
    }
}

LONG_PTR common_proc_value()
{
    return reinterpret_cast<LONG_PTR>(&common_window_proc);
}

}  // namespace

DLGPROC common_dialog_proc()
{
    return reinterpret_cast<DLGPROC>(&common_window_proc);
}

bool has_dialog_proc(HWND hwnd)
{
    if (!hwnd) return false;
    // Only a dialog class has room for the dialog data; other classes keep their
    // own values at that offset (a static control keeps its icon there).
    if (GetClassLongPtrW(hwnd, GCL_CBWNDEXTRA) < DLGWINDOWEXTRA) return false;
    return GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != 0;
}

C_window_base* window_object(HWND hwnd)
{
    if (!hwnd) return nullptr;
    return static_cast<C_window_base*>(GetPropW(hwnd, this_property));
}

LRESULT CALLBACK common_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    C_window_base* object = window_object(hwnd);
    if (!object) {
        object = object_from_creation(msg, lparam);
        if (!object) {
            if (has_dialog_proc(hwnd)) return 0;
            return DefWindowProcW(hwnd, msg, wparam, lparam);
        }
        object->bind_handle(hwnd);
    }
    object->pre_window_proc(msg, wparam, lparam);
    LRESULT result = object->window_proc(msg, wparam, lparam);
    // After WM_DESTROY the window's own procedure takes over again, so that
    // WM_NCDESTROY and later messages never reach the object.
    if (msg == WM_DESTROY && object->hwnd == hwnd) object->unbind_handle();
    return result;
}

C_window_base::C_window_base() = default;

C_window_base::~C_window_base()
{
    if (big_icon) {
        DestroyIcon(big_icon);
        big_icon = nullptr;
    }
    if (small_icon) {
        DestroyIcon(small_icon);
        small_icon = nullptr;
    }
    // The window itself stays; it only gets its own procedure back.
    if (hwnd) release_binding();
    children.clear();
    name.clear();
}

bool C_window_base::bind_handle(HWND window)
{
    if (!window) return true;
    // An object serves one window at a time; leaving the old one subclassed would
    // route its messages to an object that no longer knows it.
    if (hwnd && hwnd != window) unbind_handle();

    hwnd = window;
    SetPropW(window, this_property, this);

    HWND parent = reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT));
    if (C_window_base* parent_object = window_object(parent)) {
        RECT rect;
        if (GetWindowRect(window, &rect)) {
            POINT top_left = {rect.left, rect.top};
            POINT bottom_right = {rect.right, rect.bottom};
            ScreenToClient(parent_object->hwnd, &top_left);
            ScreenToClient(parent_object->hwnd, &bottom_right);
            rect_in_parent = {top_left.x, top_left.y, bottom_right.x, bottom_right.y};
        }
    }

    is_dialog = has_dialog_proc(window);
    const int slot = is_dialog ? DWLP_DLGPROC : GWLP_WNDPROC;
    if (GetWindowLongPtrW(window, slot) != common_proc_value())
        old_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, slot, common_proc_value()));
    return true;
}

void C_window_base::unbind_handle()
{
    if (!hwnd) return;
    release_binding();
}

void C_window_base::release_binding()
{
    if (old_proc) {
        SetWindowLongPtrW(hwnd, is_dialog ? DWLP_DLGPROC : GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc));
        old_proc = nullptr;
    }
    RemovePropW(hwnd, this_property);
    if (app_state.main_window == hwnd) app_state.main_window = nullptr;
    hwnd = nullptr;
}

bool C_window_base::on_destroy()
{
    if (!hwnd) return true;
    if (snap_to_edges) snap_list.erase(std::remove(snap_list.begin(), snap_list.end(), hwnd), snap_list.end());
    auto& windows = app_state.windows;
    windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
    if (hwnd == app_state.main_window) PostQuitMessage(0);
    return true;
}

std::wstring C_window_base::get_text() const
{
    if (!hwnd) return std::wstring();
    wchar_t buffer[1024];
    buffer[0] = L'\0';
    GetWindowTextW(hwnd, buffer, 1024);
    buffer[1023] = L'\0';
    return buffer;
}

void C_window_base::set_text(const std::wstring& text)
{
    if (!hwnd) return;
    // An unchanged text is not set again, so it causes no repaint.
    if (get_text() != text) SetWindowTextW(hwnd, text.c_str());
}

void C_window_base::record_creation()
{
    GetWindowRect(hwnd, &initial_window_rect);
    GetClientRect(hwnd, &initial_client_rect);
    app_state.windows.push_back(hwnd);
}

void C_window_base::pre_window_proc(UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_CREATE && hwnd) record_creation();
}

LRESULT C_window_base::window_proc(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (!hwnd) return 0;
    switch (msg) {
    case WM_DESTROY:
        on_destroy();
        break;
    case WM_CLOSE:
        // The nested WM_DESTROY unbinds the object, so nothing is left to pass on to.
        DestroyWindow(hwnd);
        break;
    case WM_SYSCOMMAND:
        // Every system command, the start of a move or size drag among them, ends the last drag.
        if (wparam & 0xF010) drag_state.drag.mode = drag_idle;
        break;
    case WM_SIZING:
        on_sizing(wparam, reinterpret_cast<RECT*>(lparam));
        break;
    case WM_MOVING:
        if (snap_to_edges) on_moving(reinterpret_cast<RECT*>(lparam));
        break;
    default:
        break;
    }
    return pass_on(msg, wparam, lparam);
}

LRESULT C_window_base::pass_on(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (!hwnd) return 0;
    if (old_proc) return CallWindowProcW(old_proc, hwnd, msg, wparam, lparam);
    // Decided on the window as it is now: a dialog leaves unhandled messages to the dialog manager.
    if (has_dialog_proc(hwnd)) return 0;
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace NT3
