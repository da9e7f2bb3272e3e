#pragma once
#include <windows.h>

#include <string>

#include "nt3/dialog.h"
#include "nt3/progress.h"
#include "nt3/static.h"

// The small modeless dialog shown while the update's files are copied: one line
// of text, the progress over the whole update and the progress of the current file.
class Cupdate_process_dialog : public NT3::C_dialog {
public:
    // Makes the window from the dialog's own template, hidden, with no parent and
    // no placement aids.
    bool create(const std::wstring& name);

    LRESULT window_proc(UINT msg, WPARAM wparam, LPARAM lparam) override;

    NT3::Cc_static static_text;
    NT3::Cc_progress progress_total;
    NT3::Cc_progress progress_file;
    // Whether the dialog answers no when Windows asks if the session may end.
    bool blocks_shutdown = false;

private:
    bool on_init_dialog();
};

// The one progress dialog of the program.
extern Cupdate_process_dialog progress_dialog;
