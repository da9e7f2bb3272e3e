#include <vector>

#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/removed_files.h"
#include "update_core/update_settings.h"
#include "util/fs/folder_listings.h"

bool check_delete_entries()
{
    const C_update_settings& settings = UpdateSettings;
    if (settings.delete_files.empty()) return true;
    C_folder_listings listings;
    const C_removal_plan plan = plan_removed_files(listings, settings.dest_dir, settings.delete_files, {});
    if (plan.problems.empty()) return true;
    // As with the update's own files, the first problem is the one told.
    report_failure(plan.problems.front().message);
    return false;
}
