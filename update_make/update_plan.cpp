#include "update_make/update_plan.h"

#include <map>

C_update_plan plan_update_entries(const std::vector<C_release_file>& files,
                                  const std::function<path_kind(const std::wstring&)>& old_kind)
{
    C_update_plan plan;
    // Files of one folder share its spelling, so an exact key finds it again.
    std::map<std::wstring, path_kind> kinds;
    const auto kind_of = [&](const std::wstring& rel) {
        const auto found = kinds.find(rel);
        return found != kinds.end() ? found->second : kinds.emplace(rel, old_kind(rel)).first->second;
    };

    std::wstring folder_entry;  // the last one made; the files below it follow on
    for (const C_release_file& file : files) {
        if (!folder_entry.empty() && file.rel.compare(0, folder_entry.size() + 1, folder_entry + L"\\") == 0) continue;

        bool placed = false;
        for (auto slash = file.rel.find(L'\\'); slash != std::wstring::npos && !placed;
             slash = file.rel.find(L'\\', slash + 1)) {
            const std::wstring folder = file.rel.substr(0, slash);
            switch (kind_of(folder)) {
            case path_kind::folder:
                break;
            case path_kind::missing:
                folder_entry = folder;
                plan.entries.push_back(folder);
                placed = true;
                break;
            case path_kind::file:
                plan.blocked.push_back({file.rel, folder});
                placed = true;
                break;
            }
        }
        if (placed) continue;
        if (!file.in_old && kind_of(file.rel) == path_kind::folder) {
            plan.blocked.push_back({file.rel, file.rel});
        } else {
            plan.entries.push_back(file.rel);
        }
    }
    return plan;
}
