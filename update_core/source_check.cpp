#include "update_core/source_check.h"

#include <utility>

#include "update_core/messages.h"
#include "util/fs/entry_path.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

// A message that is empty when the entry is fine.
C_source_finding entry_problem(C_folder_listings& listings, const std::wstring& source_dir,
                               const std::wstring& shown_source_dir, const std::wstring& entry, int position,
                               C_copy_entry& listed)
{
    if (entry.empty()) return {position, msg_entry_empty(position), source_problem::entry_empty};
    if (entry_is_unsafe(entry)) return {position, msg_entry_outside(position), source_problem::entry_outside};
    // Besides being there and listed in full, the entry must be found under its
    // own name, or the copy, which lists names, would pass it over.
    listed = list_copy_entry(listings, source_dir, entry);
    if (!listed.found() || !entry_is_stored_as_named(listings, source_dir, listed.rel)) {
        return {position, msg_entry_missing(path_join(shown_source_dir, entry)), source_problem::entry_missing};
    }
    return {};
}

}  // namespace

std::vector<C_source_finding> find_source_problems(C_folder_listings& listings, const std::wstring& source_dir,
                                                   const std::wstring& shown_source_dir,
                                                   const std::vector<std::wstring>& copy_files,
                                                   std::vector<C_copy_entry>* listed)
{
    if (listed) listed->clear();
    if (get_path_kind(source_dir) != path_kind::folder) {
        return {{0, MSG_NO_SOURCE_FOLDER, source_problem::no_source_folder}};
    }
    std::vector<C_source_finding> findings;
    int position = 0;
    for (const std::wstring& entry : copy_files) {
        ++position;
        C_copy_entry found;
        C_source_finding problem = entry_problem(listings, source_dir, shown_source_dir, entry, position, found);
        if (!problem.message.empty()) findings.push_back(std::move(problem));
        if (listed) listed->push_back(std::move(found));
    }
    return findings;
}

std::vector<C_source_finding> find_source_problems(const std::wstring& source_dir,
                                                   const std::vector<std::wstring>& copy_files)
{
    C_folder_listings listings;
    return find_source_problems(listings, source_dir, source_dir, copy_files, nullptr);
}
