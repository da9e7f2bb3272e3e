#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "nt3/control.h"
#include "nt3/placement_geometry.h"
#include "nt3/splitter.h"
#include "nt3/window_base.h"

namespace NT3 {

// How a new window takes part in the placement aids. All off by default.
struct C_placement {
    bool limit_min_size = false;  // not smaller than at creation
    bool snap_to_edges = false;   // snap to other windows and the work area while moved or sized
    int anchor = ANCHOR_NONE;     // how it follows its parent's resizing
};

// A modeless dialog made from a dialog template resource, bound to this object
// through the dialog procedure. Its controls are bound to its items by identifier.
class C_dialog : public C_window_base {
public:
    C_dialog();
    ~C_dialog();

    // Makes the dialog window unless the object already has one; true when a
    // window exists afterwards. The window stays hidden unless its template says otherwise.
    bool create(const std::wstring& name, int template_id, HWND parent = nullptr,
                const C_placement& placement = C_placement());

    // Binds the control to the item with that identifier and lists it among the
    // children, even when the item is missing (the control then stays unbound).
    void bind_item(C_control& control, int item_id, const std::wstring& name, int anchor = ANCHOR_NONE);

    // Puts a bar between two groups of this dialog's controls. The dialog does not
    // own the splitter; it must live as long as the dialog object uses it.
    void add_splitter(C_splitter& splitter, bool vertical, const std::vector<C_window_base*>& first_group,
                      const std::vector<C_window_base*>& second_group);

    void pre_window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override;
    LRESULT window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override;

    bool forward_size = false;
    HWND forward_size_target = nullptr;
    C_splitter_set splitters;

private:
    void on_size(WPARAM wparam, LPARAM lparam);
};

}  // namespace NT3
