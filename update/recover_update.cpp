#include "copy_engine/recovery.h"
#include "copy_engine/work_place.h"
#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"
#include "util/fs/path_kind.h"

bool recover_interrupted_update()
{
    const std::wstring& install_dir = UpdateSettings.exe_dir;
    // A missing installation is told by the checks that follow.
    if (get_path_kind(install_dir) != path_kind::folder) return true;
    const C_recovery recovery = recover_installation(install_dir);
    const std::wstring work_folder = C_work_place(install_dir).folder;
    switch (recovery.outcome) {
    case installation_recovery::failed:
        // Nothing more is changed while the old files are there only.
        report_failure(msg_rollback_failed(work_folder));
        return false;
    case installation_recovery::refused:
        report_failure(msg_work_folder_refused(work_folder));
        return false;
    case installation_recovery::rolled_back:
        notify_user(MSG_INTERRUPTED_UPDATE_ROLLED_BACK);
        break;
    case installation_recovery::none:
    case installation_recovery::completed:
        break;
    }
    if (!recovery.kept.empty()) notify_user(msg_player_files_kept(recovery.kept));
    return true;
}
