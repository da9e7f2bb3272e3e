#include "nt3/placement.h"

#include <algorithm>
#include <cstdlib>

namespace NT3 {

C_drag_state drag_state;
std::vector<HWND> snap_list;
C_snap_result snap_result;

namespace {

bool within_snap(int a, int b)
{
    return std::abs(a - b) <= SNAP_DISTANCE;
}

// Whether q touches r once r is widened by the snap distance on every side.
// Touching counts, so that an edge exactly the snap distance away still snaps.
bool within_reach(const RECT& q, const RECT& r)
{
    return q.left <= r.right + SNAP_DISTANCE && q.right >= r.left - SNAP_DISTANCE &&
           q.top <= r.bottom + SNAP_DISTANCE && q.bottom >= r.top - SNAP_DISTANCE;
}

// The edge tests for the dragged edges of q against one partner rectangle; a
// match replaces whatever an earlier one left on the same axis.
void match_edges(const RECT& q, const RECT& o, HWND partner, bool work_area)
{
    auto horizontal = [&](int kind) {
        snap_result.horizontal = {partner, work_area, kind};
    };
    auto vertical = [&](int kind) {
        snap_result.vertical = {partner, work_area, kind};
    };
    if (drag_state.left) {
        if (within_snap(o.left, q.left)) horizontal(0);
        if (within_snap(o.right, q.left)) horizontal(1);
    }
    if (drag_state.right) {
        if (within_snap(o.left, q.right)) horizontal(2);
        if (within_snap(o.right, q.right)) horizontal(3);
    }
    if (drag_state.top) {
        if (within_snap(o.top, q.top)) vertical(0);
        if (within_snap(o.bottom, q.top)) vertical(1);
    }
    if (drag_state.bottom) {
        if (within_snap(o.top, q.bottom)) vertical(2);
        if (within_snap(o.bottom, q.bottom)) vertical(3);
    }
}

RECT work_area_of(HWND window)
{
    RECT now = {};
    GetWindowRect(window, &now);
    POINT centre = {now.left + (now.right - now.left) / 2, now.top + (now.bottom - now.top) / 2};
    return get_work_area(centre);
}

// The axis's target rectangle, or false when nothing matched on it.
bool snap_target(const C_snap_axis& axis, HWND window, RECT& target)
{
    if (axis.work_area) {
        target = work_area_of(window);
        return true;
    }
    if (axis.partner) return GetWindowRect(axis.partner, &target) != FALSE;
    return false;
}

// How far the dragged edges move so that the edges of one axis named by `kind`
// meet: 0 low to low, 1 low to high, 2 high to low, 3 high to high.
int edge_shift(int kind, int target_low, int target_high, int low, int high)
{
    switch (kind) {
    case 0: return target_low - low;
    case 1: return target_high - low;
    case 2: return target_low - high;
    default: return target_high - high;
    }
}

// Moves the dragged edges of q onto the nearest partner edges.
void snap(HWND window, RECT& q)
{
    snap_result = C_snap_result();

    for (HWND other : snap_list) {
        if (other == window) continue;
        if (!(GetWindowLongW(other, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT o;
        if (!GetWindowRect(other, &o)) continue;
        if (within_reach(q, o)) match_edges(q, o, other, false);
    }

    // The work area comes last, so it wins over any window on the same axis.
    RECT w = work_area_of(window);
    if (within_reach(q, w)) match_edges(q, w, nullptr, true);

    RECT t;
    if (snap_target(snap_result.horizontal, window, t)) {
        const int shift = edge_shift(snap_result.horizontal.kind, t.left, t.right, q.left, q.right);
        if (drag_state.left) q.left += shift;
        if (drag_state.right) q.right += shift;
    }
    if (snap_target(snap_result.vertical, window, t)) {
        const int shift = edge_shift(snap_result.vertical.kind, t.top, t.bottom, q.top, q.bottom);
        if (drag_state.top) q.top += shift;
        if (drag_state.bottom) q.bottom += shift;
    }
}

void snap_sizing(HWND window, WPARAM edge, RECT& q)
{
    POINT cursor;
    GetCursorPos(&cursor);
    if (drag_state.mode != drag_sizing || drag_state.window != window) {
        // The edges are fixed at the first message; later ones keep them whatever edge code they bring.
        drag_state.window = window;
        drag_state.mode = drag_sizing;
        drag_state.left = drag_state.right = drag_state.top = drag_state.bottom = false;
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) {
            drag_state.left = true;
            drag_state.grab_x = cursor.x - q.left;
        }
        if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT) {
            drag_state.right = true;
            drag_state.grab_x = cursor.x - q.right;
        }
        if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) {
            drag_state.top = true;
            drag_state.grab_y = cursor.y - q.top;
        }
        if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT) {
            drag_state.bottom = true;
            drag_state.grab_y = cursor.y - q.bottom;
        }
    }
    if (drag_state.left) q.left = cursor.x - drag_state.grab_x;
    if (drag_state.right) q.right = cursor.x - drag_state.grab_x;
    if (drag_state.top) q.top = cursor.y - drag_state.grab_y;
    if (drag_state.bottom) q.bottom = cursor.y - drag_state.grab_y;
    snap(window, q);
}

}  // namespace

