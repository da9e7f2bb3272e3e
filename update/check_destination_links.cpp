#include <vector>

#include "copy_engine/destination_links.h"
#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/copy_entry.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"
#include "util/fs/folder_listings.h"

bool check_destination_links()
{
    const C_update_settings& settings = UpdateSettings;
    std::vector<C_copy_item> files;
    C_folder_listings listings;
    for (const std::wstring& entry : settings.copy_files) {
        C_copy_entry listed = list_copy_entry(listings, settings.source_dir, entry);
        files.insert(files.end(), std::make_move_iterator(listed.files.begin()),
                     std::make_move_iterator(listed.files.end()));
    }
    const C_destination_link link = find_destination_link(settings.dest_dir, files);
    switch (link.kind) {
    case destination_link::none: return true;
    case destination_link::file_link: report_failure(msg_dest_is_link(link.path)); break;
    case destination_link::other_drive: report_failure(msg_dest_on_other_drive(link.path)); break;
    }
    return false;
}
