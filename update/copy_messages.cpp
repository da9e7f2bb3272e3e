#include "update/copy_messages.h"

#include "update_core/messages.h"

std::wstring copy_failure_message(const C_copy_failure& failure)
{
    switch (failure.what) {
    case copy_failure::work_folder_refused: return msg_work_folder_refused(failure.path);
    case copy_failure::journal_not_written: return msg_journal_not_written(failure.path);
    case copy_failure::source_not_opened: return msg_source_not_opened(failure.path);
    case copy_failure::source_not_read: return msg_source_not_read(failure.path);
    case copy_failure::source_damaged: return msg_update_file_damaged(failure.path);
    case copy_failure::work_folder_not_made:
    case copy_failure::dest_not_opened: return msg_dest_not_opened(failure.path);
    case copy_failure::dest_not_written:
    case copy_failure::not_undone:
    case copy_failure::none: break;
    }
    return msg_dest_not_written(failure.path);
}
