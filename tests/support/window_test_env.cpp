#include "support/window_test_env.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "nt3/app_state.h"
#include "nt3/window_base.h"

void prepare_windows()
{
    app_state.instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

void discard_queued_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

namespace {
// One thread hook serves every watcher that is alive.
HHOOK thread_hook = nullptr;
std::vector<C_sent_message_hook*> watchers;
}

C_sent_message_hook::C_sent_message_hook(std::function<void(const CWPSTRUCT&)> watcher)
    : watcher_(std::move(watcher))
{
    if (watchers.empty()) thread_hook = SetWindowsHookExW(WH_CALLWNDPROC, hook_proc, nullptr, GetCurrentThreadId());
    watchers.push_back(this);
}

C_sent_message_hook::~C_sent_message_hook()
{
    watchers.erase(std::find(watchers.begin(), watchers.end(), this));
    if (watchers.empty()) {
        UnhookWindowsHookEx(thread_hook);
        thread_hook = nullptr;
    }
}

LRESULT CALLBACK C_sent_message_hook::hook_proc(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HC_ACTION) {
        const auto current = watchers;
        for (C_sent_message_hook* hook : current) hook->watcher_(*reinterpret_cast<const CWPSTRUCT*>(lparam));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

namespace {
C_retrieved_message_hook* retrieval_watcher = nullptr;
}

C_retrieved_message_hook::C_retrieved_message_hook(std::function<void(const MSG&)> watcher)
    : watcher_(std::move(watcher))
{
    retrieval_watcher = this;
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, hook_proc, nullptr, GetCurrentThreadId());
}

C_retrieved_message_hook::~C_retrieved_message_hook()
{
    UnhookWindowsHookEx(hook_);
    retrieval_watcher = nullptr;
}

LRESULT CALLBACK C_retrieved_message_hook::hook_proc(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HC_ACTION && wparam == PM_REMOVE && retrieval_watcher)
        retrieval_watcher->watcher_(*reinterpret_cast<const MSG*>(lparam));
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

C_settext_counter::C_settext_counter(HWND window)
    : window_(window), hook_([this](const CWPSTRUCT& sent) {
          if (sent.hwnd == window_ && sent.message == WM_SETTEXT) ++count_;
      })
{
}

C_test_window::C_test_window(const wchar_t* window_class, DWORD style, int x, int y, int width, int height,
                             HWND parent, void* create_param, const wchar_t* text)
    : hwnd_(CreateWindowExW(0, window_class, text, style, x, y, width, height, parent, nullptr,
                            GetModuleHandleW(nullptr), create_param))
{
}

C_test_window::~C_test_window()
{
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

const wchar_t* framework_window_class()
{
    static const wchar_t* const name = [] {
        WNDCLASSEXW window_class = {};
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = NT3::common_window_proc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        window_class.lpszClassName = L"nt3_test_framework_window";
        RegisterClassExW(&window_class);
        return window_class.lpszClassName;
    }();
    return name;
}

namespace {

std::map<HWND, std::vector<C_recorded_message>>& recordings()
{
    static std::map<HWND, std::vector<C_recorded_message>> messages;
    return messages;
}

LRESULT CALLBACK recording_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    recordings()[hwnd].push_back({msg, wparam, lparam});
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

const wchar_t* recording_window_class()
{
    static const wchar_t* const name = [] {
        WNDCLASSEXW window_class = {};
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = recording_proc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"nt3_test_recording_window";
        RegisterClassExW(&window_class);
        return window_class.lpszClassName;
    }();
    return name;
}

const std::vector<C_recorded_message>& recorded_messages(HWND window)
{
    return recordings()[window];
}

bool has_recorded(HWND window, UINT msg)
{
    const auto& messages = recordings()[window];
    return std::any_of(messages.begin(), messages.end(), [msg](const C_recorded_message& m) { return m.msg == msg; });
}

void clear_recorded_messages()
{
    recordings().clear();
}

namespace {

void send_mouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

void press_left_button()
{
    send_mouse(MOUSEEVENTF_LEFTDOWN);
}

void release_left_button()
{
    send_mouse(MOUSEEVENTF_LEFTUP);
}

RECT rect_in_parent_now(HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
