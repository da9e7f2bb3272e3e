#include "update_check/folder_checks.h"

#include <windows.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "program_version.h"
#include "update_core/reg_path_form.h"
#include "util/fs/entry_path.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"
#include "util/text/composed_form.h"
#include "util/text/text.h"

namespace {

const wchar_t* const UPDATER = L"update.exe";

// Windows' limit on a whole path, and what an installation folder's own path
// should be left of it.
const std::size_t PATH_LIMIT = 260;
const std::size_t ROOM_FOR_INSTALLATION = 100;

struct C_name_order {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return names_less(a, b); }
};

std::wstring code_points(const std::wstring& text)
{
    std::wstring shown;
    for (wchar_t c : text) shown += format_text(shown.empty() ? L"U+%04X" : L" U+%04X", static_cast<unsigned>(c));
    return shown;
}

// "U+0065 U+0301 for U+00E9": where a name and its composed form differ.
std::wstring decomposed_part(const std::wstring& name, const std::wstring& composed)
{
    std::size_t head = 0;
    while (head < name.size() && head < composed.size() && name[head] == composed[head]) ++head;
    std::size_t tail = 0;
    while (tail < name.size() - head && tail < composed.size() - head &&
           name[name.size() - 1 - tail] == composed[composed.size() - 1 - tail]) {
        ++tail;
    }
    return code_points(name.substr(head, name.size() - head - tail)) + L" for " +
           code_points(composed.substr(head, composed.size() - head - tail));
}

// Why Windows cannot hold `name` as the game names it; empty when it can.
std::pair<finding_kind, std::wstring> name_problem(const std::wstring& name)
{
    const std::wstring device = path_device_name(name);
    if (!device.empty()) {
        return {finding_kind::name_device,
                L"a device's name to Windows, so no file or folder can have it; rename it"};
    }
    const std::wstring composed = composed_form(name);
    if (composed != name) {
        return {finding_kind::name_decomposed,
                L"a name in decomposed Unicode (" + decomposed_part(name, composed) +
                    L"), as a Mac writes names: Windows holds it apart from the composed name the game opens, so "
                    L"players keep the old file; rename it in composed form"};
    }
    return {finding_kind::name_device, std::wstring()};
}

}  // namespace

std::vector<C_check_finding> review_reg_path(const std::wstring& reg_path, int line)
{
    const std::wstring problem = reg_path_problem(reg_path);
    if (problem.empty()) return {};
    return {finding_on(finding_kind::reg_path_form, L"update.ini", line, L"#REG_PATH " + problem)};
}

std::vector<C_check_finding> check_updater_present(const std::wstring& folder)
{
    if (get_path_kind(path_join(folder, UPDATER)) == path_kind::file) return {};
    return {finding_at(finding_kind::updater_missing, UPDATER,
                       L"missing beside update.ini and gamedata; players would have no updater to run")};
}

std::vector<C_check_finding> check_updater_version(const std::wstring& folder)
{
    const std::wstring updater = path_join(folder, UPDATER);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(updater.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> record(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixed_size = 0;
    if (!GetFileVersionInfoW(updater.c_str(), 0, size, record.data()) ||
        !VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) || !fixed ||
        fixed_size < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    const DWORD own_ms = (UPDATER_VERSION_MAJOR << 16) | UPDATER_VERSION_MINOR;
    const DWORD own_ls = UPDATER_VERSION_PATCH << 16;
    if (fixed->dwFileVersionMS == own_ms && fixed->dwFileVersionLS == own_ls) return {};
    std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                           std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                           std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    if (LOWORD(fixed->dwFileVersionLS) != 0) version += L"." + std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    return {finding_at(finding_kind::updater_version, UPDATER,
                       L"version " + version + L" by its version record, not " L"" UPDATER_VERSION_TEXT
                       L" as this build's checker and maker; ship the update.exe of their build")};
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
                findings.push_back(finding_at(finding_kind::name_case_clash, path_join(source_folder, path),
                                              L"differs from " + path_join(source_folder, met->second) +
                                                  L" only in letter case; Windows keeps one of them, and players "
                                                  L"get whichever is copied last"));
            }
            if (end == std::wstring::npos) break;
        }
    }
    return findings;
}

std::vector<C_check_finding> find_unholdable_names(const std::wstring& folder, const std::vector<std::wstring>& rels)
{
    std::set<std::wstring> seen;  // paths whose last name was looked at
    std::vector<C_check_finding> findings;
    for (const auto& rel : rels) {
        std::size_t begin = 0;
        for (std::size_t end = rel.find(L'\\');; end = rel.find(L'\\', end + 1)) {
            const std::wstring path = rel.substr(0, end);
            if (seen.insert(path).second) {
                const auto problem = name_problem(path.substr(begin));
                if (!problem.second.empty()) {
                    findings.push_back(finding_at(problem.first, path_join(folder, path), problem.second));
                }
            }
            if (end == std::wstring::npos) break;
            begin = end + 1;
        }
    }
    return findings;
}

std::vector<C_check_finding> review_path_length(const std::wstring& place, const std::wstring& rel)
{
    // The installation's path, a separator and `rel` must stay below the limit,
    // which counts the closing zero.
    const std::size_t used = rel.size() + 1 + 1;
    if (used + ROOM_FOR_INSTALLATION <= PATH_LIMIT) return {};
    const std::wstring left =
        used >= PATH_LIMIT ? L"none" : L"only " + std::to_wstring(PATH_LIMIT - used) + L" characters";
    return {finding_at(finding_kind::path_long, place,
                       std::to_wstring(rel.size()) + L" characters inside the update, which leave the players' "
                       L"installation folder " + left + L" of Windows' 260 for its own path; where it is longer, "
                       L"players' updaters may fail on this file")};
}
