#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "nt3/pump.h"
#include "res/resource.h"
#include "support/window_test_env.h"
#include "update/app_state.h"
#include "update/update_process_dialog.h"

namespace {

// Reads a resource's bytes in the order they are stored.
class C_resource_reader {
public:
    C_resource_reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::uint16_t word()
    {
        std::uint16_t value = 0;
        if (at_ + 2 <= size_) std::memcpy(&value, data_ + at_, 2);
        at_ += 2;
        return value;
    }
    std::uint32_t dword()
    {
        std::uint32_t value = 0;
        if (at_ + 4 <= size_) std::memcpy(&value, data_ + at_, 4);
        at_ += 4;
        return value;
    }
    std::wstring text()
    {
        std::wstring value;
        for (std::uint16_t unit = word(); unit != 0 && at_ <= size_; unit = word()) value += static_cast<wchar_t>(unit);
        return value;
    }
    // A class or menu field: an ordinal after 0xFFFF, or a string.
    std::wstring name_or_ordinal()
    {
        std::uint16_t first = word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(word());
        at_ -= 2;
        return text();
    }
    void align()
    {
        at_ = (at_ + 3) & ~static_cast<std::size_t>(3);
    }
    bool in_bounds() const { return at_ <= size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

struct C_item_template {
    std::uint32_t help_id, ex_style, style;
    std::int16_t x, y, cx, cy;
    std::uint32_t id;
    std::wstring window_class, title;
    std::uint16_t extra;
};

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

TEST_F(ProgressDialog, TemplateIsTheExtendedJapaneseDialog)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_DIALOG), MAKEINTRESOURCEW(IDD_UPDATE_PROCESS),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    C_resource_reader in(bytes, SizeofResource(module, found));

    EXPECT_EQ(in.word(), 1u);       // version
    EXPECT_EQ(in.word(), 0xFFFFu);  // extended format
    EXPECT_EQ(in.dword(), 0u);      // help id
    EXPECT_EQ(in.dword(), 0u);      // extended style
    EXPECT_EQ(in.dword(), 0x80C808C8u);
    ASSERT_EQ(in.word(), 3u);
    EXPECT_EQ(in.word(), 0u);
    EXPECT_EQ(in.word(), 0u);
    EXPECT_EQ(in.word(), 316u);
    EXPECT_EQ(in.word(), 75u);
    EXPECT_EQ(in.name_or_ordinal(), L"");  // no menu
    EXPECT_EQ(in.name_or_ordinal(), L"");  // the standard dialog class
    EXPECT_EQ(in.text(), L"Dialog");
    EXPECT_EQ(in.word(), 8u);    // points
    EXPECT_EQ(in.word(), 400u);  // weight
    EXPECT_EQ(in.word(), 0x0100u);  // not italic, character set 1
    EXPECT_EQ(in.text(), L"MS Shell Dlg");

    C_item_template items[3];
    for (auto& item : items) {
        in.align();
        item.help_id = in.dword();
        item.ex_style = in.dword();
        item.style = in.dword();
        item.x = static_cast<std::int16_t>(in.word());
        item.y = static_cast<std::int16_t>(in.word());
        item.cx = static_cast<std::int16_t>(in.word());
        item.cy = static_cast<std::int16_t>(in.word());
        item.id = in.dword();
        item.window_class = in.name_or_ordinal();
        item.title = in.name_or_ordinal();
        item.extra = in.word();
    }
    ASSERT_TRUE(in.in_bounds());

    const std::uint32_t ids[] = {IDC_PROCESS_TEXT, IDC_PROGRESS_TOTAL, IDC_PROGRESS_FILE};
    const std::uint32_t styles[] = {0x50020200u, 0x50800000u, 0x50800000u};
    const std::int16_t ys[] = {6, 30, 54};
    const std::int16_t heights[] = {18, 14, 14};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].id, ids[i]);
        EXPECT_EQ(items[i].help_id, 0u);
        EXPECT_EQ(items[i].ex_style, 0u);
        EXPECT_EQ(items[i].style, styles[i]);
        EXPECT_EQ(items[i].x, 6);
        EXPECT_EQ(items[i].y, ys[i]);
        EXPECT_EQ(items[i].cx, 300);
        EXPECT_EQ(items[i].cy, heights[i]);
        EXPECT_EQ(items[i].extra, 0u);
    }
    EXPECT_EQ(items[0].window_class, L"#130");  // the predefined static class
    EXPECT_EQ(items[0].title, L"スタティック");
    // Class names are matched without regard to case.
    EXPECT_EQ(CompareStringOrdinal(items[1].window_class.c_str(), -1, L"msctls_progress32", -1, TRUE), CSTR_EQUAL);
    EXPECT_EQ(CompareStringOrdinal(items[2].window_class.c_str(), -1, L"msctls_progress32", -1, TRUE), CSTR_EQUAL);
    EXPECT_EQ(items[1].title, L"");
    EXPECT_EQ(items[2].title, L"");
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
    EXPECT_EQ(progress_dialog.static_text.get_text(), L"スタティック");
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
