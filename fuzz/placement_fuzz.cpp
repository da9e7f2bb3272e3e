// Feeds arbitrary rectangles, cursors, edge codes and splitter groups to the
// placement arithmetic and checks what must hold whatever the numbers: a moved
// rectangle keeps its size and only moves onto an edge within the snap distance,
// a clamped one is never below the minimum on the axes its edge drags, and a
// splitter stays within its limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "nt3/placement_geometry.h"
#include "nt3/splitter_geometry.h"

using namespace NT3;

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

// Reads the input as a stream of numbers; past its end every number is 0.
// Coordinates are 16-bit, as the platform's window coordinates are.
class C_numbers {
public:
    C_numbers(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    int byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int coordinate()
    {
        const int low = byte();
        return static_cast<std::int16_t>(low | (byte() << 8));
    }
    int any()
    {
        const std::uint32_t low = static_cast<std::uint16_t>(coordinate());
        return static_cast<std::int32_t>(low | static_cast<std::uint32_t>(coordinate()) << 16);
    }
    // Braced lists are read left to right.
    C_point point() { return C_point{coordinate(), coordinate()}; }
    C_rect rect() { return C_rect{coordinate(), coordinate(), coordinate(), coordinate()}; }
    std::vector<C_rect> rects(int most)
    {
        std::vector<C_rect> list(static_cast<std::size_t>(byte() % (most + 1)));
        for (C_rect& r : list) r = rect();
        return list;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The edges of one axis that a snap made meet, or nothing when the axis did not snap.
void check_axis(const C_snap_match& match, const std::vector<C_rect>& partners, const C_rect& work_area, int start,
                int end, bool horizontal)
{
    if (!match.work_area && match.partner < 0) return;
    const C_rect& t = match.work_area ? work_area : partners[static_cast<std::size_t>(match.partner)];
    const int target_start = horizontal ? t.left : t.top;
    const int target_end = horizontal ? t.right : t.bottom;
    switch (match.kind) {
    case snap_start_to_start: check(start == target_start); break;
    case snap_start_to_end: check(start == target_end); break;
    case snap_end_to_start: check(end == target_start); break;
    default: check(end == target_end); break;
    }
}

void fuzz_snapping(C_numbers& in)
{
    const bool moving = in.byte() % 2;
    const C_rect proposed = in.rect();
    const int edge = in.byte() % 10;
    const C_point grab = in.point();
    const C_drag drag = moving ? start_move(grab, proposed) : start_sizing(edge, grab, proposed);
    const C_rect q = follow_cursor(drag, in.point(), proposed);
    const std::vector<C_rect> partners = in.rects(4);
    const C_rect work_area = in.rect();

    const C_snap_matches matches = find_snaps(q, drag.edges, partners, work_area);
    const C_rect s = apply_snaps(q, drag.edges, matches, partners, work_area);
    if (moving) {
        check(width_of(q) == drag.width && height_of(q) == drag.height);
        check(width_of(s) == width_of(q) && height_of(s) == height_of(q));
    }
    // Only dragged edges move, never further than the snap distance.
    const int moved[] = {s.left - q.left, s.right - q.right, s.top - q.top, s.bottom - q.bottom};
    const bool dragged[] = {drag.edges.left, drag.edges.right, drag.edges.top, drag.edges.bottom};
    for (int i = 0; i < 4; ++i) check(dragged[i] ? std::abs(moved[i]) <= SNAP_DISTANCE : moved[i] == 0);
    check_axis(matches.horizontal, partners, work_area, s.left, s.right, true);
    check_axis(matches.vertical, partners, work_area, s.top, s.bottom, false);
}

void fuzz_minimum_and_anchor(C_numbers& in)
{
    const C_rect proposed = in.rect();
    const int edge = in.byte() % 10;
    const int min_width = in.coordinate() & 0x7FFF;
    const int min_height = in.coordinate() & 0x7FFF;
    const C_rect c = clamp_to_minimum(proposed, edge, min_width, min_height);
    const C_drag_edges e = dragged_edges(edge);
    // The dragged edge gives way; the opposite edge and the other axis stay.
    if (e.left || e.right) {
        check(width_of(c) >= min_width && width_of(c) >= width_of(proposed));
        check(e.left ? c.right == proposed.right : c.left == proposed.left);
    } else {
        check(c.left == proposed.left && c.right == proposed.right);
    }
    if (e.top || e.bottom) {
        check(height_of(c) >= min_height && height_of(c) >= height_of(proposed));
        check(e.top ? c.bottom == proposed.bottom : c.top == proposed.top);
    } else {
        check(c.top == proposed.top && c.bottom == proposed.bottom);
    }

    const C_rect at_binding = in.rect();
    const int anchor = in.byte() % 14 - 2;
    const int dx = in.coordinate();
    const int dy = in.coordinate();
    const C_rect a = anchored_rect(at_binding, anchor, dx, dy);
    check(anchored_rect(at_binding, anchor, 0, 0) == at_binding);
    const int grown_x = width_of(a) - width_of(at_binding);
    const int grown_y = height_of(a) - height_of(at_binding);
    check((grown_x == 0 || grown_x == dx) && (grown_y == 0 || grown_y == dy));
    check(a.left == at_binding.left || a.left == at_binding.left + dx);
    check(a.top == at_binding.top || a.top == at_binding.top + dy);
}

void fuzz_splitter(C_numbers& in)
{
    C_bar_geometry bar;
    bar.vertical = in.byte() % 2;
    const std::vector<C_rect> first = in.rects(3);
    const std::vector<C_rect> second = in.rects(3);
    const int extent = in.coordinate();
    const bool laid_out = lay_out_bar(bar, first, second, extent);
    check(laid_out == bar.valid);
    if (first.empty() || second.empty()) check(!laid_out && splitter_gap(bar.vertical, first, second) == C_rect{});
    if (!laid_out) return;
    check(bar.minimum <= bar.maximum && bar.range_end == extent);

    const int ratio = in.any();
    const int relaid = position_for_ratio(bar, ratio);
    check(bar.minimum <= relaid && relaid <= bar.maximum && accepts_position(bar, relaid));
    if (ratio == 0) check(relaid == bar.minimum);
    const C_point cursor = in.point();
    const int drag_origin = in.coordinate();
    const int dragged = dragged_position(bar, cursor, drag_origin, in.coordinate());
    check(accepts_position(bar, dragged));
    const int share = ratio_of(bar, dragged);
    // The ends of the range are exact shares; where they coincide, the minimum's.
    if (dragged == bar.minimum) check(share == 0);
    else if (dragged == bar.maximum) check(share == SPLITTER_RATIO_SCALE);

    const C_rect control = in.rect();
    const C_rect before = before_bar(bar, control, dragged);
    const C_rect after = after_bar(bar, control, dragged);
    check((bar.vertical ? before.right : before.bottom) == dragged);
    check((bar.vertical ? after.left : after.top) == dragged + bar.thickness);
}

void fuzz_mul_div(C_numbers& in)
{
    const int a = in.any();
    const int b = in.any();
    const int c = in.any();
    const int r = mul_div(a, b, c);
    if (c == 0) check(r == -1);
    if (r == -1) return;
    // Rounded to the nearest: never more than half the divisor away from the exact quotient.
    const std::int64_t miss = static_cast<std::int64_t>(r) * c - static_cast<std::int64_t>(a) * b;
    check(std::llabs(miss) <= std::llabs(static_cast<std::int64_t>(c)) / 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    C_numbers in(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0: fuzz_snapping(in); break;
    case 1: fuzz_minimum_and_anchor(in); break;
    case 2: fuzz_splitter(in); break;
    default: fuzz_mul_div(in); break;
    }
    return 0;
}
