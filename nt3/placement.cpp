#include "nt3/placement.h"

namespace NT3 {

static_assert(edge_left == WMSZ_LEFT && edge_right == WMSZ_RIGHT && edge_top == WMSZ_TOP &&
                  edge_top_left == WMSZ_TOPLEFT && edge_top_right == WMSZ_TOPRIGHT && edge_bottom == WMSZ_BOTTOM &&
                  edge_bottom_left == WMSZ_BOTTOMLEFT && edge_bottom_right == WMSZ_BOTTOMRIGHT,
              "sizing edge codes are the platform's");

C_drag_state drag_state;
std::vector<HWND> snap_list;
C_snap_result snap_result;

namespace {

// A WM_SIZING edge as the geometry reads it; codes it does not know hold no edge.
int sizing_edge_code(WPARAM edge)
{
    return edge <= edge_bottom_right ? static_cast<int>(edge) : edge_none;
}

C_rect work_area_of(HWND window)
{
    RECT now = {};
    GetWindowRect(window, &now);
    const C_point centre = centre_of(to_rect(now));
    return to_rect(get_work_area(POINT{centre.x, centre.y}));
}

C_snap_axis snapped_to(const C_snap_match& match, const std::vector<HWND>& partners)
{
    const HWND partner = match.partner >= 0 ? partners[static_cast<std::size_t>(match.partner)] : nullptr;
    return C_snap_axis{partner, match.work_area, match.kind};
}

// Moves the dragged edges of q onto the nearest edges of the other visible snap
// windows or of the work area.
void snap(HWND window, RECT& q)
{
    std::vector<HWND> partners;
    std::vector<C_rect> partner_rects;
    for (HWND other : snap_list) {
        if (other == window) continue;
        if (!(GetWindowLongW(other, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT o;
        if (!GetWindowRect(other, &o)) continue;
        partners.push_back(other);
        partner_rects.push_back(to_rect(o));
    }
    const C_rect work_area = work_area_of(window);
    const C_drag_edges& edges = drag_state.drag.edges;
    const C_snap_matches matches = find_snaps(to_rect(q), edges, partner_rects, work_area);
    snap_result = C_snap_result{snapped_to(matches.horizontal, partners), snapped_to(matches.vertical, partners)};
    q = to_win_rect(apply_snaps(to_rect(q), edges, matches, partner_rects, work_area));
}

// Starts the drag unless this window's drag of the same mode is under way.
void continue_or_start(HWND window, const C_drag& start)
{
    if (drag_state.drag.mode == start.mode && drag_state.window == window) return;
    drag_state.window = window;
    drag_state.drag = start;
}

}  // namespace

C_point cursor_now()
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    return C_point{cursor.x, cursor.y};
}

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

std::vector<C_rect> bound_rects(const std::vector<C_window_base*>& group)
{
    std::vector<C_rect> rects;
    // An unbound control has no place; counting it as (0, 0, 0, 0) would stretch the bounds.
    for (const C_window_base* control : group)
        if (control->hwnd) rects.push_back(to_rect(get_rect_in_parent(*control)));
    return rects;
}

void C_window_base::reanchor(int dx, int dy)
{
    if (anchor <= ANCHOR_NONE) return;
    // Always from the place at binding, so the result depends only on the current size.
    const RECT r = to_win_rect(anchored_rect(to_rect(rect_in_parent), anchor, dx, dy));
    if (!hwnd) return;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void C_window_base::on_sizing(WPARAM edge, RECT* proposed)
{
    if (!proposed || !hwnd) return;
    const int code = sizing_edge_code(edge);
    if (snap_to_edges) {
        const C_point cursor = cursor_now();
        continue_or_start(hwnd, start_sizing(code, cursor, to_rect(*proposed)));
        *proposed = to_win_rect(follow_cursor(drag_state.drag, cursor, to_rect(*proposed)));
        snap(hwnd, *proposed);
    }
    if (!limit_min_size) return;
    const C_rect minimum = to_rect(initial_window_rect);
    *proposed = to_win_rect(clamp_to_minimum(to_rect(*proposed), code, width_of(minimum), height_of(minimum)));
}

void C_window_base::on_moving(RECT* proposed)
{
    if (!proposed || !hwnd || !snap_to_edges) return;
    const C_point cursor = cursor_now();
    continue_or_start(hwnd, start_move(cursor, to_rect(*proposed)));
    *proposed = to_win_rect(follow_cursor(drag_state.drag, cursor, to_rect(*proposed)));
    snap(hwnd, *proposed);
}

}  // namespace NT3
