#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "nt3/dialog.h"
#include "nt3/placement.h"
#include "nt3/pump.h"
#include "nt3/splitter.h"
#include "nt3/static.h"
#include "support/test_resource.h"
#include "support/window_test_env.h"

using namespace NT3;

// The drags below are real: the cursor is placed with SetCursorPos and the button
// goes down and up through SendInput, and the pump delivers the input. Under Wine
// without a window manager a press on a caption or a sizing border starts the
// platform's own move or size loop, which sends WM_MOVING or WM_SIZING for the
// one move and places the window when the button is released.

namespace {

::testing::AssertionResult same_rect(const RECT& actual, const RECT& expected)
{
    if (actual.left == expected.left && actual.top == expected.top && actual.right == expected.right &&
        actual.bottom == expected.bottom)
        return ::testing::AssertionSuccess();
    char text[160];
    std::snprintf(text, sizeof(text), "(%ld, %ld, %ld, %ld) instead of (%ld, %ld, %ld, %ld)", actual.left, actual.top,
                  actual.right, actual.bottom, expected.left, expected.top, expected.right, expected.bottom);
    return ::testing::AssertionFailure() << text;
}

RECT moved(RECT r, int left, int top, int right, int bottom)
{
    return RECT{r.left + left, r.top + top, r.right + right, r.bottom + bottom};
}

RECT window_rect(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

int width_of(const RECT& r)
{
    return r.right - r.left;
}

int height_of(const RECT& r)
{
    return r.bottom - r.top;
}

LRESULT hit_test(HWND window, POINT point)
{
    return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
}

// Presses the button at one point, moves through the others in turn and releases
// it at the last. A press on a caption or a sizing border starts the platform's
// move or size loop, which takes the mouse capture just after WM_ENTERSIZEMOVE; a
// message posted then reaches the loop once it runs, and only then is the first
// move made, as by a hand, so that it goes to the captured window wherever the
// cursor is. Each later move waits for the WM_MOVING or WM_SIZING of the one before.
void drag_with_mouse(POINT from, const std::vector<POINT>& path)
{
    const UINT hand_message = WM_APP + 0x3F0;
    SetCursorPos(from.x, from.y);
    pump_messages();
    C_sent_message_hook loop_step([](const CWPSTRUCT& sent) {
        if (sent.message == WM_ENTERSIZEMOVE || sent.message == WM_MOVING || sent.message == WM_SIZING)
            PostMessageW(sent.hwnd, hand_message, 0, 0);
    });
    std::size_t next = 0;
    C_retrieved_message_hook hand([&](const MSG& taken) {
        if (taken.message != hand_message || next == path.size()) return;
        const POINT to = path[next++];
        SetCursorPos(to.x, to.y);
        if (next == path.size()) release_left_button();
    });
    press_left_button();
    pump_messages();
}

void drag_with_mouse(POINT from, POINT to)
{
    drag_with_mouse(from, std::vector<POINT>{to});
}

// A point on the caption, this far from the window's left edge.
POINT caption_point(HWND window, int from_left)
{
    RECT r = window_rect(window);
    POINT client_origin = {0, 0};
    ClientToScreen(window, &client_origin);
    return POINT{r.left + from_left, (r.top + client_origin.y) / 2 + 1};
}

void place(HWND window, int x, int y)
{
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void resize(HWND window, int width, int height)
{
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool in_snap_list(HWND window)
{
    return std::find(snap_list.begin(), snap_list.end(), window) != snap_list.end();
}

class C_anchor_dialog : public C_dialog {
public:
    LRESULT window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override
    {
        if (msg == WM_INITDIALOG) {
            bind_item(three, IDC_TEST_ANCHOR3, L"three", 3);
            bind_item(five, IDC_TEST_ANCHOR5, L"five", 5);
            bind_item(seven, IDC_TEST_ANCHOR7, L"seven", 7);
            bind_item(none, IDC_TEST_ANCHOR0, L"none", 0);
        }
        return C_dialog::window_proc(msg, wparam, lparam);
    }
    Cc_static three, five, seven, none;
};

class C_split_dialog : public C_dialog {
public:
    LRESULT window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override
    {
        if (msg == WM_INITDIALOG) {
            bind_item(left_top, IDC_TEST_LEFT_TOP, L"", 4);
            bind_item(left_bottom, IDC_TEST_LEFT_BOTTOM, L"", 1);
            bind_item(right, IDC_TEST_RIGHT, L"", 5);
        }
        return C_dialog::window_proc(msg, wparam, lparam);
    }
    Cc_static left_top, left_bottom, right;
};

class Placement : public ::testing::Test {
protected:
    void SetUp() override
    {
        prepare_windows();
        discard_queued_messages();
        drag_state = C_drag_state();
    }
    void TearDown() override
    {
        if (GetAsyncKeyState(VK_LBUTTON) < 0) release_left_button();
        pump_messages();
        if (GetCapture()) ReleaseCapture();
        discard_queued_messages();
    }
};

}  // namespace

TEST_F(Placement, AnchorsFollowTheDialogAndComeBackExactly)
{
    C_anchor_dialog dialog;
    ASSERT_TRUE(dialog.create(L"anchors", IDD_TEST_SIZABLE));
    const RECT three = rect_in_parent_now(dialog.three.hwnd);
    const RECT five = rect_in_parent_now(dialog.five.hwnd);
    const RECT seven = rect_in_parent_now(dialog.seven.hwnd);
    const RECT none = rect_in_parent_now(dialog.none.hwnd);
    EXPECT_TRUE(same_rect(dialog.three.rect_in_parent, three));
    const RECT start = window_rect(dialog.hwnd);

    resize(dialog.hwnd, width_of(start) + 40, height_of(start) + 20);
    RECT client;
    GetClientRect(dialog.hwnd, &client);
    ASSERT_EQ(client.right, dialog.initial_client_rect.right + 40);
    ASSERT_EQ(client.bottom, dialog.initial_client_rect.bottom + 20);
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.three.hwnd), moved(three, 40, 20, 40, 20)));
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.five.hwnd), moved(five, 0, 0, 40, 20)));
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.seven.hwnd), seven));
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.none.hwnd), none));

    // Anchored controls go back to their binding place; one without an anchor is left where it was put.
    const RECT put = moved(none, 5, 5, 5, 5);
    SetWindowPos(dialog.none.hwnd, nullptr, put.left, put.top, width_of(put), height_of(put), SWP_NOZORDER);
    SetWindowPos(dialog.seven.hwnd, nullptr, seven.left + 3, seven.top + 3, 10, 10, SWP_NOZORDER);
    resize(dialog.hwnd, width_of(start) + 13, height_of(start) + 7);
    resize(dialog.hwnd, width_of(start), height_of(start));
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.three.hwnd), three));
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.five.hwnd), five));
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.seven.hwnd), seven));
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.none.hwnd), put));

    DestroyWindow(dialog.hwnd);
}

