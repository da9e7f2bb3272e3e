#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "file/error_info.h"
#include "nt3/app_state.h"
#include "nt3/control.h"
#include "nt3/dialog.h"
#include "nt3/progress.h"
#include "nt3/pump.h"
#include "nt3/static.h"
#include "nt3/window_base.h"
#include "support/test_resource.h"
#include "support/window_test_env.h"

using namespace NT3;

namespace {

// The fourth version of the property-sheet page record: MinGW's headers stop at
// the third (ending in hActCtx); the fourth adds the header bitmap after it.
// 56 bytes in a 32-bit program, 104 in a 64-bit one.
const DWORD page_record_v4_size = CCSIZEOF_STRUCT(PROPSHEETPAGEW, hActCtx) + sizeof(HBITMAP);

std::size_t registrations(HWND window)
{
    return static_cast<std::size_t>(std::count(app_state.windows.begin(), app_state.windows.end(), window));
}

bool contains(const std::vector<UINT>& messages, UINT msg)
{
    return std::find(messages.begin(), messages.end(), msg) != messages.end();
}

LONG_PTR framework_proc()
{
    return reinterpret_cast<LONG_PTR>(&common_window_proc);
}

bool same_rect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A dialog that notes what reaches its object and binds its items at WM_INITDIALOG.
class C_test_dialog : public C_dialog {
public:
    void pre_window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override
    {
        seen.push_back(msg);
        C_dialog::pre_window_proc(msg, wparam, lparam);
    }

    LRESULT window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override
    {
        if (msg == WM_INITDIALOG) {
            bind_item(one, IDC_TEST_ONE, L"one");
            bind_item(text, IDC_TEST_TEXT, L"text");
        }
        if (msg == WM_COMMAND) {
            commands.push_back(LOWORD(wparam));
            if (LOWORD(wparam) == IDCANCEL && close_on_cancel) DestroyWindow(hwnd);
        }
        return C_dialog::window_proc(msg, wparam, lparam);
    }

    std::vector<UINT> seen;
    std::vector<int> commands;
    bool close_on_cancel = false;
    C_control one;
    Cc_static text;
};

// A plain window object that notes its messages; WM_APP makes it post WM_APP + 1 to itself.
class C_test_window_object : public C_window_base {
public:
    void pre_window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override
    {
        seen.push_back(msg);
        C_window_base::pre_window_proc(msg, wparam, lparam);
    }

    LRESULT window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override
    {
        if (msg == WM_APP) PostMessageW(hwnd, WM_APP + 1, 0, 0);
        return C_window_base::window_proc(msg, wparam, lparam);
    }

    std::vector<UINT> seen;
};

// What a window looked like when it got WM_NCDESTROY, the last message it sees.
struct C_final_state {
    bool seen = false;
    HANDLE property = nullptr;
    LONG_PTR window_proc = 0;
    LONG_PTR dialog_proc = 0;
};

class C_final_state_watch {
public:
    explicit C_final_state_watch(HWND window)
        : hook_([this, window](const CWPSTRUCT& sent) {
              if (sent.hwnd != window || sent.message != WM_NCDESTROY) return;
              state.seen = true;
              state.property = GetPropW(window, L"this");
              state.window_proc = GetWindowLongPtrW(window, GWLP_WNDPROC);
              state.dialog_proc = GetWindowLongPtrW(window, DWLP_DLGPROC);
          })
    {
    }
    C_final_state state;

private:
    C_sent_message_hook hook_;
};

class WindowFramework : public ::testing::Test {
protected:
    void SetUp() override
    {
        prepare_windows();
        discard_queued_messages();
        clear_recorded_messages();
    }
    void TearDown() override
    {
        discard_queued_messages();
        app_state.quit_seen = false;
        app_state.main_window = nullptr;
    }
};

}  // namespace

