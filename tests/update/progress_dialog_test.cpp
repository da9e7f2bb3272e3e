#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "nt3/app_state.h"
#include "nt3/pump.h"
#include "res/resource.h"
#include "support/expected_texts.h"
#include "support/window_test_env.h"
#include "update/update_process_dialog.h"

namespace {

class ProgressDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        prepare_windows();
        discard_queued_messages();
    }
    void TearDown() override
    {
        if (progress_dialog.hwnd) DestroyWindow(progress_dialog.hwnd);
        discard_queued_messages();
    }
};

std::wstring class_of(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

TEST_F(ProgressDialog, TemplateIsTheJapaneseExtendedDialogWithItsThreeItems)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_DIALOG), MAKEINTRESOURCEW(IDD_UPDATE_PROCESS),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_NE(found, nullptr);
    struct C_header {
        WORD version, signature;
        DWORD help_id, ex_style, style;
        WORD items;
        short x, y, cx, cy;
    };
    const auto* header = static_cast<const C_header*>(LockResource(LoadResource(module, found)));
    EXPECT_EQ(header->version, 1);
    EXPECT_EQ(header->signature, 0xFFFF);
    EXPECT_EQ(header->ex_style, 0u);
    EXPECT_EQ(header->style, 0x80C808C8u);
    EXPECT_EQ(header->items, 3);
    EXPECT_EQ(header->x, 0);
    EXPECT_EQ(header->y, 0);
    EXPECT_EQ(header->cx, 316);
    EXPECT_EQ(header->cy, 75);

    ASSERT_TRUE(progress_dialog.create(L"update"));
    RECT client = {0, 0, 316, 75};
    MapDialogRect(progress_dialog.hwnd, &client);
    RECT now;
    GetClientRect(progress_dialog.hwnd, &now);
    EXPECT_EQ(now.right, client.right);
    EXPECT_EQ(now.bottom, client.bottom);
    // The progress bars trade their border for an edge style when created, so only
    // the text keeps its template style unchanged.
    EXPECT_EQ(GetWindowLongW(GetDlgItem(progress_dialog.hwnd, IDC_PROCESS_TEXT), GWL_STYLE), 0x50020200);
    const struct {
        int id;
        RECT units;
    } items[] = {
        {IDC_PROCESS_TEXT, {6, 6, 306, 24}},
        {IDC_PROGRESS_TOTAL, {6, 30, 306, 44}},
        {IDC_PROGRESS_FILE, {6, 54, 306, 68}},
    };
    HWND expected_order = GetWindow(progress_dialog.hwnd, GW_CHILD);
    for (const auto& item : items) {
        SCOPED_TRACE(item.id);
        HWND control = GetDlgItem(progress_dialog.hwnd, item.id);
        EXPECT_EQ(control, expected_order);
        expected_order = GetWindow(control, GW_HWNDNEXT);
        RECT place = item.units;
        MapDialogRect(progress_dialog.hwnd, &place);
        const RECT at = rect_in_parent_now(control);
        EXPECT_EQ(at.left, place.left);
        EXPECT_EQ(at.top, place.top);
        EXPECT_EQ(at.right, place.right);
        EXPECT_EQ(at.bottom, place.bottom);
    }
}

TEST_F(ProgressDialog, CreateBindsTheThreeItemsAndStaysHidden)
{
    EXPECT_EQ(progress_dialog.static_text.class_name, L"Static");
    EXPECT_EQ(progress_dialog.progress_total.class_name, L"");

    ASSERT_TRUE(progress_dialog.create(L"update"));
    HWND window = progress_dialog.hwnd;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(progress_dialog.name, L"update");
    EXPECT_FALSE(progress_dialog.limit_min_size);
    EXPECT_FALSE(progress_dialog.snap_to_edges);
    EXPECT_EQ(progress_dialog.anchor, 0);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(progress_dialog.get_text(), L"Dialog");

    ASSERT_EQ(progress_dialog.children.size(), 3u);
    EXPECT_EQ(progress_dialog.children[0], &progress_dialog.static_text);
    EXPECT_EQ(progress_dialog.children[1], &progress_dialog.progress_total);
    EXPECT_EQ(progress_dialog.children[2], &progress_dialog.progress_file);
    EXPECT_EQ(progress_dialog.static_text.hwnd, GetDlgItem(window, IDC_PROCESS_TEXT));
    EXPECT_EQ(progress_dialog.progress_total.hwnd, GetDlgItem(window, IDC_PROGRESS_TOTAL));
    EXPECT_EQ(progress_dialog.progress_file.hwnd, GetDlgItem(window, IDC_PROGRESS_FILE));
    for (NT3::C_window_base* child : progress_dialog.children) {
        EXPECT_EQ(child->anchor, 0);
        EXPECT_EQ(child->name, L"");
        EXPECT_NE(child->old_proc, nullptr);
    }
    EXPECT_EQ(progress_dialog.static_text.get_text(), expected::dialog_placeholder);
    EXPECT_EQ(CompareStringOrdinal(class_of(progress_dialog.progress_file.hwnd).c_str(), -1, L"msctls_progress32", -1,
                                   TRUE),
              CSTR_EQUAL);

    // A second create keeps the window it has.
    EXPECT_TRUE(progress_dialog.create(L"update"));
    EXPECT_EQ(progress_dialog.hwnd, window);
    EXPECT_EQ(progress_dialog.children.size(), 3u);
}

