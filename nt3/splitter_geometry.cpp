#include "nt3/splitter_geometry.h"

#include <algorithm>
#include <climits>

namespace NT3 {

C_rect splitter_gap(bool vertical, const std::vector<C_rect>& first_group, const std::vector<C_rect>& second_group)
{
    if (first_group.empty() || second_group.empty()) return C_rect{};
    const C_rect a = bounds_of(first_group);
    const C_rect b = bounds_of(second_group);
    if (vertical) return C_rect{a.right, std::max(a.top, b.top), b.left, std::min(a.bottom, b.bottom)};
    return C_rect{std::max(a.left, b.left), a.bottom, std::min(a.right, b.right), b.top};
}

bool lay_out_bar(C_bar_geometry& bar, const std::vector<C_rect>& first_group, const std::vector<C_rect>& second_group,
                 int client_extent)
{
    bar.valid = false;
    if (first_group.empty() || second_group.empty()) return false;

    int lead = INT_MIN;
    for (const C_rect& r : first_group) lead = std::max(lead, bar.vertical ? r.left : r.top);
    int trail = INT_MAX;
    for (const C_rect& r : second_group) trail = std::min(trail, bar.vertical ? r.right : r.bottom);

    const C_rect g = splitter_gap(bar.vertical, first_group, second_group);
    bar.position = bar.vertical ? g.left : g.top;
    bar.thickness = bar.vertical ? width_of(g) : height_of(g);
    bar.range_start = 0;
    bar.range_end = client_extent;
    bar.minimum = lead + SPLITTER_LEAD_MARGIN;
    bar.maximum = trail - bar.thickness - SPLITTER_TRAIL_MARGIN;
    if (bar.maximum < bar.minimum) return false;
    bar.ratio = ratio_of(bar, bar.position);
    bar.valid = true;
    return true;
}

int ratio_of(const C_bar_geometry& bar, int position)
{
    if (position <= bar.minimum) return 0;
    if (position >= bar.maximum) return SPLITTER_RATIO_SCALE;
    return mul_div(SPLITTER_RATIO_SCALE, position, bar.range_end - bar.range_start);
}

int position_for_ratio(const C_bar_geometry& bar, int ratio)
{
    // The two ends stay pinned to the limits, whatever the range has become.
    if (ratio == 0) return bar.minimum;
    if (ratio == SPLITTER_RATIO_SCALE) return bar.maximum;
    return std::clamp(mul_div(bar.range_end - bar.range_start, ratio, SPLITTER_RATIO_SCALE), bar.minimum, bar.maximum);
}

int bar_axis(const C_bar_geometry& bar, C_point point)
{
    return bar.vertical ? point.x : point.y;
}

int dragged_position(const C_bar_geometry& bar, C_point cursor, int drag_origin, int start_position)
{
    return std::clamp(bar_axis(bar, cursor) + start_position - drag_origin, bar.minimum, bar.maximum);
}

bool accepts_position(const C_bar_geometry& bar, int position)
{
    return bar.valid && bar.minimum <= position && position <= bar.maximum;
}

C_rect before_bar(const C_bar_geometry& bar, const C_rect& control, int position)
{
    C_rect r = control;
    (bar.vertical ? r.right : r.bottom) = position;
    return r;
}

C_rect after_bar(const C_bar_geometry& bar, const C_rect& control, int position)
{
    C_rect r = control;
    (bar.vertical ? r.left : r.top) = position + bar.thickness;
    return r;
}

bool gap_contains(const C_rect& gap, C_point point)
{
    return gap.left <= point.x && point.x < gap.right && gap.top <= point.y && point.y < gap.bottom;
}

}  // namespace NT3