TEST_F(WindowFramework, DialogIsBoundAtInitDialogAndEarlierMessagesReachNoHandler)
{
    std::vector<std::pair<HWND, UINT>> sent;
    C_test_dialog dialog;
    {
        C_sent_message_hook hook([&sent](const CWPSTRUCT& m) { sent.push_back({m.hwnd, m.message}); });
        ASSERT_TRUE(dialog.create(L"plain", IDD_TEST_PLAIN));
    }
    ASSERT_NE(dialog.hwnd, nullptr);

    // The template asks for a font, so WM_SETFONT came first; it went to no handler.
    std::vector<UINT> to_dialog;
    for (const auto& m : sent)
        if (m.first == dialog.hwnd) to_dialog.push_back(m.second);
    auto setfont = std::find(to_dialog.begin(), to_dialog.end(), static_cast<UINT>(WM_SETFONT));
    auto init = std::find(to_dialog.begin(), to_dialog.end(), static_cast<UINT>(WM_INITDIALOG));
    ASSERT_NE(setfont, to_dialog.end());
    EXPECT_LT(setfont, init);
    ASSERT_FALSE(dialog.seen.empty());
    EXPECT_EQ(dialog.seen.front(), static_cast<UINT>(WM_INITDIALOG));
    EXPECT_FALSE(contains(dialog.seen, WM_SETFONT));

    EXPECT_EQ(GetPropW(dialog.hwnd, L"this"), &dialog);
    EXPECT_TRUE(dialog.is_dialog);
    EXPECT_EQ(dialog.old_proc, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(dialog.hwnd, DWLP_DLGPROC), framework_proc());
    EXPECT_EQ(dialog.name, L"plain");
    EXPECT_EQ(registrations(dialog.hwnd), 1u);
    RECT window_rect, client_rect;
    GetWindowRect(dialog.hwnd, &window_rect);
    GetClientRect(dialog.hwnd, &client_rect);
    EXPECT_TRUE(same_rect(dialog.initial_window_rect, window_rect));
    EXPECT_TRUE(same_rect(dialog.initial_client_rect, client_rect));
    EXPECT_FALSE(IsWindowVisible(dialog.hwnd));

    DestroyWindow(dialog.hwnd);
}

TEST_F(WindowFramework, WindowsWithoutAnObjectGetTheDefaultHandling)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND bare = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_TEST_PLAIN), nullptr, common_dialog_proc(), 0);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(GetPropW(bare, L"this"), nullptr);
    EXPECT_EQ(common_window_proc(bare, WM_GETTEXTLENGTH, 0, 0), 0);

    // A page record without an object binds nothing either.
    PROPSHEETPAGEW page = {};
    page.dwSize = page_record_v4_size;
    HWND page_dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_TEST_PLAIN), nullptr, common_dialog_proc(),
                                          reinterpret_cast<LPARAM>(&page));
    ASSERT_NE(page_dialog, nullptr);
    EXPECT_EQ(GetPropW(page_dialog, L"this"), nullptr);

    C_test_window plain(framework_window_class(), WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, L"abc");
    ASSERT_NE(plain.handle(), nullptr);
    EXPECT_EQ(GetPropW(plain, L"this"), nullptr);
    EXPECT_EQ(common_window_proc(plain, WM_GETTEXTLENGTH, 0, 0), 3);

    DestroyWindow(bare);
    DestroyWindow(page_dialog);
}

TEST_F(WindowFramework, PropertySheetPageRecordCarriesTheObject)
{
    C_test_dialog dialog;
    PROPSHEETPAGEW page = {};
    page.dwSize = page_record_v4_size;
    page.lParam = reinterpret_cast<LPARAM>(&dialog);
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEST_PLAIN), nullptr,
                                     common_dialog_proc(), reinterpret_cast<LPARAM>(&page));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialog.hwnd, window);
    EXPECT_EQ(GetPropW(window, L"this"), &dialog);
    ASSERT_FALSE(dialog.seen.empty());
    EXPECT_EQ(dialog.seen.front(), static_cast<UINT>(WM_INITDIALOG));
    EXPECT_NE(dialog.one.hwnd, nullptr);

    DestroyWindow(window);
    EXPECT_EQ(dialog.hwnd, nullptr);
}

