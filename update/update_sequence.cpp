#include "update/update_sequence.h"

#include "update/message_helpers.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"

bool clear_update_settings()
{
    UpdateSettings.reg_path.clear();
    UpdateSettings.update_title.clear();
    UpdateSettings.game_title.clear();
    UpdateSettings.copy_files.clear();
    UpdateSettings.delete_files.clear();
    return true;
}

bool run_update_sequence()
{
    // The update's own files are checked before the registry is read, so a broken
    // update is reported even where the game is not installed. An update that
    // stopped halfway is undone as soon as the installation is known: it may
    // have moved the engine's executable aside, which the checks look for.
    // Whatever would stop the copy partway is found before the prompt.
    static bool (*const steps[])() = {
        clear_update_settings,
        load_update_script,
        validate_update_script,
        check_update_sources,
        read_install_info,
        recover_interrupted_update,
        check_install_folder,
        check_delete_entries,
        check_ready_to_copy,
        confirm_update,
        run_copy_job,
    };
    for (auto step : steps) {
        if (!step()) return false;
    }
    notify_user(MSG_UPDATE_SUCCEEDED);
    return true;
}
