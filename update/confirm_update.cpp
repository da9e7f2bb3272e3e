#include "update/message_box.h"
#include "update/messages.h"
#include "update/update_sequence.h"
#include "update/update_settings.h"

bool confirm_update()
{
    const C_update_settings& settings = UpdateSettings;
    const std::wstring question =
        L"セットアップ先 = " + settings.dest_dir + L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？";

    // No is the default, so a hasty Enter leaves the installation untouched.
    const int answer =
        show_message_box(question, settings.update_title, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2);

    // Only an explicit Yes is consent: a box that could not be shown (0) must
    // not let the copy overwrite the installation unasked.
    if (answer != IDYES) {
        notify_user(L"アップデートを中断しました。");
        return false;
    }
    return true;
}
