#pragma once
#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/screen_icon.h"

// Runs a GUI program as a user meets it and watches its top-level windows until
// it exits: every message box is read and answered, and the progress dialog
// (a dialog with progress bars as items 1002 and 1003 and its text line as item
// 1001) is followed while it is shown.

// A message box as the user sees it.
struct C_box {
    std::wstring caption;
    std::wstring text;
    box_icon icon = box_icon::unknown;
    std::vector<int> buttons;  // command ids of its push buttons, in the box's order
    int default_button = 0;    // the button drawn as default, 0 when none is

    bool operator==(const C_box& other) const;
    bool operator!=(const C_box& other) const { return !(*this == other); }
};
void PrintTo(const C_box& box, std::ostream* out);

C_box ok_box(box_icon icon, const std::wstring& caption, const std::wstring& text);
C_box yes_no_box(box_icon icon, const std::wstring& caption, const std::wstring& text, int default_button);
C_box retry_cancel_box(box_icon icon, const std::wstring& caption, const std::wstring& text);

// How a box is answered: by clicking one of its buttons, or by pressing Enter,
// which lets the box's default button act.
enum class box_answer { ok, yes, no, retry, cancel, enter };

// The progress dialog as read at one moment.
struct C_dialog_state {
    bool shown = false;  // on screen; the rest is read only then
    std::wstring caption;
    std::wstring line;
    int total_position = -1;  // -1 when it could not be read
    int file_position = -1;
};

struct C_seen_box {
    C_box box;
    // The progress dialog while the box was up: a modal box keeps the dialog
    // answering, so this is exactly what the player saw behind the box.
    C_dialog_state progress;
    double seen_at = 0;      // seconds since the program was started
    double answered_at = 0;  // when the driver answered it
};

// What was seen of the progress dialog. Its text line and bars are sampled, so
// short-lived states may be missed; every state recorded was really shown.
struct C_progress_seen {
    int windows = 0;                      // distinct progress dialog windows the program made
    bool shown = false;                   // one was seen visible
    std::size_t boxes_before_shown = 0;   // boxes answered before it was first seen visible
    std::vector<std::wstring> captions;   // successive distinct captions while visible
    std::vector<std::wstring> lines;      // successive distinct texts of the text line
    std::vector<int> total_positions;     // successive distinct positions of the overall bar
    std::vector<int> file_positions;      // successive distinct positions of the file bar
    bool close_sent = false;              // the driver closed it as a user would
    bool gone_after_close = false;        // and its window then went while the program ran on
};

struct C_run_options {
    std::wstring program;      // full path of the executable
    std::wstring working_dir;  // the folder it is started from
    std::vector<box_answer> answers;  // one per box, in the order the boxes appear
    bool close_progress_dialog = false;
    bool follow_progress_dialog = true;  // off: its text and bars are not read
    DWORD poll_ms = 2;                   // how often the program's windows are looked at
    // Called with the program's process handle when a box has been read, before
    // it is answered, and once when the progress dialog is first seen on screen.
    std::function<void(HANDLE process, const C_box& box)> before_answer;
    std::function<void(HANDLE process)> on_progress_shown;
    DWORD timeout_ms = 30000;  // then the program is killed and the run fails
};

struct C_run {
    bool started = false;
    bool exited = false;  // on its own, before the time limit
    DWORD exit_code = 0;
    std::vector<C_seen_box> boxes;
    C_progress_seen progress;
    // Everything that went wrong on the driver's side (a program that did not
    // start or end, a box nobody expected, an answer that did not fit): the run
    // went cleanly when this is empty.
    std::vector<std::string> problems;

    std::vector<C_box> shown_boxes() const;
    std::string report() const;  // the whole run, readable, for failure messages
};

C_run run_and_watch(const C_run_options& options);
