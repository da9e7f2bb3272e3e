#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/game_files.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

bool check_install_folder()
{
    C_update_settings& settings = UpdateSettings;
    settings.dest_dir = settings.exe_dir;

    if (get_path_kind(settings.dest_dir) != path_kind::folder) {
        report_failure(msg_no_install_folder(settings.dest_dir));
        return false;
    }

    if (get_path_kind(path_join(settings.dest_dir, ENGINE_EXE)) != path_kind::file) {
        report_failure(MSG_NO_ENGINE);
        return false;
    }

    // Only a full setup has every file the update may overwrite.
    if (settings.dat_setup != L"full") {
        report_failure(MSG_NOT_FULL_SETUP);
        return false;
    }
    return true;
}