TEST_F(WindowFramework, PlainWindowIsBoundAtCreationAndRegistered)
{
    std::vector<std::pair<HWND, UINT>> sent;
    C_test_window_object object;
    C_sent_message_hook hook([&sent](const CWPSTRUCT& m) { sent.push_back({m.hwnd, m.message}); });
    C_test_window window(framework_window_class(), WS_OVERLAPPEDWINDOW, 30, 40, 220, 120, nullptr, &object);
    ASSERT_NE(window.handle(), nullptr);

    // WM_GETMINMAXINFO precedes WM_NCCREATE and gets the platform default.
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front().second, static_cast<UINT>(WM_GETMINMAXINFO));
    ASSERT_FALSE(object.seen.empty());
    EXPECT_EQ(object.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_FALSE(contains(object.seen, WM_GETMINMAXINFO));

    EXPECT_EQ(object.hwnd, window.handle());
    EXPECT_FALSE(object.is_dialog);
    EXPECT_EQ(object.old_proc, nullptr);  // the class procedure is the framework's already
    EXPECT_EQ(registrations(window), 1u);
    EXPECT_EQ(object.initial_window_rect.left, 30);
    EXPECT_EQ(object.initial_window_rect.right, 250);

    DestroyWindow(window);
    EXPECT_EQ(object.hwnd, nullptr);
    EXPECT_EQ(registrations(window), 0u);
}

TEST_F(WindowFramework, BindingAWindowThatHasTheFrameworkProcedureReplacesNothing)
{
    C_test_window window(framework_window_class(), WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, L"abc");
    C_test_window_object object;
    C_final_state_watch watch(window);
    ASSERT_EQ(GetPropW(window, L"this"), nullptr);
    EXPECT_TRUE(object.bind_handle(window));
    EXPECT_EQ(object.hwnd, window.handle());
    EXPECT_EQ(object.old_proc, nullptr);
    EXPECT_EQ(GetPropW(window, L"this"), &object);
    EXPECT_EQ(registrations(window), 0u);  // bound after creation: never registered
    EXPECT_EQ(object.get_text(), L"abc");

    DestroyWindow(window);
    EXPECT_TRUE(watch.state.seen);
    EXPECT_EQ(watch.state.property, nullptr);
    EXPECT_EQ(watch.state.window_proc, framework_proc());
    EXPECT_EQ(object.hwnd, nullptr);
    EXPECT_TRUE(contains(object.seen, WM_DESTROY));
    EXPECT_FALSE(contains(object.seen, WM_NCDESTROY));
}

TEST_F(WindowFramework, SubclassedControlGetsItsProcedureBackAtDestruction)
{
    C_test_window_object parent_object;
    C_test_window parent(framework_window_class(), WS_OVERLAPPED, 100, 100, 300, 200, nullptr, &parent_object);
    C_test_window child(recording_window_class(), WS_CHILD | WS_VISIBLE, 10, 20, 30, 40, parent);
    const LONG_PTR own_proc = GetWindowLongPtrW(child, GWLP_WNDPROC);

    C_test_window_object object;
    EXPECT_TRUE(object.bind_handle(child));
    EXPECT_FALSE(object.is_dialog);
    EXPECT_EQ(GetWindowLongPtrW(child, GWLP_WNDPROC), framework_proc());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(object.old_proc), own_proc);
    EXPECT_EQ(object.rect_in_parent.left, 10);
    EXPECT_EQ(object.rect_in_parent.top, 20);
    EXPECT_EQ(object.rect_in_parent.right, 40);
    EXPECT_EQ(object.rect_in_parent.bottom, 60);

    // Messages pass the object and then reach the window's own procedure.
    SendMessageW(child, WM_APP + 7, 0, 0);
    EXPECT_TRUE(contains(object.seen, WM_APP + 7));
    EXPECT_TRUE(has_recorded(child, WM_APP + 7));

    C_final_state_watch watch(child);
    DestroyWindow(child);
    EXPECT_TRUE(watch.state.seen);
    EXPECT_EQ(watch.state.property, nullptr);
    EXPECT_EQ(watch.state.window_proc, own_proc);
    EXPECT_EQ(object.hwnd, nullptr);
    EXPECT_EQ(object.old_proc, nullptr);
    EXPECT_TRUE(has_recorded(child, WM_DESTROY));
    EXPECT_TRUE(has_recorded(child, WM_NCDESTROY));
    EXPECT_FALSE(contains(object.seen, WM_NCDESTROY));
}

