#include "nt3/splitter.h"

#include <algorithm>
#include <climits>

#include "nt3/placement.h"

namespace NT3 {

namespace {

// Room kept for the controls on each side of a bar, in pixels.
constexpr int LEAD_MARGIN = 16;
constexpr int TRAIL_MARGIN = 17;

HWND parent_of(const C_window_base& control)
{
    return reinterpret_cast<HWND>(GetWindowLongPtrW(control.hwnd, GWLP_HWNDPARENT));
}

const C_window_base* first_bound(const std::vector<C_window_base*>& group)
{
    for (const C_window_base* control : group)
        if (control->hwnd) return control;
    return nullptr;
}

void place(const C_window_base& control, const RECT& r)
{
    SetWindowPos(control.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool is_all_zero(const RECT& r)
{
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

}  // namespace

RECT C_splitter::gap() const
{
    if (!first_bound(first_group) || !first_bound(second_group)) return RECT{};
    const RECT a = get_group_bounds(first_group);
    const RECT b = get_group_bounds(second_group);
    if (vertical) return RECT{a.right, std::max(a.top, b.top), b.left, std::min(a.bottom, b.bottom)};
    return RECT{std::max(a.left, b.left), a.bottom, std::min(a.right, b.right), b.top};
}

bool C_splitter::layout()
{
    valid = false;
    const C_window_base* first = first_bound(first_group);
    if (!first || !first_bound(second_group)) return false;

    int lead = INT_MIN;
    for (const C_window_base* control : first_group) {
        if (!control->hwnd) continue;
        const RECT r = get_rect_in_parent(*control);
        lead = std::max(lead, static_cast<int>(vertical ? r.left : r.top));
    }
    int trail = INT_MAX;
    for (const C_window_base* control : second_group) {
        if (!control->hwnd) continue;
        const RECT r = get_rect_in_parent(*control);
        trail = std::min(trail, static_cast<int>(vertical ? r.right : r.bottom));
    }

    const RECT g = gap();
    position = vertical ? g.left : g.top;
    thickness = vertical ? g.right - g.left : g.bottom - g.top;
    RECT client = {};
    GetClientRect(parent_of(*first), &client);
    range_start = 0;
    range_end = vertical ? client.right - client.left : client.bottom - client.top;
    minimum = lead + LEAD_MARGIN;
    maximum = trail - thickness - TRAIL_MARGIN;
    if (maximum < minimum) return false;
    update_ratio();
    valid = true;
    return true;
}

void C_splitter::update_ratio()
{
    if (position <= minimum)
        ratio = 0;
    else if (position >= maximum)
        ratio = SPLITTER_RATIO_SCALE;
    else
        ratio = MulDiv(SPLITTER_RATIO_SCALE, position, range_end - range_start);
}

void C_splitter::apply(int new_position)
{
    if (!valid || new_position < minimum || new_position > maximum) return;
    for (const C_window_base* control : first_group) {
        if (!control->hwnd) continue;
        RECT r = get_rect_in_parent(*control);
        (vertical ? r.right : r.bottom) = new_position;
        place(*control, r);
    }
    const int far_side = new_position + thickness;
    for (const C_window_base* control : second_group) {
        if (!control->hwnd) continue;
        RECT r = get_rect_in_parent(*control);
        (vertical ? r.left : r.top) = far_side;
        place(*control, r);
    }
}

void C_splitter_set::reset()
{
    for (C_splitter* splitter : items) {
        splitter->valid = false;
        splitter->first_name.clear();
        splitter->second_name.clear();
        splitter->first_group.clear();
        splitter->second_group.clear();
        splitter->ratio = -1;
        splitter->vertical = false;
    }
    items.clear();
    active = nullptr;
}

void C_splitter_set::relayout()
{
    for (C_splitter* splitter : items) {
        const int remembered = splitter->ratio;
        if (!splitter->layout()) continue;
        if (remembered == -1) {
            splitter->apply(splitter->position);
            continue;
        }
        // The bar keeps its share of the dialog, not its pixel position.
        splitter->ratio = remembered;
        int target;
        if (remembered == 0)
            target = splitter->minimum;
        else if (remembered == SPLITTER_RATIO_SCALE)
            target = splitter->maximum;
        else
            target = std::clamp(MulDiv(splitter->range_end - splitter->range_start, remembered, SPLITTER_RATIO_SCALE),
                                splitter->minimum, splitter->maximum);
        splitter->position = target;
        splitter->apply(target);
    }
}

C_splitter* C_splitter_set::hit_test(HWND dialog) const
{
    if (items.empty()) return nullptr;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(dialog, &cursor);
    for (C_splitter* splitter : items) {
        const RECT g = splitter->gap();
        if (is_all_zero(g)) continue;
        if (g.left <= cursor.x && cursor.x < g.right && g.top <= cursor.y && cursor.y < g.bottom) return splitter;
    }
    return nullptr;
}

bool C_splitter_set::set_cursor(HWND dialog)
{
    if (items.empty()) return false;
    const C_splitter* splitter = active ? active : hit_test(dialog);
    if (!splitter) return false;
    HCURSOR cursor = LoadCursorW(nullptr, splitter->vertical ? IDC_SIZEWE : IDC_SIZENS);
    if (GetCursor() != cursor) SetCursor(cursor);
    return true;
}

bool C_splitter_set::begin_drag(HWND dialog)
{
    if (items.empty()) return false;
    active = hit_test(dialog);
    if (!active) return false;
    if (!active->layout()) {
        active = nullptr;
        return false;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    drag_origin = active->vertical ? cursor.x : cursor.y;
    start_position = active->position;
    SetCapture(dialog);
    return true;
}

bool C_splitter_set::drag()
{
    if (items.empty() || !active) return false;
    if (GetKeyState(VK_LBUTTON) >= 0) {
        // The button went up since the last move: the drag is over, wherever the cursor is.
        ReleaseCapture();
        active = nullptr;
        return false;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    const int now = active->vertical ? cursor.x : cursor.y;
    active->position = std::clamp(now + start_position - drag_origin, active->minimum, active->maximum);
    active->update_ratio();
    active->apply(active->position);
    return true;
}

}  // namespace NT3
