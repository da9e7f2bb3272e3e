#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <vector>

#include "nt3/placement_geometry.h"
#include "nt3/splitter_geometry.h"

using namespace NT3;

// The placement arithmetic over plain rectangles, case by case.

namespace {

::testing::AssertionResult same(const C_rect& actual, const C_rect& expected)
{
    if (actual == expected) return ::testing::AssertionSuccess();
    char text[160];
    std::snprintf(text, sizeof(text), "(%d, %d, %d, %d) instead of (%d, %d, %d, %d)", actual.left, actual.top,
                  actual.right, actual.bottom, expected.left, expected.top, expected.right, expected.bottom);
    return ::testing::AssertionFailure() << text;
}

bool same_match(const C_snap_match& a, const C_snap_match& b)
{
    const bool a_none = a.partner < 0 && !a.work_area;
    const bool b_none = b.partner < 0 && !b.work_area;
    if (a_none || b_none) return a_none == b_none;
    return a.partner == b.partner && a.work_area == b.work_area && a.kind == b.kind;
}

const C_drag_edges all_edges = {true, true, true, true};
const C_drag_edges right_edge = {false, true, false, false};
const C_drag_edges bottom_edge = {false, false, false, true};
const C_snap_match none;

}  // namespace

TEST(PlacementGeometry, AnchorCodesFollowTheKeypad)
{
    const C_rect at_binding = {10, 20, 40, 60};
    const struct {
        int code;
        C_rect expected;
    } cases[] = {
        {ANCHOR_TOP_LEFT, {10, 20, 40, 60}},     {ANCHOR_TOP, {10, 20, 45, 60}},
        {ANCHOR_TOP_RIGHT, {15, 20, 45, 60}},    {ANCHOR_LEFT, {10, 20, 40, 63}},
        {ANCHOR_FILL, {10, 20, 45, 63}},         {ANCHOR_RIGHT, {15, 20, 45, 63}},
        {ANCHOR_BOTTOM_LEFT, {10, 23, 40, 63}},  {ANCHOR_BOTTOM, {10, 23, 45, 63}},
        {ANCHOR_BOTTOM_RIGHT, {15, 23, 45, 63}}, {10, {10, 20, 40, 60}},
        {12, {15, 20, 45, 60}},                  {ANCHOR_NONE, at_binding},
        {-4, at_binding},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_TRUE(same(anchored_rect(at_binding, c.code, 5, 3), c.expected));
    }
}

TEST(PlacementGeometry, MinimumSizeMovesOnlyTheDraggedEdges)
{
    // 30 pixels too small on both axes for a 100 x 80 minimum.
    const C_rect small = {200, 100, 270, 150};
    const struct {
        int edge;
        C_rect expected;
    } cases[] = {
        {edge_left, {170, 100, 270, 150}},       {edge_right, {200, 100, 300, 150}},
        {edge_top, {200, 70, 270, 150}},         {edge_top_left, {170, 70, 270, 150}},
        {edge_top_right, {200, 70, 300, 150}},   {edge_bottom, {200, 100, 270, 180}},
        {edge_bottom_left, {170, 100, 270, 180}}, {edge_bottom_right, {200, 100, 300, 180}},
        {edge_none, small},                       {9, small},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edge);
        EXPECT_TRUE(same(clamp_to_minimum(small, c.edge, 100, 80), c.expected));
    }
    const C_rect large = {0, 0, 500, 400};
    EXPECT_TRUE(same(clamp_to_minimum(large, edge_top_right, 100, 80), large));
}