TEST_F(WindowFramework, ParentWithoutAnObjectLeavesRectInParentAlone)
{
    C_test_window parent(recording_window_class(), WS_OVERLAPPED, 0, 0, 300, 200);
    C_test_window child(L"Static", WS_CHILD, 10, 20, 30, 40, parent);
    C_window_base object;
    object.rect_in_parent = {1, 2, 3, 4};
    object.bind_handle(child);
    EXPECT_TRUE(same_rect(object.rect_in_parent, RECT{1, 2, 3, 4}));

    // No window: nothing changes, and it still counts as done.
    C_window_base unbound;
    EXPECT_TRUE(unbound.bind_handle(nullptr));
    EXPECT_EQ(unbound.hwnd, nullptr);
}

TEST_F(WindowFramework, WindowWithItsOwnDataWhereDialogsKeepTheirProcedureIsNoDialog)
{
    // A class of its own with just enough extra bytes to hold a value where a
    // dialog keeps its procedure, fewer than a dialog has.
    static const wchar_t* const class_name = [] {
        WNDCLASSEXW window_class = {};
        window_class.cbSize = sizeof(window_class);
        window_class.cbWndExtra = DWLP_DLGPROC + sizeof(LONG_PTR);
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"nt3_test_extra_bytes";
        RegisterClassExW(&window_class);
        return window_class.lpszClassName;
    }();
    C_test_window window(class_name, WS_POPUP, 0, 0, 50, 50);
    SetWindowLongPtrW(window, DWLP_DLGPROC, 0x1234);

    C_window_base object;
    object.bind_handle(window);
    EXPECT_FALSE(object.is_dialog);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), framework_proc());
    EXPECT_EQ(GetWindowLongPtrW(window, DWLP_DLGPROC), 0x1234);
    EXPECT_EQ(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0), 0);
    object.unbind_handle();
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&DefWindowProcW));
}

TEST_F(WindowFramework, DestroyedDialogLeavesNothingBehind)
{
    C_test_dialog dialog;
    ASSERT_TRUE(dialog.create(L"d", IDD_TEST_PLAIN));
    HWND window = dialog.hwnd;
    HWND one = dialog.one.hwnd;
    ASSERT_NE(one, nullptr);
    const LONG_PTR button_proc = reinterpret_cast<LONG_PTR>(dialog.one.old_proc);
    ASSERT_EQ(dialog.children.size(), 2u);
    app_state.windows.push_back(window);  // registered twice
    ASSERT_EQ(registrations(window), 2u);

    C_final_state_watch dialog_watch(window);
    C_final_state_watch button_watch(one);
    DestroyWindow(window);

    EXPECT_TRUE(dialog_watch.state.seen);
    EXPECT_EQ(dialog_watch.state.property, nullptr);
    EXPECT_EQ(dialog_watch.state.dialog_proc, framework_proc());  // nothing was replaced
    EXPECT_TRUE(button_watch.state.seen);
    EXPECT_EQ(button_watch.state.property, nullptr);
    EXPECT_EQ(button_watch.state.window_proc, button_proc);
    EXPECT_EQ(dialog.hwnd, nullptr);
    EXPECT_EQ(registrations(window), 0u);
    EXPECT_TRUE(dialog.children.empty());
    EXPECT_EQ(dialog.one.hwnd, nullptr);
    EXPECT_EQ(dialog.text.hwnd, nullptr);
    EXPECT_TRUE(contains(dialog.seen, WM_DESTROY));
    EXPECT_FALSE(contains(dialog.seen, WM_NCDESTROY));
}

