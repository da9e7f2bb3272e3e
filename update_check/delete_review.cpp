#include "update_check/delete_review.h"

#include <utility>

#include "update_check/path_key.h"
#include "update_core/delete_entry_form.h"
#include "update_core/removed_files.h"

namespace {

const wchar_t* const SCRIPT_FILE = L"update.ini";

C_check_finding at_line(finding_kind kind, int line, std::wstring text)
{
    return finding_on(kind, SCRIPT_FILE, line, std::move(text));
}

finding_kind form_kind(const std::wstring& entry)
{
    switch (delete_entry_form_of(entry)) {
    case delete_entry_form::outside: return finding_kind::delete_outside;
    case delete_entry_form::in_work_folder: return finding_kind::delete_in_work_folder;
    default: return finding_kind::delete_empty;
    }
}

std::wstring line_text(int line)
{
    return L"line " + std::to_wstring(line);
}

// The line of the first copied file below the folder `key`, or 0.
int first_file_below(const std::map<std::wstring, int>& files, const std::wstring& key)
{
    const std::wstring prefix = key + L"\\";
    const auto below = files.lower_bound(prefix);
    if (below == files.end() || below->first.compare(0, prefix.size(), prefix) != 0) return 0;
    return below->second;
}

// The line of the outermost folder entry that holds `key`, or 0.
int folder_entry_above(const std::map<std::wstring, int>& folders, const std::wstring& key)
{
    for (auto slash = key.find(L'\\'); slash != std::wstring::npos; slash = key.find(L'\\', slash + 1)) {
        const auto folder = folders.find(key.substr(0, slash));
        if (folder != folders.end()) return folder->second;
    }
    return 0;
}

}  // namespace

C_delete_review review_delete_entries(const std::vector<std::wstring>& entries, const std::vector<int>& lines,
                                      const C_shipped_paths& shipped)
{
    C_delete_review review;
    std::vector<bool> refused(entries.size(), false);
    for (const C_delete_problem& problem : find_delete_entry_form_problems(entries)) {
        const auto index = static_cast<std::size_t>(problem.entry - 1);
        refused[index] = true;
        review.findings.push_back(at_line(form_kind(entries[index]), lines[index], problem.message));
    }

    std::map<std::wstring, int> first;  // each file's first entry
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (refused[i]) continue;
        const int line = lines[i];
        const std::wstring key = path_key(entries[i]);
        const auto copied = shipped.files.find(key);
        const auto folder = shipped.folders.find(key);
        const int file_below = first_file_below(shipped.files, key);
        if (copied != shipped.files.end()) {
            review.findings.push_back(at_line(finding_kind::delete_copied, line,
                                              L"names a file that the entry on " + line_text(copied->second) +
                                                  L" copies; update.exe replaces it instead of removing it, so leave "
                                                  L"out one of the two"));
            continue;
        }
        if (folder != shipped.folders.end() || file_below) {
            review.findings.push_back(at_line(
                finding_kind::delete_shipped_folder, line,
                L"names a folder that the entry on " +
                    line_text(folder != shipped.folders.end() ? folder->second : file_below) +
                    L" ships; update.exe removes files only and refuses a folder"));
            continue;
        }
        const auto earlier = first.emplace(key, line);
        if (!earlier.second) {
            review.findings.push_back(at_line(finding_kind::delete_repeated, line,
                                              L"the same file as " + line_text(earlier.first->second) +
                                                  L"; it is removed once"));
            continue;
        }
        ++review.removed_files;
        if (const int above = folder_entry_above(shipped.folders, key)) {
            review.findings.push_back(at_line(finding_kind::delete_in_shipped_folder, line,
                                              L"in the folder that the entry on " + line_text(above) +
                                                  L" ships; where players do not have that folder yet, the file "
                                                  L"removed is one of their own"));
        }
    }
    return review;
}
