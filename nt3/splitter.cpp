#include "nt3/splitter.h"

#include "nt3/placement.h"

namespace NT3 {

namespace {

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

void place(const C_window_base& control, const C_rect& r)
{
    SetWindowPos(control.hwnd, nullptr, r.left, r.top, width_of(r), height_of(r), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

RECT C_splitter::gap() const
{
    return to_win_rect(splitter_gap(vertical, bound_rects(first_group), bound_rects(second_group)));
}

bool C_splitter::layout()
{
    const C_window_base* first = first_bound(first_group);
    RECT client = {};
    if (first) GetClientRect(parent_of(*first), &client);
    const int client_extent = vertical ? client.right - client.left : client.bottom - client.top;
    return lay_out_bar(*this, bound_rects(first_group), bound_rects(second_group), client_extent);
}

void C_splitter::update_ratio()
{
    ratio = ratio_of(*this, position);
}

void C_splitter::apply(int new_position)
{
    if (!accepts_position(*this, new_position)) return;
    for (const C_window_base* control : first_group)
        if (control->hwnd) place(*control, before_bar(*this, to_rect(get_rect_in_parent(*control)), new_position));
    for (const C_window_base* control : second_group)
        if (control->hwnd) place(*control, after_bar(*this, to_rect(get_rect_in_parent(*control)), new_position));
}

void C_splitter_set::reset()
{
    for (C_splitter* splitter : items) {
        splitter->valid = false;
        splitter->first_name.clear();
        splitter->second_name.clear();
        splitter->first_group.clear();
        splitter->second_group.clear();
        splitter->ratio = SPLITTER_RATIO_UNKNOWN;
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
        // The bar keeps its share of the dialog, not its pixel position.
        if (remembered != SPLITTER_RATIO_UNKNOWN) {
            splitter->ratio = remembered;
            splitter->position = position_for_ratio(*splitter, remembered);
        }
        splitter->apply(splitter->position);
    }
}

C_splitter* C_splitter_set::hit_test(HWND dialog) const
{
    if (items.empty()) return nullptr;
    const C_point screen = cursor_now();
    POINT cursor = {screen.x, screen.y};
    ScreenToClient(dialog, &cursor);
    for (C_splitter* splitter : items)
        if (gap_contains(to_rect(splitter->gap()), C_point{cursor.x, cursor.y})) return splitter;
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
    drag_origin = bar_axis(*active, cursor_now());
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
    active->position = dragged_position(*active, cursor_now(), drag_origin, start_position);
    active->update_ratio();
    active->apply(active->position);
    return true;
}

}  // namespace NT3