TEST_F(WindowFramework, CloseDestroysTheWindowAndYieldsZero)
{
    C_test_window target(recording_window_class(), WS_POPUP, 0, 0, 50, 50);
    C_test_window_object object;
    object.bind_handle(target);
    EXPECT_EQ(SendMessageW(target, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(target));
    EXPECT_EQ(object.hwnd, nullptr);
    // The window's own procedure saw the destruction but not the close.
    EXPECT_TRUE(has_recorded(target, WM_DESTROY));
    EXPECT_FALSE(has_recorded(target, WM_CLOSE));

    C_test_dialog dialog;
    ASSERT_TRUE(dialog.create(L"d", IDD_TEST_PLAIN));
    HWND window = dialog.hwnd;
    EXPECT_EQ(dialog.window_proc(WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.hwnd, nullptr);
    EXPECT_EQ(dialog.one.hwnd, nullptr);
    EXPECT_EQ(registrations(window), 0u);
}

TEST_F(WindowFramework, DestroyingTheObjectLeavesTheWindowAlive)
{
    C_test_window window(recording_window_class(), WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    const LONG_PTR own_proc = GetWindowLongPtrW(window, GWLP_WNDPROC);
    {
        C_window_base object;
        object.bind_handle(window);
        ASSERT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), framework_proc());
        object.big_icon = CopyIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), own_proc);
    EXPECT_EQ(GetPropW(window, L"this"), nullptr);
    SendMessageW(window, WM_APP, 0, 0);
    EXPECT_TRUE(has_recorded(window, WM_APP));

    // A framework dialog keeps the framework's procedure and answers without an object.
    HWND dialog_window;
    {
        C_dialog dialog;
        ASSERT_TRUE(dialog.create(L"d", IDD_TEST_PLAIN));
        dialog_window = dialog.hwnd;
    }
    EXPECT_TRUE(IsWindow(dialog_window));
    EXPECT_EQ(GetPropW(dialog_window, L"this"), nullptr);
    EXPECT_EQ(common_window_proc(dialog_window, WM_GETTEXTLENGTH, 0, 0), 0);
    DestroyWindow(dialog_window);
    app_state.windows.erase(std::remove(app_state.windows.begin(), app_state.windows.end(), dialog_window),
                            app_state.windows.end());
}

TEST_F(WindowFramework, TextIsSetOnlyWhenItChanges)
{
    C_test_window window(L"Static", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, L"start");
    C_window_base object;
    object.bind_handle(window);
    C_settext_counter counter(window);

    EXPECT_EQ(object.get_text(), L"start");
    object.set_text(L"start");
    EXPECT_EQ(counter.count(), 0);
    object.set_text(L"次のファイル");
    EXPECT_EQ(counter.count(), 1);
    EXPECT_EQ(object.get_text(), L"次のファイル");
    object.set_text(L"次のファイル");
    EXPECT_EQ(counter.count(), 1);

    // Only the first 1023 units are read back.
    object.set_text(std::wstring(1500, L'x'));
    EXPECT_EQ(object.get_text(), std::wstring(1023, L'x'));

    object.unbind_handle();
    const int before = counter.count();
    object.set_text(L"gone");
    EXPECT_EQ(counter.count(), before);
    EXPECT_EQ(object.get_text(), L"");
}

TEST_F(WindowFramework, StaticTextTurnsLineFeedsIntoLineBreaks)
{
    C_test_dialog dialog;
    ASSERT_TRUE(dialog.create(L"d", IDD_TEST_PLAIN));
    ASSERT_NE(dialog.text.hwnd, nullptr);
    EXPECT_EQ(dialog.text.class_name, L"Static");
    C_settext_counter counter(dialog.text.hwnd);
    wchar_t shown[64];

    dialog.text.set_text(L"a\nb");
    GetWindowTextW(dialog.text.hwnd, shown, 64);
    EXPECT_STREQ(shown, L"a\r\nb");
    EXPECT_EQ(counter.count(), 1);
    dialog.text.set_text(L"a\nb");
    EXPECT_EQ(counter.count(), 1);

    dialog.text.set_text(L"a\r\nb");
    GetWindowTextW(dialog.text.hwnd, shown, 64);
    EXPECT_STREQ(shown, L"a\r\r\nb");
    EXPECT_EQ(counter.count(), 2);

    DestroyWindow(dialog.hwnd);
}

