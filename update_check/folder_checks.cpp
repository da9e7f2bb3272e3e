#include "update_check/folder_checks.h"

#include <map>
#include <set>

#include "update_core/reg_path_form.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"

namespace {

struct C_name_order {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return names_less(a, b); }
};

}  // namespace

std::vector<C_check_finding> review_reg_path(const std::wstring& reg_path, int line)
{
    const std::wstring problem = reg_path_problem(reg_path);
    if (problem.empty()) return {};
    return {C_check_finding{finding_level::error, L"update.ini", line, L"#REG_PATH " + problem}};
}

std::vector<C_check_finding> check_updater_present(const std::wstring& folder)
{
    if (get_path_kind(path_join(folder, L"update.exe")) == path_kind::file) return {};
    return {error_at(L"update.exe", L"missing beside update.ini and gamedata; players would have no updater to run")};
}

std::vector<C_check_finding> find_case_clashes(const std::wstring& source_folder, const std::vector<dir_entry>& files)
{
    // The first spelling of every file and folder, by the name the file system sees.
    std::map<std::wstring, std::wstring, C_name_order> first_spelling;
    std::set<std::wstring> reported;
    std::vector<C_check_finding> findings;
    for (const auto& file : files) {
        for (std::size_t end = file.path.find(L'\\');; end = file.path.find(L'\\', end + 1)) {
            const std::wstring path = file.path.substr(0, end);
            const auto met = first_spelling.emplace(path, path).first;
            if (met->second != path && reported.insert(path).second) {
                findings.push_back(error_at(path_join(source_folder, path),
                                            L"differs from " + path_join(source_folder, met->second) +
                                                L" only in letter case; Windows keeps one of them, and players get "
                                                L"whichever is copied last"));
            }
            if (end == std::wstring::npos) break;
        }
    }
    return findings;
}