TEST_F(Placement, MinimumSizeKeepsTheEdgeThatIsNotDragged)
{
    C_placement limited;
    limited.limit_min_size = true;
    C_anchor_dialog dialog;
    ASSERT_TRUE(dialog.create(L"limited", IDD_TEST_SIZABLE, nullptr, limited));
    place(dialog.hwnd, 300, 200);
    const RECT start = window_rect(dialog.hwnd);
    const int min_width = width_of(dialog.initial_window_rect);
    ShowWindow(dialog.hwnd, SW_SHOW);

    // Grown to the left first, then the left border dragged far past the minimum.
    SetWindowPos(dialog.hwnd, nullptr, start.left - 60, start.top, width_of(start) + 60, height_of(start), SWP_NOZORDER);
    const RECT grown = window_rect(dialog.hwnd);
    const POINT border = {grown.left + 1, (grown.top + grown.bottom) / 2};
    ASSERT_EQ(hit_test(dialog.hwnd, border), HTLEFT);
    drag_with_mouse(border, POINT{border.x + 150, border.y});
    EXPECT_TRUE(same_rect(window_rect(dialog.hwnd), RECT{grown.right - min_width, grown.top, grown.right, grown.bottom}));

    DestroyWindow(dialog.hwnd);
}

TEST_F(Placement, MovedWindowSnapsToAPartnerWithinSixteenPixels)
{
    C_placement snapping;
    snapping.snap_to_edges = true;
    C_dialog partner, mover;
    ASSERT_TRUE(partner.create(L"partner", IDD_TEST_PLAIN, nullptr, snapping));
    ASSERT_TRUE(mover.create(L"mover", IDD_TEST_PLAIN, nullptr, snapping));
    EXPECT_TRUE(in_snap_list(partner.hwnd));
    EXPECT_TRUE(in_snap_list(mover.hwnd));
    place(partner.hwnd, 200, 300);
    place(mover.hwnd, 700, 340);
    ShowWindow(partner.hwnd, SW_SHOWNOACTIVATE);
    ShowWindow(mover.hwnd, SW_SHOW);
    const RECT p = window_rect(partner.hwnd);
    const RECT m = window_rect(mover.hwnd);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(MONITORINFO);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(mover.hwnd, MONITOR_DEFAULTTONEAREST), &monitor));
    EXPECT_TRUE(same_rect(get_work_area(POINT{m.left + 1, m.top + 1}), monitor.rcWork));

    POINT grab = caption_point(mover.hwnd, 40);
    ASSERT_EQ(hit_test(mover.hwnd, grab), HTCAPTION);
    drag_with_mouse(grab, POINT{p.right + 16 + 40, grab.y});
    EXPECT_TRUE(same_rect(window_rect(mover.hwnd), RECT{p.right, m.top, p.right + width_of(m), m.bottom}));
    EXPECT_EQ(snap_result.horizontal.partner, partner.hwnd);
    EXPECT_EQ(snap_result.horizontal.kind, 1);
    EXPECT_FALSE(snap_result.horizontal.work_area);
    EXPECT_EQ(snap_result.vertical.partner, nullptr);

    // A new drag with another grab point: one pixel more and nothing snaps.
    grab = caption_point(mover.hwnd, 90);
    drag_with_mouse(grab, POINT{p.right + 17 + 90, grab.y});
    EXPECT_TRUE(same_rect(window_rect(mover.hwnd), RECT{p.right + 17, m.top, p.right + 17 + width_of(m), m.bottom}));
    EXPECT_EQ(snap_result.horizontal.partner, nullptr);

    // One drag in two moves, snapped on the way: once the cursor moves on, the window
    // follows it from the point grabbed at the start of the drag.
    grab = caption_point(mover.hwnd, 70);
    drag_with_mouse(grab, {POINT{p.right + 10 + 70, grab.y}, POINT{p.right + 60 + 70, grab.y}});
    EXPECT_EQ(window_rect(mover.hwnd).left, p.right + 60);

    // A hidden partner takes no part.
    ShowWindow(partner.hwnd, SW_HIDE);
    grab = caption_point(mover.hwnd, 60);
    drag_with_mouse(grab, POINT{p.right + 5 + 60, grab.y});
    EXPECT_EQ(window_rect(mover.hwnd).left, p.right + 5);

    HWND gone = partner.hwnd;
    DestroyWindow(partner.hwnd);
    DestroyWindow(mover.hwnd);
    EXPECT_FALSE(in_snap_list(gone));
    EXPECT_TRUE(snap_list.empty());
}

