#include <vector>

#include "update/message_helpers.h"
#include "update/source_listing.h"
#include "update/update_sequence.h"
#include "update_core/removed_files.h"
#include "update_core/source_check.h"
#include "update_core/update_settings.h"

bool check_update_sources()
{
    const C_update_settings& settings = UpdateSettings;
    release_source_listing();
    C_source_listing& listed = source_listing();
    const std::vector<C_source_finding> findings =
        find_source_problems(listed.listings, settings.source_dir, settings.source_dir, settings.copy_files,
                             &listed.entries);
    // The updater stops at the first problem.
    if (!findings.empty()) {
        report_failure(findings.front().message);
        return false;
    }
    // An entry that could name no file of any installation is the update's own
    // fault too; what the others name is looked at once the installation is known.
    const std::vector<C_delete_problem> refused = find_delete_entry_form_problems(settings.delete_files);
    if (!refused.empty()) {
        report_failure(refused.front().message);
        return false;
    }
    return true;
}