TEST(PlacementGeometry, DragsFollowTheCursorFromTheirGrabPoint)
{
    // A move keeps the size and grab offset of its first message, whatever the proposal says.
    const C_drag move = start_move(C_point{130, 110}, C_rect{100, 100, 300, 250});
    EXPECT_EQ(move.mode, drag_moving);
    EXPECT_TRUE(same(follow_cursor(move, C_point{170, 90}, C_rect{0, 0, 1, 1}), C_rect{140, 80, 340, 230}));

    // Sizing moves the dragged edges only, each keeping its grab offset.
    const C_rect start = {100, 100, 300, 250};
    const struct {
        int edge;
        C_point grab;
        C_point cursor;
        C_rect expected;
    } cases[] = {
        {edge_left, {98, 175}, {50, 0}, {52, 100, 300, 250}},
        {edge_top_right, {303, 101}, {320, 80}, {100, 79, 317, 250}},
        {edge_bottom, {0, 251}, {999, 300}, {100, 100, 300, 299}},
        {edge_bottom_left, {101, 249}, {60, 270}, {59, 100, 300, 271}},
        {edge_none, {0, 0}, {10, 10}, start},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edge);
        const C_drag sizing = start_sizing(c.edge, c.grab, start);
        EXPECT_EQ(sizing.mode, drag_sizing);
        EXPECT_TRUE(same(follow_cursor(sizing, c.cursor, start), c.expected));
    }
}

