#include "update_make/release_checks.h"

#include <windows.h>

#include <utility>

#include "file/error_text.h"
#include "update_core/game_files.h"
#include "util/fs/entry_path.h"
#include "util/fs/folder_walk.h"
#include "util/fs/long_path.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

bool holds_engine(const std::wstring& folder)
{
    return get_path_kind(path_join(long_path_form(folder), ENGINE_EXE)) == path_kind::file;
}

// The first folder directly inside `folder` that holds the engine, if any.
std::wstring folder_below_with_engine(const std::wstring& folder)
{
    for (C_folder_walk walk(long_path_form(folder) + L"\\*"); !walk.done(); walk.next()) {
        if (walk.is_folder() && holds_engine(path_join(folder, walk.name()))) return path_join(folder, walk.name());
    }
    return std::wstring();
}

}  // namespace

std::vector<C_check_finding> check_release_tops(const std::wstring& old_dir, const std::wstring& new_dir)
{
    const auto suggestion = [](const std::wstring& folder) {
        const std::wstring below = folder_below_with_engine(folder);
        return below.empty() ? std::wstring() : L" (" + below + L"?)";
    };
    std::vector<C_check_finding> findings;
    if (!holds_engine(new_dir)) {
        findings.push_back(finding_at(finding_kind::engine_missing, path_join(new_dir, ENGINE_EXE),
                                      L"missing: give the game's own folder as NEW, with " + std::wstring(ENGINE_EXE) +
                                          L" at its top" + suggestion(new_dir) +
                                          L"; this update would land beside the game, not in it"));
    }
    if (!holds_engine(old_dir)) {
        findings.push_back(finding_at(finding_kind::engine_missing, path_join(old_dir, ENGINE_EXE),
                                      L"missing: give the game's folder as installed as OLD" + suggestion(old_dir) +
                                          L"; otherwise every file of NEW looks new"));
    }
    return findings;
}

std::vector<C_check_finding> review_release_listing(const std::wstring& folder, const C_release_listing& listing,
                                                    finding_kind link_kind)
{
    std::vector<C_check_finding> findings;
    for (const auto& unlisted : listing.unlisted) {
        std::wstring text = L"cannot be listed: " + system_error_text(unlisted.error);
        if (path_has_trimmed_name(unlisted.rel)) {
            text += L" (a name ending in a dot or a space, which Windows cannot hold; rename it)";
        }
        findings.push_back(finding_at(finding_kind::folder_unlisted,
                                      unlisted.rel.empty() ? folder : path_join(folder, unlisted.rel), text));
    }
    const std::wstring what = link_kind == finding_kind::link_in_new
                                  ? L"; copy in what it points to, or leave it out with --exclude"
                                  : L"";
    for (const auto& link : listing.links) {
        findings.push_back(finding_at(link_kind, path_join(folder, link),
                                      L"a link to a folder (a junction or a symbolic link); not followed, so "
                                      L"nothing below it is compared or shipped" + what));
    }
    return findings;
}

std::vector<C_check_finding> review_empty_folders(const std::wstring& old_opened, const std::wstring& new_dir,
                                                  const std::vector<std::wstring>& empty_folders)
{
    std::vector<C_check_finding> findings;
    for (const auto& rel : empty_folders) {
        if (get_path_kind(path_join(old_opened, rel)) == path_kind::folder) continue;
        findings.push_back(finding_at(finding_kind::empty_folder, path_join(new_dir, rel),
                                      L"an empty folder; update.exe copies files only, so players do not get it"));
    }
    return findings;
}

std::vector<C_check_finding> review_unused_excludes(const std::wstring& old_dir, const std::wstring& new_dir,
                                                    const std::vector<std::wstring>& unused)
{
    std::vector<C_check_finding> findings;
    for (const auto& pattern : unused) {
        findings.push_back(finding_at(finding_kind::exclude_unused, L"--exclude " + pattern,
                                      L"leaves nothing out of " + old_dir + L" or " + new_dir));
    }
    return findings;
}
