// The process-wide objects live in one translation unit so that they are built in
// this order and destroyed in the reverse order. `app_state` comes first: the
// window objects refer to it, so it must outlive them at exit.
#include "nt3/app_state.h"
#include "update/update_process_dialog.h"
#include "update_core/update_settings.h"

C_app_state app_state;
Cupdate_process_dialog progress_dialog;
C_update_settings UpdateSettings;
