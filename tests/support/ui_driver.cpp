#include "support/ui_driver.h"

#include <commctrl.h>

#include <set>
#include <sstream>

#include "support/utf8_text.h"

namespace {

const int TEXT_LINE_ID = 1001;
const int TOTAL_BAR_ID = 1002;
const int FILE_BAR_ID = 1003;
const int BOX_TEXT_ID = 0xFFFF;
// The progress dialog may live for a few milliseconds only: look often.
// A window of the watched program answers only while it handles messages: a
// modal box always does, the progress dialog between chunks of work.
const UINT ANSWER_WAIT_MS = 250;
const DWORD ICON_PAINT_WAIT_MS = 3000;

std::wstring class_of(HWND window)
{
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

bool send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR& result)
{
    return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, ANSWER_WAIT_MS, &result) != 0;
}

// One WM_GETTEXT with room to spare: asking for the length first would race
// with the program changing the text between the two answers.
bool read_text(HWND window, std::wstring& text)
{
    if (!window) return false;
    for (std::size_t room = 1024;; room *= 4) {
        std::vector<wchar_t> buffer(room);
        DWORD_PTR copied = 0;
        if (!send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied)) return false;
        if (copied + 1 < room) {
            text.assign(buffer.data(), copied);
            return true;
        }
    }
}

// A top-level window's title as the system keeps it for the title bar: read
// without a message, so it is there even while the program is busy.
bool read_title(HWND window, std::wstring& title)
{
    for (int room = 1024;; room *= 4) {
        std::vector<wchar_t> buffer(static_cast<std::size_t>(room));
        SetLastError(ERROR_SUCCESS);
        const int copied = GetWindowTextW(window, buffer.data(), room);
        if (copied == 0 && GetLastError() != ERROR_SUCCESS) return false;
        if (copied + 1 < room) {
            title.assign(buffer.data(), static_cast<std::size_t>(copied));
            return true;
        }
    }
}

bool read_position(HWND bar, int& position)
{
    DWORD_PTR result = 0;
    if (!bar || !send(bar, PBM_GETPOS, 0, 0, result)) return false;
    position = static_cast<int>(result);
    return true;
}

template <typename T>
void append_if_new(std::vector<T>& values, const T& value)
{
    if (values.empty() || values.back() != value) values.push_back(value);
}

bool is_progress_dialog(HWND window)
{
    HWND bar = GetDlgItem(window, TOTAL_BAR_ID);
    return class_of(window) == L"#32770" && bar && class_of(bar) == PROGRESS_CLASSW &&
           GetDlgItem(window, FILE_BAR_ID);
}

bool is_message_box(HWND window)
{
    HWND text = GetDlgItem(window, BOX_TEXT_ID);
    return class_of(window) == L"#32770" && text && !is_progress_dialog(window);
}

struct C_top_windows {
    DWORD process_id;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_top_window(HWND window, LPARAM context)
{
    auto& windows = *reinterpret_cast<C_top_windows*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows.process_id) windows.found.push_back(window);
    return TRUE;
}

std::vector<HWND> windows_of(DWORD process_id)
{
    C_top_windows windows{process_id, {}};
    EnumWindows(collect_top_window, reinterpret_cast<LPARAM>(&windows));
    return windows.found;
}

