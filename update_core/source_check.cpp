#include "update_core/source_check.h"

#include "update_core/copy_entry.h"
#include "update_core/messages.h"
#include "util/entry_path.h"
#include "util/path.h"
#include "util/path_kind.h"
#include "util/stored_name.h"

namespace {

// Empty when the entry is fine.
std::wstring entry_problem(const std::wstring& source_dir, const std::wstring& entry, int position)
{
    if (entry.empty()) return msg_entry_empty(position);
    if (entry_is_unsafe(entry)) return msg_entry_outside(position);
    // Besides being there, the entry must be found under its own name, or the
    // copy, which lists names, would pass it over.
    const C_copy_entry found = list_copy_entry(source_dir, entry);
    if (!found.found() || !path_is_stored_as_named(source_dir, found.rel)) {
        return msg_entry_missing(path_join(source_dir, entry));
    }
    return std::wstring();
}

}  // namespace

std::vector<C_source_finding> find_source_problems(const std::wstring& source_dir,
                                                   const std::vector<std::wstring>& copy_files)
{
    if (get_path_kind(source_dir) != path_kind::folder) return {{0, MSG_NO_SOURCE_FOLDER}};
    std::vector<C_source_finding> findings;
    int position = 0;
    for (const std::wstring& entry : copy_files) {
        ++position;
        std::wstring problem = entry_problem(source_dir, entry, position);
        if (!problem.empty()) findings.push_back({position, std::move(problem)});
    }
    return findings;
}
