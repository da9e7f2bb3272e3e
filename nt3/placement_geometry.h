#pragma once
#include <vector>

#include "nt3/geometry.h"

// The arithmetic of anchoring, the minimum size and edge snapping, over plain
// rectangles; the window base reads the cursor and the windows and applies the results.

namespace NT3 {

// Anchor codes follow a numeric keypad: the column says which horizontal edges
// follow the parent's right edge, the row which vertical edges follow its bottom.
constexpr int ANCHOR_NONE = 0;  // 0 or less: the control is never moved
constexpr int ANCHOR_BOTTOM_LEFT = 1;
constexpr int ANCHOR_BOTTOM = 2;  // full width
constexpr int ANCHOR_BOTTOM_RIGHT = 3;
constexpr int ANCHOR_LEFT = 4;  // full height
constexpr int ANCHOR_FILL = 5;  // grows both ways
constexpr int ANCHOR_RIGHT = 6;  // full height
constexpr int ANCHOR_TOP_LEFT = 7;
constexpr int ANCHOR_TOP = 8;  // full width
constexpr int ANCHOR_TOP_RIGHT = 9;

// The edge a sizing drag holds; the same numbers as the platform's WMSZ_ codes.
enum sizing_edge : int {
    edge_none = 0,
    edge_left = 1,
    edge_right = 2,
    edge_top = 3,
    edge_top_left = 4,
    edge_top_right = 5,
    edge_bottom = 6,
    edge_bottom_left = 7,
    edge_bottom_right = 8,
};

enum drag_mode : int {
    drag_idle = 0,
    drag_moving = 1,
    drag_sizing = 2,
};

// Which two edges meet on one axis, the window's edge first and the partner's
// second; the start edge is the left or top one, the end edge the right or bottom one.
enum snap_kind : int {
    snap_start_to_start = 0,
    snap_start_to_end = 1,
    snap_end_to_start = 2,
    snap_end_to_end = 3,
};

// Snapping reaches this far on both sides of an edge, in pixels.
constexpr int SNAP_DISTANCE = 16;

// The place of an anchored control once its parent's client area has changed by
// (dx, dy) since the parent's creation; the place at binding when not anchored.
C_rect anchored_rect(const C_rect& at_binding, int anchor, int dx, int dy);

struct C_drag_edges {
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;
};

// The edges that a sizing drag by that edge code moves; none for other codes.
C_drag_edges dragged_edges(int edge);

// The proposed rectangle of a sizing drag kept at least as large as the minimum:
// the dragged edge gives way, the opposite edge stays. Other edge codes change nothing.
C_rect clamp_to_minimum(const C_rect& proposed, int edge, int min_width, int min_height);

// A move or size drag as its first message found it. Later messages of the same
// drag keep it, whatever edge code they bring.
struct C_drag {
    drag_mode mode = drag_idle;
    int grab_x = 0;  // cursor minus the dragged edge, or minus the top-left corner when moving
    int grab_y = 0;
    int width = 0;  // the window's size at the start of a move
    int height = 0;
    C_drag_edges edges;  // the edges that follow the cursor
};

C_drag start_move(C_point cursor, const C_rect& proposed);
C_drag start_sizing(int edge, C_point cursor, const C_rect& proposed);

// The rectangle rebuilt from the cursor: a move places the whole rectangle, so a
// snap never drags the window away from the cursor; sizing sets the dragged edges.
C_rect follow_cursor(const C_drag& drag, C_point cursor, const C_rect& proposed);

// What one axis snaps to: a partner (an index into the partners), or the work
// area, which wins over any partner; nothing when `partner` is -1 and `work_area` false.
struct C_snap_match {
    int partner = -1;
    bool work_area = false;
    snap_kind kind = snap_start_to_start;
};

struct C_snap_matches {
    C_snap_match horizontal;
    C_snap_match vertical;
};

// Tests the dragged edges of q against each partner in order, then against the
// work area; a later match replaces an earlier one on the same axis.
C_snap_matches find_snaps(const C_rect& q, const C_drag_edges& edges, const std::vector<C_rect>& partners,
                          const C_rect& work_area);

// Moves the dragged edges of q by the shift that makes the matched edges meet. A
// move thus shifts the whole rectangle; sizing shifts only the dragged edges.
C_rect apply_snaps(const C_rect& q, const C_drag_edges& edges, const C_snap_matches& matches,
                   const std::vector<C_rect>& partners, const C_rect& work_area);

}  // namespace NT3
