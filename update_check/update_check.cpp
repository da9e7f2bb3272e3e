#include "update_check/update_check.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <map>
#include <new>
#include <utility>

#include "update_core/work_folder.h"
#include "file/file.h"
#include "update_check/delete_review.h"
#include "update_check/folder_checks.h"
#include "update_check/manifest_check.h"
#include "update_check/path_key.h"
#include "update_check/script_bytes.h"
#include "update_check/script_review.h"
#include "update_core/copy_entry.h"
#include "update_core/game_files.h"
#include "update_core/messages.h"
#include "update_core/script_values.h"
#include "update_core/source_check.h"
#include "util/text/code_page_932.h"
#include "util/fs/dir_list.h"
#include "util/fs/folder_listings.h"
#include "util/fs/full_path.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"
#include "util/text/text_file.h"

namespace {

const wchar_t* const SCRIPT_FILE = L"update.ini";
const wchar_t* const SOURCE_FOLDER = L"gamedata";
const std::uint64_t FOUR_GIB = 1ull << 32;

C_check_finding script_finding(finding_kind kind, int line, std::wstring text)
{
    return finding_on(kind, SCRIPT_FILE, line, std::move(text));
}

finding_kind kind_of(source_problem problem)
{
    switch (problem) {
    case source_problem::no_source_folder: return finding_kind::source_folder_missing;
    case source_problem::entry_empty: return finding_kind::entry_empty;
    case source_problem::entry_outside: return finding_kind::entry_outside;
    case source_problem::entry_missing: break;
    }
    return finding_kind::entry_missing;
}

// Files no player wants, which a folder entry ships without a word.
struct C_unwanted_file {
    const wchar_t* pattern;  // a name, or "*" and an extension
    const wchar_t* what;
};

const C_unwanted_file UNWANTED_FILES[] = {
    {L"Thumbs.db", L"Windows Explorer's thumbnail cache"},
    {L"desktop.ini", L"Windows Explorer's folder settings"},
    {L".DS_Store", L"a Mac's folder settings"},
    {L"*.bak", L"a backup copy"},
};

const wchar_t* unwanted_file(const std::wstring& rel)
{
    const std::wstring name = path_get_file_name(rel);
    for (const auto& unwanted : UNWANTED_FILES) {
        const std::wstring pattern = unwanted.pattern;
        const bool fits = pattern[0] == L'*' ? name.size() > pattern.size() - 1 &&
                                                   names_equal(name.substr(name.size() - (pattern.size() - 1)),
                                                               pattern.substr(1))
                                             : names_equal(name, pattern);
        if (fits) return unwanted.what;
    }
    return nullptr;
}

// Findings of one kind read best in line order; equal lines keep their order.
void sort_by_line(std::vector<C_check_finding>& findings)
{
    std::stable_sort(findings.begin(), findings.end(),
                     [](const C_check_finding& a, const C_check_finding& b) { return a.line < b.line; });
}

void append(std::vector<C_check_finding>& to, std::vector<C_check_finding> from)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

bool read_bytes(const std::wstring& path, std::string& bytes)
{
    C_file file;
    if (!file.open(path, L"rb") || file.size > INT_MAX) return false;
    bytes.assign(static_cast<std::size_t>(file.size), '\0');
    const int n = file_read(bytes.empty() ? nullptr : &bytes[0], static_cast<int>(bytes.size()), file.stream);
    bytes.resize(static_cast<std::size_t>(n));
    return true;
}

// An entry that passes the source check, with what the copy lists for it.
struct C_accepted_entry {
    int line = 0;
    std::wstring key;
    C_copy_entry place;
};

// The game's engine below a folder of gamedata: the update was laid out one
// level too deep, and players would get the folder beside the game's files.
std::vector<C_check_finding> review_engine_depth(const C_accepted_entry& entry)
{
    for (const auto& file : entry.place.files) {
        if (file.rel.find(L'\\') == std::wstring::npos || !names_equal(path_get_file_name(file.rel), ENGINE_EXE)) {
            continue;
        }
        const std::wstring folder = path_get_folder(file.rel);
        return {script_finding(finding_kind::engine_too_deep, entry.line,
                               L"copies the game's engine " + path_join(SOURCE_FOLDER, file.rel) +
                                   L": gamedata is laid out too deep, and players would get a folder " + folder +
                                   L" in the game's folder; move what " + path_join(SOURCE_FOLDER, folder) +
                                   L" holds up into gamedata")};
    }
    return {};
}

// Entries that pass the source check: what they copy, entries given twice, file
// entries that a folder entry copies already, folders with nothing to copy,
// the game's engine below the top.
std::vector<C_check_finding> review_entries(const std::vector<C_accepted_entry>& entries)
{
    // The first entry of each path, and the first folder entry; looked up by key
    // so that scripts with thousands of entries take no longer than their listing.
    std::map<std::wstring, const C_accepted_entry*> first;
    std::map<std::wstring, const C_accepted_entry*> folders;
    for (const auto& entry : entries) {
        first.emplace(entry.key, &entry);
        if (entry.place.kind == path_kind::folder) folders.emplace(entry.key, &entry);
    }

    std::vector<C_check_finding> findings;
    for (const auto& entry : entries) {
        const C_accepted_entry* same = first[entry.key];
        // The outermost folder entry that holds this one.
        const C_accepted_entry* covering = nullptr;
        for (auto slash = entry.key.find(L'\\'); slash != std::wstring::npos && !covering;
             slash = entry.key.find(L'\\', slash + 1)) {
            const auto folder = folders.find(entry.key.substr(0, slash));
            if (folder != folders.end()) covering = folder->second;
        }
        if (same != &entry) {
            findings.push_back(script_finding(finding_kind::entry_repeated, entry.line,
                                              L"the same entry as line " + std::to_wstring(same->line) +
                                                  L"; it is copied twice"));
        } else if (covering) {
            findings.push_back(script_finding(finding_kind::entry_covered, entry.line,
                                              L"already copied by the folder entry on line " +
                                                  std::to_wstring(covering->line)));
        }
        if (entry.place.kind == path_kind::folder && entry.place.files.empty()) {
            findings.push_back(script_finding(finding_kind::entry_copies_nothing, entry.line,
                                              L"the folder holds no files; the entry copies nothing"));
        }
        append(findings, review_engine_depth(entry));
    }
    return findings;
}

// Files that no player wants, shipped by a folder entry; one finding per file.
std::vector<C_check_finding> review_unwanted_files(const std::vector<C_accepted_entry>& entries)
{
    std::map<std::wstring, C_check_finding> by_path;  // in path order, each file once
    for (const auto& entry : entries) {
        if (entry.place.kind != path_kind::folder) continue;
        for (const auto& file : entry.place.files) {
            const wchar_t* what = unwanted_file(file.rel);
            if (!what) continue;
            by_path.emplace(path_key(file.rel),
                            finding_at(finding_kind::file_unwanted, path_join(SOURCE_FOLDER, file.rel),
                                       std::wstring(what) + L", which no player wants; the folder entry on line " +
                                           std::to_wstring(entry.line) + L" ships it"));
        }
    }
    std::vector<C_check_finding> findings;
    for (auto& item : by_path) findings.push_back(std::move(item.second));
    return findings;
}

// Every file below gamedata, from the listings the entries were read from:
// those no entry copies, and those of 4 GiB or more.
std::vector<C_check_finding> review_source_files(C_folder_listings& listings, const std::wstring& folder,
                                                 const std::map<std::wstring, int>& copied)
{
    std::vector<C_check_finding> findings;
    std::vector<dir_entry> files;
    listings.for_each_file(path_join(folder, SOURCE_FOLDER), [&files](const std::wstring& rel, const dir_entry& file) {
        files.push_back(dir_entry{rel, false, file.size});
    });
    append(findings, find_case_clashes(SOURCE_FOLDER, files));
    std::vector<std::wstring> rels;
    for (const auto& file : files) rels.push_back(file.path);
    append(findings, find_unholdable_names(SOURCE_FOLDER, rels));
    std::map<std::wstring, const dir_entry*> sorted;
    for (const auto& file : files) sorted[path_key(file.path)] = &file;
    for (const auto& item : sorted) {
        const dir_entry& file = *item.second;
        const std::wstring place = path_join(SOURCE_FOLDER, file.path);
        if (file.size >= FOUR_GIB) {
            findings.push_back(finding_at(finding_kind::file_over_4gib, place,
                                          L"4 GiB or larger (" + std::to_wstring(file.size) +
                                              L" bytes); drives formatted FAT32 cannot hold it"));
        }
        if (!copied.count(item.first)) {
            findings.push_back(
                finding_at(finding_kind::file_not_copied, place, L"no entry copies this file; it is not shipped"));
        } else {
            append(findings, review_path_length(place, file.path));
        }
    }
    return findings;
}

void check_script_and_sources(const std::wstring& folder, const std::string& bytes, const std::wstring& text,
                              C_check_result& result)
{
    C_script_review review = review_script(text);
    std::vector<C_check_finding> by_line = review_script_bytes(bytes);
    append(by_line, std::move(review.findings));
    sort_by_line(by_line);
    append(result.findings, std::move(by_line));

    for (const C_missing_value& missing : missing_script_values(review.values)) {
        const int line = missing.key == script_line_kind::reg_path       ? review.reg_path_line
                         : missing.key == script_line_kind::update_title ? review.update_title_line
                                                                          : review.game_title_line;
        result.findings.push_back(script_finding(finding_kind::value_missing, line, missing.message));
    }
    append(result.findings, review_reg_path(review.values.reg_path, review.reg_path_line));

    const std::vector<std::wstring>& entries = review.values.copy_files;
    std::vector<bool> refused(entries.size(), false);
    std::vector<C_check_finding> entry_findings;
    // The updater's own source check; what it listed serves the rest of the check.
    C_folder_listings listings;
    std::vector<C_copy_entry> listed;
    const std::vector<C_source_finding> problems =
        find_source_problems(listings, path_join(folder, SOURCE_FOLDER), SOURCE_FOLDER, entries, &listed);
    listed.resize(entries.size());  // without gamedata, every entry lists as missing
    for (const C_source_finding& problem : problems) {
        if (problem.entry <= 0) {
            result.findings.push_back(finding_at(kind_of(problem.problem), SOURCE_FOLDER, problem.message));
            continue;
        }
        const auto index = static_cast<std::size_t>(problem.entry - 1);
        refused[index] = true;
        entry_findings.push_back(script_finding(kind_of(problem.problem), review.entry_lines[index], problem.message));
    }

    std::vector<C_accepted_entry> accepted;
    C_shipped_paths shipped;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (refused[i]) continue;
        C_accepted_entry entry;
        entry.line = review.entry_lines[i];
        entry.key = path_key(entries[i]);
        entry.place = std::move(listed[i]);
        result.copied_files += entry.place.files.size();
        result.copied_bytes += entry.place.total_size;
        for (const auto& item : entry.place.files) shipped.files.emplace(path_key(item.rel), entry.line);
        if (entry.place.kind == path_kind::folder) shipped.folders.emplace(entry.key, entry.line);
        // The updater keeps its journal and the files it replaces there, and refuses to copy into it.
        if (!entry.place.files.empty() && lands_in_work_folder(entry.place.rel)) {
            entry_findings.push_back(script_finding(finding_kind::entry_in_work_folder, entry.line,
                                                    std::wstring(L"copies into \"") + UPDATE_WORK_FOLDER +
                                                        L"\", where the updater keeps the files it "
                                                        L"replaces; the updater refuses to copy it"));
        }
        accepted.push_back(std::move(entry));
    }
    append(entry_findings, review_entries(accepted));
    C_delete_review removals = review_delete_entries(review.values.delete_files, review.delete_lines, shipped);
    append(entry_findings, std::move(removals.findings));
    result.removed_files = removals.removed_files;
    sort_by_line(entry_findings);
    append(result.findings, std::move(entry_findings));
    append(result.findings, review_unwanted_files(accepted));
    append(result.findings, review_source_files(listings, folder, shipped.files));
    append(result.findings, check_manifest(listings, folder));
}

}  // namespace

C_check_result check_update_folder(const std::wstring& folder)
{
    C_check_result result;
    // Absolute, so that a drive alone ("D:") stands for its current folder there.
    const std::wstring base = full_path(folder);
    const bool is_folder = get_path_kind(base) == path_kind::folder;
    const std::wstring script = path_join(base, SCRIPT_FILE);
    std::string bytes;
    std::wstring text;
    bool readable = false;
    try {
        // The same loader and code page as the updater on a Japanese system; the
        // bytes once more for what the decoder hides.
        readable = is_folder && read_bytes(script, bytes) && read_text_file(script, text, CODE_PAGE_932);
        if (readable) check_script_and_sources(base, bytes, text, result);
    } catch (const std::bad_alloc&) {
        readable = false;
        result = C_check_result();
    }
    if (!readable) result.findings.push_back(script_finding(finding_kind::script_unreadable, 0, MSG_SCRIPT_NOT_FOUND));
    if (is_folder) {
        append(result.findings, check_updater_present(base));
        append(result.findings, check_updater_version(base));
    }
    return result;
}