TEST_F(WindowFramework, CreateMakesOneWindowAndRecordsFailures)
{
    C_test_dialog dialog;
    ASSERT_TRUE(dialog.create(L"first", IDD_TEST_PLAIN));
    HWND window = dialog.hwnd;
    EXPECT_TRUE(dialog.create(L"second", IDD_TEST_PLAIN));
    EXPECT_EQ(dialog.hwnd, window);
    EXPECT_EQ(dialog.name, L"first");
    EXPECT_EQ(registrations(window), 1u);
    EXPECT_EQ(dialog.children.size(), 2u);
    DestroyWindow(window);

    // A destroyed dialog's object can make a new window.
    ASSERT_TRUE(dialog.create(L"again", IDD_TEST_PLAIN));
    EXPECT_NE(dialog.one.hwnd, nullptr);
    EXPECT_EQ(dialog.children.size(), 2u);
    DestroyWindow(dialog.hwnd);

    set_last_error(error_kind::crt, 2, L"earlier");
    C_test_dialog missing;
    EXPECT_FALSE(missing.create(L"missing", IDD_TEST_MISSING));
    EXPECT_EQ(missing.hwnd, nullptr);
    EXPECT_TRUE(missing.children.empty());
    ASSERT_EQ(last_error_list().size(), 1u);
    EXPECT_EQ(last_error()->kind, error_kind::win32);
    EXPECT_EQ(last_error()->code, ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(last_error()->context, L"CreateDialogParam");
}

TEST_F(WindowFramework, ItemMissingFromTheTemplateLeavesItsControlUnbound)
{
    C_test_dialog dialog;
    ASSERT_TRUE(dialog.create(L"d", IDD_TEST_PLAIN));
    Cc_progress bar;
    Cc_static label;
    EXPECT_EQ(bar.anchor, 7);
    dialog.bind_item(bar, 9999, L"bar");
    dialog.bind_item(label, 9998, L"label", 5);
    EXPECT_EQ(bar.hwnd, nullptr);
    EXPECT_EQ(bar.name, L"bar");
    EXPECT_EQ(bar.anchor, 0);
    EXPECT_EQ(label.anchor, 5);
    ASSERT_EQ(dialog.children.size(), 4u);
    EXPECT_EQ(dialog.children[2], &bar);
    EXPECT_EQ(dialog.children[3], &label);

    bar.set_range(0, 10);
    bar.set_pos(5);
    label.set_text(L"x");
    EXPECT_EQ(label.get_text(), L"");

    // Binding a bound control elsewhere releases its old window.
    HWND one = dialog.one.hwnd;
    const LONG_PTR button_proc = reinterpret_cast<LONG_PTR>(dialog.one.old_proc);
    dialog.bind_item(dialog.one, IDC_TEST_TWO, L"two");
    EXPECT_EQ(GetWindowLongPtrW(one, GWLP_WNDPROC), button_proc);
    EXPECT_EQ(GetPropW(one, L"this"), nullptr);
    EXPECT_EQ(dialog.one.hwnd, GetDlgItem(dialog.hwnd, IDC_TEST_TWO));

    DestroyWindow(dialog.hwnd);
}

TEST_F(WindowFramework, SizeIsForwardedWhenAsked)
{
    C_test_dialog dialog;
    ASSERT_TRUE(dialog.create(L"d", IDD_TEST_PLAIN));
    C_test_window target(recording_window_class(), WS_POPUP, 0, 0, 50, 50);
    clear_recorded_messages();

    SendMessageW(dialog.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 45));
    EXPECT_FALSE(has_recorded(target, WM_SIZE));

    dialog.forward_size = true;
    dialog.forward_size_target = target;
    SendMessageW(dialog.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 45));
    ASSERT_TRUE(has_recorded(target, WM_SIZE));
    const C_recorded_message& size = recorded_messages(target).back();
    EXPECT_EQ(size.wparam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(size.lparam, MAKELPARAM(123, 45));

    DestroyWindow(dialog.hwnd);
}

