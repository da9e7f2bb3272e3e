#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "nt3/splitter_geometry.h"
#include "nt3/window_base.h"

namespace NT3 {

// A bar between two groups of one dialog's controls that the user drags with the
// mouse. The gap between the groups is the bar; the groups are resized on both sides.
// Its numbers (place, limits, ratio, direction) are those of C_bar_geometry.
class C_splitter : public C_bar_geometry {
public:
    // The gap between the groups' bounds; all zero when a group is empty.
    RECT gap() const;
    // Measures the groups and the dialog; false when the bar has no room to move.
    bool layout();
    // Takes the ratio from the position.
    void update_ratio();
    // Moves the groups' facing edges to a position within the limits.
    void apply(int new_position);

    // Free for the caller, e.g. names for the two groups; a reset clears them.
    std::wstring first_name;
    std::wstring second_name;
    std::vector<C_window_base*> first_group;   // left of or above the bar; not owned
    std::vector<C_window_base*> second_group;  // right of or below the bar; not owned
};

// A dialog's splitters and the one being dragged. The set does not own them.
class C_splitter_set {
public:
    void reset();
    // After every WM_SIZE of the dialog: each bar keeps its share of the dialog.
    void relayout();
    // The bar under the cursor, or null.
    C_splitter* hit_test(HWND dialog) const;
    // WM_SETCURSOR: true when a resize cursor is shown.
    bool set_cursor(HWND dialog);
    // WM_LBUTTONDOWN: true when a drag starts (the dialog then holds the mouse capture).
    bool begin_drag(HWND dialog);
    // WM_MOUSEMOVE: true when a bar moved; the first move after the button is up ends the drag.
    bool drag();

    std::vector<C_splitter*> items;
    C_splitter* active = nullptr;
    int drag_origin = 0;     // the cursor's screen x (vertical bar) or y at the start of the drag
    int start_position = 0;  // the bar's position at that moment
};

}  // namespace NT3
