#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "nt3/placement_geometry.h"

namespace NT3 {

// The one procedure the framework hands to the platform: the window procedure of
// every window it subclasses and the dialog procedure of every dialog it creates.
LRESULT CALLBACK common_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// The same procedure in the form the dialog functions take.
DLGPROC common_dialog_proc();

// Whether the window is a dialog: it has a dialog procedure.
bool has_dialog_proc(HWND hwnd);

// A platform window wrapped in an object. The object is bound to at most one
// window; the binding ends when the window is destroyed. Objects always outlive
// their windows, and destroying an object never destroys its window.
class C_window_base {
public:
    C_window_base();
    // Not virtual: window objects are members or statics destroyed through their own type.
    ~C_window_base();
    C_window_base(const C_window_base&) = delete;
    C_window_base& operator=(const C_window_base&) = delete;

    bool bind_handle(HWND window);
    void unbind_handle();
    bool on_destroy();

    std::wstring get_text() const;
    void set_text(const std::wstring& text);

    // Placement aids, each doing nothing unless switched on for this window.
    // Moves the window for a change of its parent's client size since the parent's creation.
    void reanchor(int dx, int dy);
    // Change the proposed rectangle of WM_SIZING and WM_MOVING in place.
    void on_sizing(WPARAM edge, RECT* proposed);
    void on_moving(RECT* proposed);

    // Called first for every routed message, for bookkeeping before any handling.
    virtual void pre_window_proc(UINT msg, WPARAM wparam, LPARAM lparam);
    // Overrides handle what they want and pass everything else to their base.
    virtual LRESULT window_proc(UINT msg, WPARAM wparam, LPARAM lparam);

    HWND hwnd = nullptr;
    std::wstring name;
    WNDPROC old_proc = nullptr;
    bool is_dialog = false;
    RECT initial_window_rect = {};
    RECT initial_client_rect = {};
    RECT rect_in_parent = {};
    bool limit_min_size = false;
    bool snap_to_edges = false;
    int anchor = ANCHOR_NONE;
    std::vector<C_window_base*> children;
    HICON big_icon = nullptr;
    HICON small_icon = nullptr;

protected:
    // What a message gets when no handler consumed it.
    LRESULT pass_on(UINT msg, WPARAM wparam, LPARAM lparam);
    // The window's rectangles at creation, and its entry in the list of top-level windows.
    void record_creation();

private:
    void release_binding();
};

// The object bound to a window, or null.
C_window_base* window_object(HWND hwnd);

}  // namespace NT3