TEST_F(WindowFramework, PumpReturnsAtOnceAndHandlesWhatHandlersPost)
{
    EXPECT_TRUE(pump_messages());

    C_test_window_object object;
    C_test_window window(framework_window_class(), WS_OVERLAPPED, 0, 0, 100, 50, nullptr, &object);
    object.seen.clear();
    PostMessageW(window, WM_APP, 0, 0);
    EXPECT_TRUE(pump_messages());
    EXPECT_TRUE(contains(object.seen, WM_APP));
    EXPECT_TRUE(contains(object.seen, WM_APP + 1));
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowFramework, PumpTranslatesKeysForOtherWindowsOnly)
{
    // A window that is no dialog gets the key dispatched and its character translated.
    C_test_window plain(recording_window_class(), WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    PostMessageW(plain, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_TRUE(pump_messages());
    EXPECT_TRUE(has_recorded(plain, WM_KEYDOWN));
    EXPECT_TRUE(has_recorded(plain, WM_CHAR));

    // Escape for a framework dialog is its cancel command and is not dispatched.
    C_test_dialog dialog;
    ASSERT_TRUE(dialog.create(L"d", IDD_TEST_PLAIN));
    ShowWindow(dialog.hwnd, SW_SHOW);
    dialog.seen.clear();
    PostMessageW(dialog.hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(pump_messages());
    EXPECT_EQ(dialog.commands, std::vector<int>{IDCANCEL});
    EXPECT_FALSE(contains(dialog.seen, WM_KEYDOWN));
    EXPECT_TRUE(IsWindow(dialog.hwnd));

    DestroyWindow(dialog.hwnd);
}

TEST_F(WindowFramework, PumpSurvivesADialogDestroyedWhileItHandlesAMessage)
{
    C_test_window_object plain_object;
    C_test_window plain(framework_window_class(), WS_OVERLAPPED, 0, 0, 100, 50, nullptr, &plain_object);
    C_test_dialog closing;
    closing.close_on_cancel = true;
    ASSERT_TRUE(closing.create(L"closing", IDD_TEST_PLAIN));
    app_state.windows.push_back(closing.hwnd);
    C_test_dialog other;
    ASSERT_TRUE(other.create(L"other", IDD_TEST_PLAIN));
    HWND closing_window = closing.hwnd;

    PostMessageW(closing_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(plain, WM_APP + 3, 0, 0);
    EXPECT_TRUE(pump_messages());

    EXPECT_FALSE(IsWindow(closing_window));
    EXPECT_EQ(registrations(closing_window), 0u);
    EXPECT_EQ(registrations(other.hwnd), 1u);
    EXPECT_EQ(registrations(plain), 1u);
    EXPECT_TRUE(contains(plain_object.seen, WM_APP + 3));
    EXPECT_TRUE(other.commands.empty());

    DestroyWindow(other.hwnd);
}

TEST_F(WindowFramework, PumpStopsForGoodAtTheQuitMessage)
{
    C_test_window_object object;
    C_test_window window(framework_window_class(), WS_OVERLAPPED, 0, 0, 100, 50, nullptr, &object);
    PostQuitMessage(0);
    EXPECT_FALSE(pump_messages());
    EXPECT_TRUE(app_state.quit_seen);

    object.seen.clear();
    PostMessageW(window, WM_APP + 4, 0, 0);
    EXPECT_FALSE(pump_messages());
    EXPECT_FALSE(contains(object.seen, WM_APP + 4));
    MSG waiting;
    ASSERT_TRUE(PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(waiting.message, static_cast<UINT>(WM_APP + 4));
}

TEST_F(WindowFramework, DestroyingTheMainWindowPostsQuit)
{
    C_window_base unbound;
    EXPECT_TRUE(unbound.on_destroy());
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    C_test_window_object object;
    C_test_window window(framework_window_class(), WS_OVERLAPPED, 0, 0, 100, 50, nullptr, &object);
    app_state.main_window = window;
    DestroyWindow(window);
    EXPECT_EQ(app_state.main_window, nullptr);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}