RECT get_work_area(POINT point)
{
    HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(MONITORINFO);
    if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT primary = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0);
    return primary;
}

RECT get_rect_in_parent(const C_window_base& window)
{
    RECT rect = {};
    if (!window.hwnd || !GetWindowRect(window.hwnd, &rect)) return RECT{};
    HWND parent = reinterpret_cast<HWND>(GetWindowLongPtrW(window.hwnd, GWLP_HWNDPARENT));
    POINT top_left = {rect.left, rect.top};
    POINT bottom_right = {rect.right, rect.bottom};
    ScreenToClient(parent, &top_left);
    ScreenToClient(parent, &bottom_right);
    return RECT{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
}

RECT get_group_bounds(const std::vector<C_window_base*>& group)
{
    RECT bounds = {};
    bool first = true;
    for (const C_window_base* control : group) {
        // An unbound control has no place; counting it as (0, 0, 0, 0) would stretch the bounds.
        if (!control->hwnd) continue;
        RECT r = get_rect_in_parent(*control);
        if (first) {
            bounds = r;
            first = false;
            continue;
        }
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

void C_window_base::reanchor(int dx, int dy)
{
    if (anchor <= 0) return;
    // The code follows a numeric keypad: the column says which horizontal edges
    // follow the parent's right edge, the row which vertical edges follow its bottom.
    const int column = (anchor - 1) % 3;
    const int row = (9 - anchor) / 3;
    // Always from the place at binding, so the result depends only on the current size.
    RECT r = rect_in_parent;
    if (column == 2) r.left += dx;
    if (row == 2) r.top += dy;
    if (column == 1 || column == 2) r.right += dx;
    if (row == 1 || row == 2) r.bottom += dy;
    if (!hwnd) return;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void C_window_base::on_sizing(WPARAM edge, RECT* proposed)
{
    if (!proposed || !hwnd) return;
    if (snap_to_edges) snap_sizing(hwnd, edge, *proposed);
    if (!limit_min_size) return;

    RECT& r = *proposed;
    const int width = std::max(initial_window_rect.right - initial_window_rect.left, r.right - r.left);
    const int height = std::max(initial_window_rect.bottom - initial_window_rect.top, r.bottom - r.top);
    // The edge being dragged gives way; the opposite edge stays where it is.
    switch (edge) {
    case WMSZ_LEFT:
        r.left = r.right - width;
        break;
    case WMSZ_RIGHT:
        r.right = r.left + width;
        break;
    case WMSZ_TOP:
        r.top = r.bottom - height;
        break;
    case WMSZ_TOPLEFT:
        r.top = r.bottom - height;
        r.left = r.right - width;
        break;
    case WMSZ_TOPRIGHT:
        r.top = r.bottom - height;
        r.right = r.left + width;
        break;
    case WMSZ_BOTTOM:
        r.bottom = r.top + height;
        break;
    case WMSZ_BOTTOMLEFT:
        r.left = r.right - width;
        r.bottom = r.top + height;
        break;
    case WMSZ_BOTTOMRIGHT:
        r.right = r.left + width;
        r.bottom = r.top + height;
        break;
    default:
        break;
    }
}

void C_window_base::on_moving(RECT* proposed)
{
    if (!proposed || !hwnd || !snap_to_edges) return;
    POINT cursor;
    GetCursorPos(&cursor);
    RECT& q = *proposed;
    if (drag_state.mode != drag_moving || drag_state.window != hwnd) {
        drag_state.window = hwnd;
        drag_state.mode = drag_moving;
        drag_state.grab_x = cursor.x - q.left;
        drag_state.grab_y = cursor.y - q.top;
        drag_state.width = q.right - q.left;
        drag_state.height = q.bottom - q.top;
        drag_state.left = drag_state.right = drag_state.top = drag_state.bottom = true;
    }
    // Rebuilt from the cursor each time, so a snap never drags the window away from it.
    q.left = cursor.x - drag_state.grab_x;
    q.top = cursor.y - drag_state.grab_y;
    q.right = q.left + drag_state.width;
    q.bottom = q.top + drag_state.height;
    snap(hwnd, q);
}

}  // namespace NT3
