#include "update_core/removed_files.h"

#include <set>

#include "update_core/delete_entry_form.h"
#include "update_core/messages.h"
#include "util/fs/entry_path.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"

namespace {

struct C_names_order {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return names_less(a, b); }
};

using path_set = std::set<std::wstring, C_names_order>;

// The parts of a relative path that name something: empty and "." parts name
// the folder they stand in.
std::vector<std::wstring> named_parts(const std::wstring& rel)
{
    std::vector<std::wstring> parts;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= rel.size(); ++i) {
        if (i < rel.size() && rel[i] != L'\\' && rel[i] != L'/') continue;
        if (i > begin && !(i - begin == 1 && rel[begin] == L'.')) parts.push_back(rel.substr(begin, i - begin));
        begin = i + 1;
    }
    return parts;
}

// `rel` as the file system compares it: named parts only, one backslash between.
std::wstring comparable(const std::wstring& rel)
{
    std::wstring key;
    for (const std::wstring& part : named_parts(rel)) key += (key.empty() ? L"" : L"\\") + part;
    return key;
}

bool may_be_an_alias(const std::wstring& name)
{
    // Short names hold a tilde; the platform trims trailing dots and spaces.
    return name.find(L'~') != std::wstring::npos || name.back() == L'.' || name.back() == L' ';
}

enum class installed_kind { missing, file, folder, other_name };

struct C_installed {
    installed_kind kind = installed_kind::missing;
    std::wstring rel;  // with the stored names, for a file or a folder
};

// What `parts` name below `dest_dir`, found in the listings of its folders, so
// that the path comes out with the names as stored. An item the platform would
// find by a spelling the listing does not hold is another name for it.
C_installed find_installed(C_folder_listings& listings, const std::wstring& dest_dir,
                           const std::vector<std::wstring>& parts)
{
    C_installed found;
    std::wstring folder = dest_dir;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::wstring& part = parts[i];
        const C_listed_folder& listed = listings.folder(folder);
        if (!listed.complete) {
            std::wstring rest = folder;
            for (std::size_t j = i; j < parts.size(); ++j) rest = path_join(rest, parts[j]);
            found.kind = get_path_kind(rest) == path_kind::missing ? installed_kind::missing : installed_kind::other_name;
            return found;
        }
        // Names equal but for letter case stand side by side only in a
        // case-sensitive folder, where the platform takes the one spelt exactly.
        const dir_entry* item = nullptr;
        std::size_t matches = 0;
        for (const dir_entry* candidate : listed.named(part)) {
            if (!names_equal(candidate->path, part)) continue;
            ++matches;
            if (!item || candidate->path == part) item = candidate;
        }
        if (matches > 1 && item->path != part) item = nullptr;
        if (!item) {
            const bool reached = (matches > 1 || may_be_an_alias(part)) &&
                                 get_path_kind(path_join(folder, part)) != path_kind::missing;
            found.kind = reached ? installed_kind::other_name : installed_kind::missing;
            return found;
        }
        folder = path_join(folder, item->path);
        found.rel = found.rel.empty() ? item->path : path_join(found.rel, item->path);
        if (!item->is_folder && i + 1 < parts.size()) {
            // A file where a folder of the path would be: nothing can lie below it.
            found.kind = installed_kind::missing;
            return found;
        }
        found.kind = item->is_folder ? installed_kind::folder : installed_kind::file;
    }
    return found;
}

std::wstring form_problem(const std::wstring& entry, int position)
{
    switch (delete_entry_form_of(entry)) {
    case delete_entry_form::empty: return msg_delete_entry_empty(position);
    case delete_entry_form::outside: return msg_delete_entry_outside(position);
    case delete_entry_form::in_work_folder: return msg_delete_entry_in_work_folder(position);
    case delete_entry_form::names_a_file: break;
    }
    return std::wstring();
}

}  // namespace

std::vector<C_delete_problem> find_delete_entry_form_problems(const std::vector<std::wstring>& delete_files)
{
    std::vector<C_delete_problem> problems;
    int position = 0;
    for (const std::wstring& entry : delete_files) {
        std::wstring problem = form_problem(entry, ++position);
        if (!problem.empty()) problems.push_back({position, std::move(problem)});
    }
    return problems;
}

C_removal_plan plan_removed_files(C_folder_listings& listings, const std::wstring& dest_dir,
                                  const std::vector<std::wstring>& delete_files,
                                  const std::vector<C_copy_item>& copied)
{
    C_removal_plan plan;
    path_set written;
    for (const C_copy_item& item : copied) written.insert(comparable(item.rel));
    path_set taken;
    int position = 0;
    for (const std::wstring& entry : delete_files) {
        ++position;
        std::wstring problem = form_problem(entry, position);
        if (problem.empty()) {
            const C_installed installed = find_installed(listings, dest_dir, named_parts(entry));
            switch (installed.kind) {
            case installed_kind::missing: break;
            case installed_kind::folder: problem = msg_delete_entry_is_folder(position, path_join(dest_dir, entry)); break;
            case installed_kind::other_name:
                problem = msg_delete_entry_other_name(position, path_join(dest_dir, entry));
                break;
            case installed_kind::file:
                if (!written.count(installed.rel) && taken.insert(installed.rel).second) {
                    plan.files.push_back({installed.rel, position});
                }
                break;
            }
        }
        if (!problem.empty()) plan.problems.push_back({position, std::move(problem)});
    }
    return plan;
}
