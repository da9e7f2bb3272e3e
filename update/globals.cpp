// The process-wide objects live in one translation unit so that they are built in
// this order and destroyed in the reverse order.
#include "nt3/app_state.h"
#include "update/update_process_dialog.h"
#include "update_core/update_settings.h"

Cupdate_process_dialog progress_dialog;
C_update_settings UpdateSettings;
C_app_state app_state;
