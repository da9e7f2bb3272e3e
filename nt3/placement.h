#pragma once
#include <windows.h>

#include <vector>

#include "nt3/placement_geometry.h"
#include "nt3/window_base.h"

namespace NT3 {

// The window being moved or sized by the user. Only the window and the mode
// decide whether a message continues a drag; the rest keeps its last values.
struct C_drag_state {
    HWND window = nullptr;
    C_drag drag;
};

// What one axis snapped to in the last WM_MOVING or WM_SIZING.
struct C_snap_axis {
    HWND partner = nullptr;
    bool work_area = false;  // the partner is the monitor's work area, which wins over windows
    snap_kind kind = snap_start_to_start;
};

struct C_snap_result {
    C_snap_axis horizontal;
    C_snap_axis vertical;
};

extern C_drag_state drag_state;
// The windows that take part in snapping, in order.
extern std::vector<HWND> snap_list;
// Built anew for each WM_MOVING or WM_SIZING.
extern C_snap_result snap_result;

inline C_rect to_rect(const RECT& r)
{
    return C_rect{r.left, r.top, r.right, r.bottom};
}

inline RECT to_win_rect(const C_rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

// The cursor's screen position.
C_point cursor_now();

// The work area of the monitor nearest to a screen point.
RECT get_work_area(POINT point);

// The window's rectangle now, in its parent's client coordinates; all zero when unbound.
RECT get_rect_in_parent(const C_window_base& window);

// The rectangles of the group's bound controls, in their parent's client coordinates.
std::vector<C_rect> bound_rects(const std::vector<C_window_base*>& group);

}  // namespace NT3
