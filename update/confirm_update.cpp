#include "update/message_box.h"
#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"

bool confirm_update()
{
    const C_update_settings& settings = UpdateSettings;
    const std::wstring question = msg_confirm_destination(settings.dest_dir);

    // No is the default, so a hasty Enter leaves the installation untouched.
    const int answer =
        show_message_box(question, settings.update_title, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2);

    // Only an explicit Yes is consent: a box that could not be shown (0) must
    // not let the copy overwrite the installation unasked.
    if (answer != IDYES) {
        notify_user(MSG_UPDATE_CANCELLED);
        return false;
    }
    return true;
}