TEST_F(Placement, SizingDragAfterAMoveDragMovesOnlyTheDraggedEdge)
{
    C_placement snapping;
    snapping.snap_to_edges = true;
    C_dialog partner, sized;
    ASSERT_TRUE(partner.create(L"partner", IDD_TEST_PLAIN, nullptr, snapping));
    ASSERT_TRUE(sized.create(L"sized", IDD_TEST_SIZABLE, nullptr, snapping));
    place(sized.hwnd, 100, 200);
    ShowWindow(sized.hwnd, SW_SHOW);
    const POINT grab = caption_point(sized.hwnd, 40);
    drag_with_mouse(grab, POINT{grab.x, grab.y + 30});
    const RECT s = window_rect(sized.hwnd);
    ASSERT_EQ(s.top, 230);

    // The right border, snapped to the partner on the way, then pulled back to 40
    // pixels short of it: the drag holds that edge from where it was grabbed.
    place(partner.hwnd, s.right + 60, s.top);
    ShowWindow(partner.hwnd, SW_SHOWNOACTIVATE);
    const POINT border = {s.right - 2, (s.top + s.bottom) / 2};
    ASSERT_EQ(hit_test(sized.hwnd, border), HTRIGHT);
    drag_with_mouse(border, {POINT{border.x + 50, border.y}, POINT{border.x + 20, border.y}});
    EXPECT_TRUE(same_rect(window_rect(sized.hwnd), RECT{s.left, s.top, s.right + 20, s.bottom}));

    DestroyWindow(partner.hwnd);
    DestroyWindow(sized.hwnd);
}

