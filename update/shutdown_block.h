#pragma once
#include "update/update_process_dialog.h"

// While it lives, Windows is asked not to end the session: the dialog gives
// `reason` to the list of programs that keep Windows from shutting down, and
// answers no when asked whether the session may end. Let go when it goes.
class C_shutdown_block {
public:
    C_shutdown_block(Cupdate_process_dialog& dialog, const wchar_t* reason);
    ~C_shutdown_block();
    C_shutdown_block(const C_shutdown_block&) = delete;
    C_shutdown_block& operator=(const C_shutdown_block&) = delete;

private:
    Cupdate_process_dialog& dialog_;
};
