#include "update/destination_links_check.h"

#include "copy_engine/destination_links.h"
#include "update/message_helpers.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"

bool check_destination_links(const std::vector<C_copy_entry>& entries)
{
    const C_destination_link link = find_destination_link(UpdateSettings.dest_dir, entries);
    switch (link.kind) {
    case destination_link::none: return true;
    case destination_link::file_link: report_failure(msg_dest_is_link(link.path)); break;
    case destination_link::other_drive: report_failure(msg_dest_on_other_drive(link.path)); break;
    }
    return false;
}