std::vector<HWND> children_of(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

bool is_push_button(HWND control)
{
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return class_of(control) == WC_BUTTONW && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

HWND icon_control(HWND box)
{
    for (HWND child : children_of(box)) {
        if (class_of(child) == WC_STATICW && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

// Waits, within the run's limit, until the box's icon is painted and known.
box_icon wait_for_icon(HWND box, ULONGLONG deadline)
{
    HWND icon = icon_control(box);
    if (!icon) return box_icon::none;
    const ULONGLONG give_up = GetTickCount64() + ICON_PAINT_WAIT_MS;
    for (;;) {
        const box_icon seen = icon_on_screen(icon);
        const ULONGLONG now = GetTickCount64();
        if (seen != box_icon::unknown || now >= give_up || now >= deadline || !IsWindow(box)) return seen;
        Sleep(2);
    }
}

std::string describe_box(const C_box& box)
{
    std::ostringstream out;
    PrintTo(box, &out);
    return out.str();
}

const char* answer_name(box_answer answer)
{
    switch (answer) {
    case box_answer::ok: return "OK";
    case box_answer::yes: return "Yes";
    case box_answer::no: return "No";
    case box_answer::retry: return "Retry";
    case box_answer::cancel: return "Cancel";
    case box_answer::enter: return "Enter";
    }
    return "?";
}

// The focused control of the box, where a key press lands; the box itself
// when its focus is not known.
HWND key_target(HWND box)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(box, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus && (info.hwndFocus == box || IsChild(box, info.hwndFocus))) {
        return info.hwndFocus;
    }
    return box;
}

void press_enter(HWND box)
{
    HWND target = key_target(box);
    const UINT scan = MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, VK_RETURN, 1 | (scan << 16) | 0xC0000000u);
}

void click(HWND box, int id)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

class C_watcher {
public:
    C_watcher(const C_run_options& options, C_run& run, HANDLE process, DWORD process_id)
        : options_(options), run_(run), process_(process), process_id_(process_id),
          deadline_(GetTickCount64() + options.timeout_ms)
    {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }

    void watch()
    {
        for (;;) {
            look();
            if (WaitForSingleObject(process_, options_.poll_ms) == WAIT_OBJECT_0) {
                run_.exited = true;
                GetExitCodeProcess(process_, &run_.exit_code);
                break;
            }
            if (GetTickCount64() >= deadline_) {
                give_up();
                break;
            }
        }
        if (next_answer_ < options_.answers.size()) {
            std::ostringstream out;
            out << "the program ended after " << run_.boxes.size() << " box(es); "
                << options_.answers.size() - next_answer_ << " more were expected";
            run_.problems.push_back(out.str());
        }
        if (options_.close_progress_dialog && !run_.progress.close_sent) {
            run_.problems.push_back("the progress dialog was to be closed but was never seen on screen");
        }
    }

private:
    void look()
    {
        for (HWND window : windows_of(process_id_)) {
            if (IsWindow(window) && is_progress_dialog(window)) follow_progress(window);
        }
        if (run_.progress.close_sent && closed_dialog_ && !IsWindow(closed_dialog_) &&
            WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            run_.progress.gone_after_close = true;
            closed_dialog_ = nullptr;
        }
        for (HWND window : windows_of(process_id_)) {
            if (answered_.count(window) || !IsWindowVisible(window) || !is_message_box(window)) continue;
            answered_.insert(window);
            handle_box(window);
        }
    }

    C_dialog_state follow_progress(HWND dialog)
    {
        C_progress_seen& seen = run_.progress;
        C_dialog_state now;
        if (dialog != dialog_) {
            dialog_ = dialog;
            ++seen.windows;
        }
        if (!IsWindowVisible(dialog)) return now;
        now.shown = true;
        if (!seen.shown) {
            seen.shown = true;
            seen.boxes_before_shown = run_.boxes.size();
            if (options_.on_progress_shown) options_.on_progress_shown(process_);
        }
        if (!options_.follow_progress_dialog) return now;
        if (read_title(dialog, now.caption)) append_if_new(seen.captions, now.caption);
        if (read_text(GetDlgItem(dialog, TEXT_LINE_ID), now.line)) append_if_new(seen.lines, now.line);
        if (read_position(GetDlgItem(dialog, TOTAL_BAR_ID), now.total_position)) {
            append_if_new(seen.total_positions, now.total_position);
        }
        if (read_position(GetDlgItem(dialog, FILE_BAR_ID), now.file_position)) {
            append_if_new(seen.file_positions, now.file_position);
        }
        if (options_.close_progress_dialog && !seen.close_sent) {
            // As the close box does: the system menu's Close command.
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            seen.close_sent = true;
            closed_dialog_ = dialog;
        }
        return now;
    }

    double seconds_now() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

    void handle_box(HWND box)
    {
        const double seen_at = seconds_now();
        C_box seen;
        const bool readable = read_text(box, seen.caption) && read_text(GetDlgItem(box, BOX_TEXT_ID), seen.text);
        for (HWND child : children_of(box)) {
            if (!is_push_button(child) || !IsWindowVisible(child)) continue;
            const int id = GetDlgCtrlID(child);
            seen.buttons.push_back(id);
            if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen.default_button = id;
        }
        seen.icon = wait_for_icon(box, deadline_);
        C_dialog_state behind;
        if (dialog_ && IsWindow(dialog_)) behind = follow_progress(dialog_);
        run_.boxes.push_back(C_seen_box{seen, behind, seen_at, 0});
        const std::size_t number = run_.boxes.size();
        if (!readable) run_.problems.push_back("box " + std::to_string(number) + " could not be read");
        if (options_.before_answer) options_.before_answer(process_, seen);
        run_.boxes.back().answered_at = seconds_now();

        if (next_answer_ >= options_.answers.size()) {
            run_.problems.push_back("unexpected box " + std::to_string(number) + ": " + describe_box(seen) +
                                    "; dismissed with Enter");
            press_enter(box);
            return;
        }
        const box_answer answer = options_.answers[next_answer_++];
        if (answer == box_answer::enter) {
            press_enter(box);
            return;
        }
        const int id = answer == box_answer::ok       ? IDOK
                       : answer == box_answer::yes    ? IDYES
                       : answer == box_answer::no     ? IDNO
                       : answer == box_answer::retry  ? IDRETRY
                                                      : IDCANCEL;
        bool present = false;
        for (int b : seen.buttons) present = present || b == id;
        if (!present) {
            run_.problems.push_back("box " + std::to_string(number) + " has no " + answer_name(answer) +
                                    " button: " + describe_box(seen) + "; dismissed with Enter");
            press_enter(box);
            return;
        }
        click(box, id);
    }

    void give_up()
    {
        std::ostringstream out;
        out << "the program did not end within " << options_.timeout_ms << " ms and was killed; its windows:";
        for (HWND window : windows_of(process_id_)) {
            std::wstring caption;
            read_text(window, caption);
            out << " [" << to_utf8(class_of(window)) << " " << quoted(caption)
                << (IsWindowVisible(window) ? " visible" : " hidden") << "]";
        }
        run_.problems.push_back(out.str());
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }

    const C_run_options& options_;
    C_run& run_;
    HANDLE process_;
    DWORD process_id_;
    ULONGLONG deadline_;
    std::size_t next_answer_ = 0;
    std::set<HWND> answered_;
    HWND dialog_ = nullptr;
    HWND closed_dialog_ = nullptr;
    LARGE_INTEGER frequency_ = {};
    LARGE_INTEGER start_ = {};
};

}  // namespace

bool C_box::operator==(const C_box& other) const
{
    return caption == other.caption && text == other.text && icon == other.icon && buttons == other.buttons &&
           default_button == other.default_button;
}

void PrintTo(const C_box& box, std::ostream* out)
{
    *out << "{caption " << quoted(box.caption) << ", text " << quoted(box.text) << ", icon " << icon_name(box.icon)
         << ", buttons";
    for (int id : box.buttons) *out << " " << id;
    *out << ", default " << box.default_button << "}";
}

C_box ok_box(box_icon icon, const std::wstring& caption, const std::wstring& text)
{
    return C_box{caption, text, icon, {IDOK}, IDOK};
}

C_box yes_no_box(box_icon icon, const std::wstring& caption, const std::wstring& text, int default_button)
{
    return C_box{caption, text, icon, {IDYES, IDNO}, default_button};
}

C_box retry_cancel_box(box_icon icon, const std::wstring& caption, const std::wstring& text)
{
    return C_box{caption, text, icon, {IDRETRY, IDCANCEL}, IDRETRY};
}

std::vector<C_box> C_run::shown_boxes() const
{
    std::vector<C_box> result;
    for (const auto& seen : boxes) result.push_back(seen.box);
    return result;
}

std::string C_run::report() const
{
    std::ostringstream out;
    out << "started " << started << ", exited " << exited << ", exit code " << exit_code << "\n";
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const C_dialog_state& behind = boxes[i].progress;
        out << "box " << i + 1 << ": " << describe_box(boxes[i].box) << "\n";
        if (behind.shown) {
            out << "  behind it the progress dialog " << quoted(behind.caption) << ": line " << quoted(behind.line)
                << ", bars " << behind.total_position << " and " << behind.file_position << "\n";
        }
    }
    out << "progress dialog: " << progress.windows << " window(s), shown " << progress.shown << ", captions";
    for (const auto& c : progress.captions) out << " " << quoted(c);
    out << ", lines";
    for (const auto& l : progress.lines) out << " " << quoted(l);
    out << ", overall";
    for (int p : progress.total_positions) out << " " << p;
    out << ", file";
    for (int p : progress.file_positions) out << " " << p;
    out << "\n";
    for (const auto& problem : problems) out << "problem: " << problem << "\n";
    return out.str();
}

C_run run_and_watch(const C_run_options& options)
{
    C_run run;
    std::wstring command_line = L"\"" + options.program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(options.program.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        options.working_dir.c_str(), &startup, &process)) {
        run.problems.push_back("cannot start " + to_utf8(options.program) + " (error " +
                               std::to_string(GetLastError()) + ")");
        return run;
    }
    run.started = true;
    C_watcher(options, run, process.hProcess, process.dwProcessId).watch();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}