TEST(PlacementGeometry, SnappingMeetsTheNearestEdgeOnEachAxis)
{
    const C_rect partner = {500, 300, 700, 500};
    const C_rect further = {520, 300, 720, 500};
    const C_rect work_area = {0, 0, 1000, 800};
    const C_rect at_work_area_edge = {990, 300, 1190, 500};
    const struct {
        const char* name;
        C_drag_edges edges;
        std::vector<C_rect> partners;
        C_rect q;
        C_rect expected;
        C_snap_match horizontal;
        C_snap_match vertical;
    } cases[] = {
        {"left to left", all_edges, {partner}, {510, 350, 610, 450},
         {500, 350, 600, 450}, {0, false, snap_start_to_start}, none},
        {"left to right, 16 away", all_edges, {partner}, {716, 350, 816, 450},
         {700, 350, 800, 450}, {0, false, snap_start_to_end}, none},
        {"right to left, 16 away", all_edges, {partner}, {384, 350, 484, 450},
         {400, 350, 500, 450}, {0, false, snap_end_to_start}, none},
        {"right to right", all_edges, {partner}, {590, 350, 690, 450},
         {600, 350, 700, 450}, {0, false, snap_end_to_end}, none},
        {"top to top", all_edges, {partner}, {550, 305, 650, 405},
         {550, 300, 650, 400}, none, {0, false, snap_start_to_start}},
        {"top to bottom, 16 away", all_edges, {partner}, {550, 516, 650, 616},
         {550, 500, 650, 600}, none, {0, false, snap_start_to_end}},
        {"bottom to top, 16 away", all_edges, {partner}, {550, 184, 650, 284},
         {550, 200, 650, 300}, none, {0, false, snap_end_to_start}},
        {"bottom to bottom", all_edges, {partner}, {550, 390, 650, 490},
         {550, 400, 650, 500}, none, {0, false, snap_end_to_end}},
        {"17 away", all_edges, {partner}, {517, 350, 617, 450}, {517, 350, 617, 450}, none, none},
        // Beside the partner, one pixel out of reach on one side only: the edges
        // that line up on the other axis do not count.
        {"left of reach", all_edges, {partner}, {383, 300, 483, 400}, {383, 300, 483, 400}, none, none},
        {"right of reach", all_edges, {partner}, {717, 300, 817, 400}, {717, 300, 817, 400}, none, none},
        {"above reach", all_edges, {partner}, {500, 183, 600, 283}, {500, 183, 600, 283}, none, none},
        {"below reach", all_edges, {partner}, {510, 517, 610, 617}, {510, 517, 610, 617}, none, none},
        {"later edge test wins", all_edges, {partner}, {505, 350, 708, 450},
         {497, 350, 700, 450}, {0, false, snap_end_to_end}, none},
        {"later partner wins", all_edges, {partner, further}, {510, 350, 610, 450},
         {520, 350, 620, 450}, {1, false, snap_start_to_start}, none},
        {"work area wins", all_edges, {at_work_area_edge}, {885, 350, 985, 450},
         {900, 350, 1000, 450}, {-1, true, snap_end_to_end}, none},
        {"sized right edge", right_edge, {partner}, {300, 350, 489, 450},
         {300, 350, 500, 450}, {0, false, snap_end_to_start}, none},
        {"edge not dragged", right_edge, {partner}, {495, 350, 600, 450}, {495, 350, 600, 450}, none, none},
        {"sized bottom edge", bottom_edge, {partner}, {550, 100, 650, 290},
         {550, 100, 650, 300}, none, {0, false, snap_end_to_start}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const C_snap_matches matches = find_snaps(c.q, c.edges, c.partners, work_area);
        EXPECT_TRUE(same_match(matches.horizontal, c.horizontal));
        EXPECT_TRUE(same_match(matches.vertical, c.vertical));
        EXPECT_TRUE(same(apply_snaps(c.q, c.edges, matches, c.partners, work_area), c.expected));
    }
}

TEST(PlacementGeometry, SplitterLayoutInBothDirections)
{
    // Two stacked controls left of a tall one, 5 pixels apart, in a dialog 240 wide.
    C_bar_geometry vertical;
    vertical.vertical = true;
    ASSERT_TRUE(lay_out_bar(vertical, {{7, 7, 107, 67}, {7, 72, 107, 132}}, {{112, 7, 233, 132}}, 240));
    EXPECT_TRUE(vertical.valid);
    EXPECT_EQ(vertical.position, 107);
    EXPECT_EQ(vertical.thickness, 5);
    EXPECT_EQ(vertical.minimum, 7 + 16);
    EXPECT_EQ(vertical.maximum, 233 - 5 - 17);
    EXPECT_EQ(vertical.range_end, 240);
    EXPECT_EQ(vertical.ratio, 44583);

    // Two controls above a wide one, in a dialog 130 high: the gap runs between
    // the lower edge above and the upper edge below, over the width both share.
    C_bar_geometry horizontal;
    const std::vector<C_rect> top = {{10, 5, 200, 40}, {60, 8, 150, 45}};
    const std::vector<C_rect> bottom = {{0, 52, 180, 120}};
    EXPECT_TRUE(same(splitter_gap(false, top, bottom), C_rect{10, 45, 180, 52}));
    ASSERT_TRUE(lay_out_bar(horizontal, top, bottom, 130));
    EXPECT_EQ(horizontal.position, 45);
    EXPECT_EQ(horizontal.thickness, 7);
    EXPECT_EQ(horizontal.minimum, 8 + 16);
    EXPECT_EQ(horizontal.maximum, 120 - 7 - 17);
    EXPECT_EQ(horizontal.ratio, 34615);

    // A horizontal bar follows the cursor's y; both stop at their limits.
    EXPECT_EQ(dragged_position(horizontal, C_point{999, 60}, 50, 45), 55);
    EXPECT_EQ(dragged_position(horizontal, C_point{0, -300}, 50, 45), horizontal.minimum);
    EXPECT_EQ(dragged_position(vertical, C_point{150, 999}, 100, 107), 157);
    EXPECT_EQ(dragged_position(vertical, C_point{1000, 0}, 100, 107), vertical.maximum);

    EXPECT_TRUE(same(before_bar(vertical, C_rect{7, 7, 107, 67}, 150), C_rect{7, 7, 150, 67}));
    EXPECT_TRUE(same(after_bar(vertical, C_rect{112, 7, 233, 132}, 150), C_rect{155, 7, 233, 132}));
    EXPECT_TRUE(same(before_bar(horizontal, top[0], 60), C_rect{10, 5, 200, 60}));
    EXPECT_TRUE(same(after_bar(horizontal, bottom[0], 60), C_rect{0, 67, 180, 120}));
    EXPECT_TRUE(accepts_position(horizontal, horizontal.maximum));
    EXPECT_FALSE(accepts_position(horizontal, horizontal.maximum + 1));

    // The gap holds its left and top edges, not its right and bottom ones.
    // Groups of different heights: the gap spans only the height both share.
    EXPECT_TRUE(same(splitter_gap(true, {{7, 12, 107, 67}, {7, 72, 107, 140}}, {{112, 5, 233, 132}}),
                     C_rect{107, 12, 112, 132}));
    const C_rect gap = splitter_gap(true, {{7, 7, 107, 67}, {7, 72, 107, 132}}, {{112, 7, 233, 132}});
    EXPECT_TRUE(same(gap, C_rect{107, 7, 112, 132}));
    EXPECT_TRUE(gap_contains(gap, C_point{107, 7}));
    EXPECT_TRUE(gap_contains(gap, C_point{111, 131}));
    EXPECT_FALSE(gap_contains(gap, C_point{112, 50}));
    EXPECT_FALSE(gap_contains(gap, C_point{109, 132}));
}

TEST(PlacementGeometry, SplitterWithoutRoomOrWithoutAGroupIsNotUsable)
{
    C_bar_geometry bar;
    bar.vertical = true;
    // The right group ends too close: the limits cross.
    EXPECT_FALSE(lay_out_bar(bar, {{7, 7, 17, 67}}, {{22, 7, 32, 132}}, 240));
    EXPECT_FALSE(bar.valid);
    EXPECT_FALSE(accepts_position(bar, bar.minimum));
    // A right group 13 pixels wider: the limits meet, and the bar fits exactly there.
    EXPECT_TRUE(lay_out_bar(bar, {{7, 7, 17, 67}}, {{22, 7, 45, 132}}, 240));
    EXPECT_EQ(bar.maximum, bar.minimum);
    EXPECT_TRUE(accepts_position(bar, bar.minimum));
    EXPECT_FALSE(lay_out_bar(bar, {{7, 7, 107, 67}}, {}, 240));
    EXPECT_TRUE(same(splitter_gap(true, {{7, 7, 107, 67}}, {}), C_rect{}));
    EXPECT_FALSE(gap_contains(C_rect{}, C_point{0, 0}));
}

TEST(PlacementGeometry, RatioAndPositionConvertBothWays)
{
    // Limits that the plain share would miss: below zero and beyond the range.
    C_bar_geometry bar;
    bar.valid = true;
    bar.minimum = -20;
    bar.maximum = 300;
    bar.range_end = 240;
    const struct {
        int ratio;
        int position;
    } to_position[] = {
        {0, -20}, {SPLITTER_RATIO_SCALE, 300}, {50000, 120}, {99999, 240}, {200000, 300}, {-50000, -20},
    };
    for (const auto& c : to_position) {
        SCOPED_TRACE(c.ratio);
        EXPECT_EQ(position_for_ratio(bar, c.ratio), c.position);
    }
    const struct {
        int position;
        int ratio;
    } to_ratio[] = {
        {-20, 0}, {-50, 0}, {300, SPLITTER_RATIO_SCALE}, {120, 50000}, {100, 41667}, {-10, -4167},
    };
    for (const auto& c : to_ratio) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(ratio_of(bar, c.position), c.ratio);
    }
}

TEST(PlacementGeometry, MulDivAnswersAsThePlatform)
{
    const int cases[][3] = {
        {100000, 107, 240}, {7, 3, 2},        {-7, 3, 2},          {7, -3, -2},         {-5, 1, 3},
        {2, 1, 3},          {1, 1, 3},        {5, 5, 0},           {INT_MAX, 2, 1},     {INT_MAX, INT_MAX, INT_MAX},
        {INT_MIN, 1, 1},    {INT_MIN, 1, -1}, {-INT_MAX, 1, 1},    {100000, 239, 240},  {0, -3, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c[0] << " * " << c[1] << " / " << c[2]);
        EXPECT_EQ(mul_div(c[0], c[1], c[2]), MulDiv(c[0], c[1], c[2]));
    }
}
