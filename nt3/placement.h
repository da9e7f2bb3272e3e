#pragma once
#include <windows.h>

#include <vector>

#include "nt3/window_base.h"

namespace NT3 {

// Snapping reaches this far on both sides of an edge, in pixels.
constexpr int SNAP_DISTANCE = 16;

enum drag_mode : int {
    drag_idle = 0,
    drag_moving = 1,
    drag_sizing = 2,
};

// The window being moved or sized by the user. Only the window and the mode
// decide whether a message continues a drag; the rest keeps its last values.
struct C_drag_state {
    int mode = drag_idle;
    HWND window = nullptr;
    int grab_x = 0;  // cursor minus the dragged edge, or minus the top-left corner when moving
    int grab_y = 0;
    int width = 0;   // the window's size at the start of a move
    int height = 0;
    bool left = false;  // the edges that follow the cursor
    bool right = false;
    bool top = false;
    bool bottom = false;
};

// Which two edges meet on one axis: 0 left/top to left/top, 1 left/top to
// right/bottom, 2 right/bottom to left/top, 3 right/bottom to right/bottom
// (the window's edge first, the partner's second).
struct C_snap_axis {
    HWND partner = nullptr;
    bool work_area = false;  // the partner is the monitor's work area, which wins over windows
    int kind = 0;
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

// The work area of the monitor nearest to a screen point.
RECT get_work_area(POINT point);

// The window's rectangle now, in its parent's client coordinates; all zero when unbound.
RECT get_rect_in_parent(const C_window_base& window);

// The union of the rectangles of the group's bound controls; all zero when none is bound.
RECT get_group_bounds(const std::vector<C_window_base*>& group);

}  // namespace NT3