TEST_F(Placement, SplitterDragStopsAtItsMaximumAndKeepsItsShare)
{
    C_split_dialog dialog;
    C_splitter bar;
    ASSERT_TRUE(dialog.create(L"split", IDD_TEST_SPLIT));
    dialog.add_splitter(bar, true, {&dialog.left_top, &dialog.left_bottom}, {&dialog.right});
    place(dialog.hwnd, 100, 100);
    ShowWindow(dialog.hwnd, SW_SHOW);
    pump_messages();
    const RECT left0 = rect_in_parent_now(dialog.left_top.hwnd);
    const RECT right0 = rect_in_parent_now(dialog.right.hwnd);
    const int thickness = right0.left - left0.right;
    ASSERT_GT(thickness, 0);

    auto to_screen = [&](int x, int y) {
        POINT point = {x, y};
        ClientToScreen(dialog.hwnd, &point);
        return point;
    };
    const int middle_y = (right0.top + right0.bottom) / 2;

    // Over the gap the cursor offers to resize; over a control it does not.
    const POINT over_gap = to_screen(left0.right + thickness / 2, middle_y);
    const HCURSOR size_we = LoadCursorW(nullptr, IDC_SIZEWE);
    const POINT over_control = to_screen(right0.left + 20, middle_y);
    SetCursorPos(over_control.x, over_control.y);
    pump_messages();
    EXPECT_NE(GetCursor(), size_we);
    SetCursorPos(over_gap.x, over_gap.y);
    pump_messages();
    EXPECT_EQ(GetCursor(), size_we);

    // Dragged far to the right, the bar stops where the right group keeps 17 pixels.
    press_left_button();
    pump_messages();
    EXPECT_EQ(GetCapture(), dialog.hwnd);
    EXPECT_EQ(dialog.splitters.active, &bar);
    SetCursorPos(over_gap.x + 600, over_gap.y);
    pump_messages();
    RECT right = rect_in_parent_now(dialog.right.hwnd);
    EXPECT_EQ(right.right, right0.right);
    EXPECT_EQ(width_of(right), 17);
    EXPECT_EQ(rect_in_parent_now(dialog.left_top.hwnd).right, right.left - thickness);
    EXPECT_EQ(rect_in_parent_now(dialog.left_bottom.hwnd).right, right.left - thickness);
    EXPECT_EQ(rect_in_parent_now(dialog.left_top.hwnd).left, left0.left);
    EXPECT_EQ(bar.ratio, SPLITTER_RATIO_SCALE);

    // The release alone does not end the drag; the next move does, and moves nothing.
    release_left_button();
    pump_messages();
    EXPECT_EQ(GetCapture(), dialog.hwnd);
    SetCursorPos(over_gap.x - 40, over_gap.y);
    pump_messages();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(dialog.splitters.active, nullptr);
    EXPECT_TRUE(same_rect(rect_in_parent_now(dialog.right.hwnd), right));

    // A second drag puts the bar at about 40 % of the client width.
    RECT client;
    GetClientRect(dialog.hwnd, &client);
    const POINT gap_now = to_screen(right.left - thickness / 2 - 1, middle_y);
    const int target = client.right * 2 / 5;
    SetCursorPos(gap_now.x, gap_now.y);
    pump_messages();
    press_left_button();
    pump_messages();
    SetCursorPos(gap_now.x - (right.left - thickness - target), gap_now.y);
    pump_messages();
    release_left_button();
    pump_messages();
    SetCursorPos(gap_now.x, gap_now.y + 1);
    pump_messages();
    const int position = rect_in_parent_now(dialog.left_top.hwnd).right;
    EXPECT_EQ(position, target);

    // A wider dialog: the bar keeps its share of the width, not its pixel place.
    const RECT w = window_rect(dialog.hwnd);
    resize(dialog.hwnd, width_of(w) + 100, height_of(w));
    const int expected = MulDiv(client.right + 100, MulDiv(100000, position, client.right), 100000);
    const int now = rect_in_parent_now(dialog.left_top.hwnd).right;
    EXPECT_EQ(now, expected);
    EXPECT_GT(now, position + 30);
    right = rect_in_parent_now(dialog.right.hwnd);
    EXPECT_EQ(right.left, now + thickness);
    EXPECT_EQ(right.right, right0.right + 100);


    // Controls that leave the bar no room: the layout after a resize leaves them
    // alone, and a press on the gap starts no drag.
    SetWindowPos(dialog.left_top.hwnd, nullptr, left0.left, left0.top, 10, height_of(left0), SWP_NOZORDER);
    SetWindowPos(dialog.left_bottom.hwnd, nullptr, left0.left, left0.bottom + 5, 10, height_of(left0), SWP_NOZORDER);
    SetWindowPos(dialog.right.hwnd, nullptr, left0.left + 15, right0.top, 10, height_of(right0), SWP_NOZORDER);
    dialog.splitters.relayout();
    EXPECT_EQ(rect_in_parent_now(dialog.right.hwnd).left, left0.left + 15);
    const POINT narrow_gap = to_screen(left0.left + 12, middle_y);
    SetCursorPos(narrow_gap.x, narrow_gap.y);
    EXPECT_FALSE(dialog.splitters.begin_drag(dialog.hwnd));
    EXPECT_EQ(GetCapture(), nullptr);

    DestroyWindow(dialog.hwnd);
    dialog.splitters.reset();
    EXPECT_TRUE(dialog.splitters.items.empty());
    EXPECT_EQ(bar.ratio, SPLITTER_RATIO_UNKNOWN);
    EXPECT_TRUE(bar.first_group.empty() && bar.second_group.empty());
}
