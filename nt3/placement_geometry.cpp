#include "nt3/placement_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace NT3 {

namespace {

bool within_snap(int a, int b)
{
    return std::abs(a - b) <= SNAP_DISTANCE;
}

// Whether q touches r once r is widened by the snap distance on every side.
// Touching counts, so that an edge exactly the snap distance away still snaps.
bool within_reach(const C_rect& q, const C_rect& r)
{
    return q.left <= r.right + SNAP_DISTANCE && q.right >= r.left - SNAP_DISTANCE &&
           q.top <= r.bottom + SNAP_DISTANCE && q.bottom >= r.top - SNAP_DISTANCE;
}

void match_edges(const C_rect& q, const C_rect& o, const C_drag_edges& edges, C_snap_match found,
                 C_snap_matches& matches)
{
    auto horizontal = [&](snap_kind kind) {
        matches.horizontal = found;
        matches.horizontal.kind = kind;
    };
    auto vertical = [&](snap_kind kind) {
        matches.vertical = found;
        matches.vertical.kind = kind;
    };
    if (edges.left) {
        if (within_snap(o.left, q.left)) horizontal(snap_start_to_start);
        if (within_snap(o.right, q.left)) horizontal(snap_start_to_end);
    }
    if (edges.right) {
        if (within_snap(o.left, q.right)) horizontal(snap_end_to_start);
        if (within_snap(o.right, q.right)) horizontal(snap_end_to_end);
    }
    if (edges.top) {
        if (within_snap(o.top, q.top)) vertical(snap_start_to_start);
        if (within_snap(o.bottom, q.top)) vertical(snap_start_to_end);
    }
    if (edges.bottom) {
        if (within_snap(o.top, q.bottom)) vertical(snap_end_to_start);
        if (within_snap(o.bottom, q.bottom)) vertical(snap_end_to_end);
    }
}

// How far the dragged edges of one axis move so that the edges named by `kind` meet.
int edge_shift(snap_kind kind, int target_start, int target_end, int start, int end)
{
    switch (kind) {
    case snap_start_to_start: return target_start - start;
    case snap_start_to_end: return target_end - start;
    case snap_end_to_start: return target_start - end;
    default: return target_end - end;
    }
}

// The rectangle an axis snaps to, or null when nothing matched on it.
const C_rect* snap_target(const C_snap_match& match, const std::vector<C_rect>& partners, const C_rect& work_area)
{
    if (match.work_area) return &work_area;
    if (match.partner >= 0 && static_cast<std::size_t>(match.partner) < partners.size())
        return &partners[static_cast<std::size_t>(match.partner)];
    return nullptr;
}

}  // namespace

C_rect anchored_rect(const C_rect& at_binding, int anchor, int dx, int dy)
{
    C_rect r = at_binding;
    if (anchor <= ANCHOR_NONE) return r;
    const int column = (anchor - 1) % 3;
    const int row = (9 - anchor) / 3;
    if (column == 2) r.left += dx;
    if (row == 2) r.top += dy;
    if (column == 1 || column == 2) r.right += dx;
    if (row == 1 || row == 2) r.bottom += dy;
    return r;
}

C_drag_edges dragged_edges(int edge)
{
    C_drag_edges edges;
    edges.left = edge == edge_left || edge == edge_top_left || edge == edge_bottom_left;
    edges.right = edge == edge_right || edge == edge_top_right || edge == edge_bottom_right;
    edges.top = edge == edge_top || edge == edge_top_left || edge == edge_top_right;
    edges.bottom = edge == edge_bottom || edge == edge_bottom_left || edge == edge_bottom_right;
    return edges;
}

C_rect clamp_to_minimum(const C_rect& proposed, int edge, int min_width, int min_height)
{
    C_rect r = proposed;
    const int width = std::max(min_width, width_of(r));
    const int height = std::max(min_height, height_of(r));
    const C_drag_edges dragged = dragged_edges(edge);
    if (dragged.left) r.left = r.right - width;
    if (dragged.right) r.right = r.left + width;
    if (dragged.top) r.top = r.bottom - height;
    if (dragged.bottom) r.bottom = r.top + height;
    return r;
}

C_drag start_move(C_point cursor, const C_rect& proposed)
{
    C_drag drag;
    drag.mode = drag_moving;
    drag.grab_x = cursor.x - proposed.left;
    drag.grab_y = cursor.y - proposed.top;
    drag.width = width_of(proposed);
    drag.height = height_of(proposed);
    drag.edges = C_drag_edges{true, true, true, true};
    return drag;
}

C_drag start_sizing(int edge, C_point cursor, const C_rect& proposed)
{
    C_drag drag;
    drag.mode = drag_sizing;
    drag.edges = dragged_edges(edge);
    if (drag.edges.left) drag.grab_x = cursor.x - proposed.left;
    if (drag.edges.right) drag.grab_x = cursor.x - proposed.right;
    if (drag.edges.top) drag.grab_y = cursor.y - proposed.top;
    if (drag.edges.bottom) drag.grab_y = cursor.y - proposed.bottom;
    return drag;
}

C_rect follow_cursor(const C_drag& drag, C_point cursor, const C_rect& proposed)
{
    C_rect q = proposed;
    if (drag.mode == drag_moving) {
        q.left = cursor.x - drag.grab_x;
        q.top = cursor.y - drag.grab_y;
        q.right = q.left + drag.width;
        q.bottom = q.top + drag.height;
        return q;
    }
    if (drag.edges.left) q.left = cursor.x - drag.grab_x;
    if (drag.edges.right) q.right = cursor.x - drag.grab_x;
    if (drag.edges.top) q.top = cursor.y - drag.grab_y;
    if (drag.edges.bottom) q.bottom = cursor.y - drag.grab_y;
    return q;
}

C_snap_matches find_snaps(const C_rect& q, const C_drag_edges& edges, const std::vector<C_rect>& partners,
                          const C_rect& work_area)
{
    C_snap_matches matches;
    for (std::size_t i = 0; i < partners.size(); ++i) {
        if (within_reach(q, partners[i]))
            match_edges(q, partners[i], edges, C_snap_match{static_cast<int>(i)}, matches);
    }
    // The work area comes last, so it wins over any window on the same axis.
    if (within_reach(q, work_area)) match_edges(q, work_area, edges, C_snap_match{-1, true}, matches);
    return matches;
}

C_rect apply_snaps(const C_rect& q, const C_drag_edges& edges, const C_snap_matches& matches,
                   const std::vector<C_rect>& partners, const C_rect& work_area)
{
    C_rect r = q;
    if (const C_rect* t = snap_target(matches.horizontal, partners, work_area)) {
        const int shift = edge_shift(matches.horizontal.kind, t->left, t->right, q.left, q.right);
        if (edges.left) r.left += shift;
        if (edges.right) r.right += shift;
    }
    if (const C_rect* t = snap_target(matches.vertical, partners, work_area)) {
        const int shift = edge_shift(matches.vertical.kind, t->top, t->bottom, q.top, q.bottom);
        if (edges.top) r.top += shift;
        if (edges.bottom) r.bottom += shift;
    }
    return r;
}

}  // namespace NT3
