#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Makes the test program ready for framework windows: the module instance for
// dialog templates and the common-control classes.
void prepare_windows();

// Empties the thread's message queue without dispatching anything.
void discard_queued_messages();

// Watches every message sent to a window procedure of this thread while it lives
// (a call-window hook), before the procedure sees it.
class C_sent_message_hook {
public:
    explicit C_sent_message_hook(std::function<void(const CWPSTRUCT&)> watcher);
    ~C_sent_message_hook();
    C_sent_message_hook(const C_sent_message_hook&) = delete;
    C_sent_message_hook& operator=(const C_sent_message_hook&) = delete;

private:
    static LRESULT CALLBACK hook_proc(int code, WPARAM wparam, LPARAM lparam);
    std::function<void(const CWPSTRUCT&)> watcher_;
};

// Watches every message the thread takes off its queue while it lives (a
// get-message hook), modal loops of the platform included.
class C_retrieved_message_hook {
public:
    explicit C_retrieved_message_hook(std::function<void(const MSG&)> watcher);
    ~C_retrieved_message_hook();
    C_retrieved_message_hook(const C_retrieved_message_hook&) = delete;
    C_retrieved_message_hook& operator=(const C_retrieved_message_hook&) = delete;

private:
    static LRESULT CALLBACK hook_proc(int code, WPARAM wparam, LPARAM lparam);
    std::function<void(const MSG&)> watcher_;
    HHOOK hook_ = nullptr;
};

// Counts the WM_SETTEXT messages sent to one window.
class C_settext_counter {
public:
    explicit C_settext_counter(HWND window);
    int count() const { return count_; }

private:
    HWND window_;
    int count_ = 0;
    C_sent_message_hook hook_;
};

// A window that the test owns; destroyed at the end of the scope if it still exists.
class C_test_window {
public:
    C_test_window(const wchar_t* window_class, DWORD style, int x, int y, int width, int height,
                  HWND parent = nullptr, void* create_param = nullptr, const wchar_t* text = L"");
    ~C_test_window();
    C_test_window(const C_test_window&) = delete;
    C_test_window& operator=(const C_test_window&) = delete;

    HWND handle() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

private:
    HWND hwnd_;
};

// A window class whose procedure is the framework's, registered once per program.
const wchar_t* framework_window_class();

// A window class with the platform's default procedure that records the messages
// its windows receive, sent or dispatched.
struct C_recorded_message {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
};
const wchar_t* recording_window_class();
const std::vector<C_recorded_message>& recorded_messages(HWND window);
bool has_recorded(HWND window, UINT msg);
void clear_recorded_messages();

// Real mouse input: the button goes down or up where the cursor is.
void press_left_button();
void release_left_button();

// Reads the client rectangle of a child in its parent's client coordinates.
RECT rect_in_parent_now(HWND child);
