#include <vector>

#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/source_check.h"
#include "update_core/update_settings.h"

bool check_update_sources()
{
    const C_update_settings& settings = UpdateSettings;
    const std::vector<C_source_finding> findings = find_source_problems(settings.source_dir, settings.copy_files);
    if (findings.empty()) return true;
    // The updater stops at the first problem.
    report_failure(findings.front().message);
    return false;
}
