#pragma once
#include <vector>

#include "nt3/geometry.h"

// The arithmetic of a splitter bar over plain rectangles; the dialog side measures
// the controls and moves them.

namespace NT3 {

// Units of a splitter's ratio: the whole range.
constexpr int SPLITTER_RATIO_SCALE = 100000;
// A ratio that is not known yet: the bar stays where the controls put it.
constexpr int SPLITTER_RATIO_UNKNOWN = -1;
// Room kept for the controls on each side of a bar, in pixels.
constexpr int SPLITTER_LEAD_MARGIN = 16;
constexpr int SPLITTER_TRAIL_MARGIN = 17;

// The numbers of a bar between two groups of controls.
struct C_bar_geometry {
    bool valid = false;  // the last layout found room for the bar
    int thickness = 0;
    int position = 0;  // x of a vertical bar, y of a horizontal one, in the dialog's client area
    int minimum = 0;
    int maximum = 0;
    int range_start = 0;
    int range_end = 0;
    int ratio = SPLITTER_RATIO_UNKNOWN;  // position as a share of the range in units of 1/100000
    bool vertical = false;  // a left and a right group rather than a top and a bottom one
};

// The gap between the bounds of the two groups; all zero when a group is empty.
C_rect splitter_gap(bool vertical, const std::vector<C_rect>& first_group, const std::vector<C_rect>& second_group);

// Measures the bar from its groups and the dialog's client width (vertical bar) or
// height: its place, thickness and limits, then its ratio. False, and not valid,
// when a group is empty or the limits leave the bar no room.
bool lay_out_bar(C_bar_geometry& bar, const std::vector<C_rect>& first_group, const std::vector<C_rect>& second_group,
                 int client_extent);

// The position as a share of the range: 0 at or below the minimum, the whole scale
// at or above the maximum.
int ratio_of(const C_bar_geometry& bar, int position);

// Where a remembered ratio puts the bar after the dialog changed size.
int position_for_ratio(const C_bar_geometry& bar, int ratio);

// The coordinate of a point that moves the bar: x for a vertical bar, y for a horizontal one.
int bar_axis(const C_bar_geometry& bar, C_point point);

// The position while dragging: the start position moved with the cursor, within the limits.
int dragged_position(const C_bar_geometry& bar, C_point cursor, int drag_origin, int start_position);

// Whether the bar can be put there: a valid layout and a position within the limits.
bool accepts_position(const C_bar_geometry& bar, int position);

// A first-group control ends at the bar; a second-group control starts after it.
C_rect before_bar(const C_bar_geometry& bar, const C_rect& control, int position);
C_rect after_bar(const C_bar_geometry& bar, const C_rect& control, int position);

// Whether the point is on the gap; the all-zero gap of an empty group holds none.
bool gap_contains(const C_rect& gap, C_point point);

}  // namespace NT3
