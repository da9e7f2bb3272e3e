#include "update_make/update_plan.h"

#include <map>
#include <set>

#include "util/fs/stored_name.h"

namespace {

struct C_names_order {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return names_less(a, b); }
};

}  // namespace

C_update_plan plan_update_entries(const std::vector<C_release_file>& files,
                                  const std::function<path_kind(const std::wstring&)>& old_kind,
                                  const std::vector<std::wstring>& removed)
{
    C_update_plan plan;
    // Every folder above a removed file, spelt as OLD or NEW may spell it.
    std::set<std::wstring, C_names_order> holding_removed;
    for (const std::wstring& rel : removed) {
        for (auto slash = rel.find(L'\\'); slash != std::wstring::npos; slash = rel.find(L'\\', slash + 1)) {
            holding_removed.insert(rel.substr(0, slash));
        }
    }

    // Files of one folder share its spelling, so an exact key finds it again.
    std::map<std::wstring, path_kind> kinds;
    const auto kind_of = [&](const std::wstring& rel) {
        const auto found = kinds.find(rel);
        return found != kinds.end() ? found->second : kinds.emplace(rel, old_kind(rel)).first->second;
    };

    std::wstring folder_entry;  // the last one made; the files below it follow on in path order
    for (const C_release_file& file : files) {
        // OLD may hold a file where this file's folders go; below a folder that
        // OLD lacks, nothing more of OLD stands in the way.
        bool blocked = false;
        bool in_new_folder = false;
        for (auto slash = file.rel.find(L'\\'); slash != std::wstring::npos && !blocked && !in_new_folder;
             slash = file.rel.find(L'\\', slash + 1)) {
            const std::wstring folder = file.rel.substr(0, slash);
            const path_kind kind = kind_of(folder);
            in_new_folder = kind == path_kind::missing;
            if (kind == path_kind::file) {
                plan.blocked.push_back({file.rel, folder});
                blocked = true;
            }
        }
        if (blocked) continue;
        if (!file.in_old && !in_new_folder && kind_of(file.rel) == path_kind::folder) {
            plan.blocked.push_back({file.rel, file.rel});
            continue;
        }

        // The outermost folder above the file that holds no removed file.
        auto slash = file.rel.find(L'\\');
        while (slash != std::wstring::npos && holding_removed.count(file.rel.substr(0, slash))) {
            slash = file.rel.find(L'\\', slash + 1);
        }
        if (slash == std::wstring::npos) {
            plan.entries.push_back(file.rel);
            continue;
        }
        const std::wstring folder = file.rel.substr(0, slash);
        if (folder != folder_entry) {
            folder_entry = folder;
            plan.entries.push_back(folder);
        }
    }
    return plan;
}