TEST_F(ProgressDialog, BarsShowWhatTheyAreSet)
{
    ASSERT_TRUE(progress_dialog.create(L"update"));
    progress_dialog.progress_total.set_range(0, 1000);
    progress_dialog.progress_file.set_range(0, 1000);
    progress_dialog.progress_total.set_pos(250);
    progress_dialog.progress_file.set_pos(999);

    HWND total = progress_dialog.progress_total.hwnd;
    HWND file = progress_dialog.progress_file.hwnd;
    EXPECT_EQ(SendMessageW(total, PBM_GETPOS, 0, 0), 250);
    EXPECT_EQ(SendMessageW(file, PBM_GETPOS, 0, 0), 999);
    EXPECT_EQ(SendMessageW(total, PBM_GETRANGE, FALSE, 0), 1000);
    EXPECT_EQ(SendMessageW(total, PBM_GETRANGE, TRUE, 0), 0);
    progress_dialog.progress_total.set_pos(1000);
    EXPECT_EQ(SendMessageW(total, PBM_GETPOS, 0, 0), 1000);
}

TEST_F(ProgressDialog, UnchangedTextLineIsNotSetAgain)
{
    ASSERT_TRUE(progress_dialog.create(L"update"));
    C_settext_counter line(progress_dialog.static_text.hwnd);
    C_settext_counter caption(progress_dialog.hwnd);

    progress_dialog.set_text(L"夏の追加パック アップデート");
    progress_dialog.set_text(L"夏の追加パック アップデート");
    progress_dialog.static_text.set_text(L"data\\map01.dat");
    progress_dialog.static_text.set_text(L"data\\map01.dat");
    EXPECT_EQ(caption.count(), 1);
    EXPECT_EQ(line.count(), 1);
    EXPECT_EQ(progress_dialog.static_text.get_text(), L"data\\map01.dat");
}

TEST_F(ProgressDialog, ClosingDuringTheWorkLeavesEveryCallHarmless)
{
    ASSERT_TRUE(progress_dialog.create(L"update"));
    HWND window = progress_dialog.hwnd;
    ShowWindow(window, SW_SHOW);
    EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE, 0);

    // Escape reaches the dialog as its cancel command, which nothing takes.
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(NT3::pump_messages());
    EXPECT_TRUE(IsWindow(window));

    // The close box arrives as a system command between two chunks of work.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(NT3::pump_messages());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(progress_dialog.hwnd, nullptr);
    EXPECT_TRUE(progress_dialog.children.empty());
    EXPECT_EQ(progress_dialog.static_text.hwnd, nullptr);
    EXPECT_EQ(progress_dialog.progress_total.hwnd, nullptr);
    EXPECT_EQ(progress_dialog.progress_file.hwnd, nullptr);
    EXPECT_TRUE(std::find(app_state.windows.begin(), app_state.windows.end(), window) == app_state.windows.end());

    progress_dialog.static_text.set_text(L"next");
    progress_dialog.progress_total.set_pos(500);
    progress_dialog.set_text(L"caption");
    EXPECT_EQ(progress_dialog.static_text.get_text(), L"");
    EXPECT_TRUE(NT3::pump_messages());

    // The objects survive and take a new window.
    ASSERT_TRUE(progress_dialog.create(L"update"));
    EXPECT_NE(progress_dialog.hwnd, nullptr);
    EXPECT_EQ(progress_dialog.children.size(), 3u);
    EXPECT_NE(progress_dialog.progress_file.hwnd, nullptr);
}
