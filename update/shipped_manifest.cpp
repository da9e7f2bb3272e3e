#include "update/shipped_manifest.h"

#include <climits>
#include <memory>
#include <new>
#include <string>

#include "file/file.h"
#include "update/message_helpers.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"

namespace {

std::unique_ptr<C_manifest_index> loaded;

bool read_bytes(const std::wstring& path, std::string& bytes)
{
    C_file file;
    if (!file.open(path, L"rb") || file.size > INT_MAX) return false;
    bytes.assign(static_cast<std::size_t>(file.size), '\0');
    const int n = file_read(bytes.empty() ? nullptr : &bytes[0], static_cast<int>(bytes.size()), file.stream);
    return n == static_cast<int>(bytes.size());
}

// The file a manifest line names, looked for in its folder's listing.
const dir_entry* listed_file(C_folder_listings& listings, const std::wstring& source_dir, const std::wstring& rel)
{
    const std::wstring name = path_get_file_name(rel);
    const std::wstring folder = name.size() < rel.size() ? path_join(source_dir, path_get_folder(rel)) : source_dir;
    const C_listed_folder& listed = listings.folder(folder);
    const dir_entry* found = nullptr;
    for (const dir_entry* item : listed.named(name)) {
        if (!item->is_folder && names_equal(item->path, name) && (!found || item->path == name)) found = item;
    }
    return found;
}

// The first file that is not as the manifest lists it, told as the player is
// told; empty when every file is.
std::wstring first_damaged_file(const C_manifest_index& index, const std::vector<C_copy_entry>& entries,
                                C_folder_listings& listings, const std::wstring& source_dir)
{
    std::vector<bool> seen(index.files().size(), false);
    for (const C_copy_entry& entry : entries) {
        for (const C_copy_item& file : entry.files) {
            const std::size_t at = index.position(file.rel);
            // A file the manifest does not list is not the update that was made.
            if (at == seen.size() || index.files()[at].size != file.size) {
                return msg_update_file_damaged(path_join(source_dir, file.rel));
            }
            seen[at] = true;
        }
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i]) continue;
        const C_manifest_file& listed = index.files()[i];
        const dir_entry* found = listed_file(listings, source_dir, listed.rel);
        if (!found) return msg_update_file_missing(path_join(source_dir, listed.rel));
        if (found->size != listed.size) return msg_update_file_damaged(path_join(source_dir, listed.rel));
    }
    return std::wstring();
}

// The manifest's problem as the player is told it; empty when it was read.
std::wstring load_manifest(C_manifest_index& index)
{
    std::string bytes;
    if (get_path_kind(MANIFEST_FILE) != path_kind::file || !read_bytes(MANIFEST_FILE, bytes)) {
        return msg_manifest_unreadable(0);
    }
    C_manifest manifest = read_manifest(bytes);
    if (manifest.problem == manifest_problem::outside) return msg_manifest_outside(manifest.problem_line);
    if (manifest.problem != manifest_problem::none) return msg_manifest_unreadable(manifest.problem_line);
    int clash_line = 0;
    if (!index.build(std::move(manifest.files), clash_line)) return msg_manifest_unreadable(clash_line);
    return std::wstring();
}

}  // namespace

bool check_shipped_files(const std::vector<C_copy_entry>& entries, C_folder_listings& listings)
{
    forget_shipped_manifest();
    // Relative: start-up has made the updater's own folder the current directory.
    if (get_path_kind(MANIFEST_FILE) == path_kind::missing) return true;
    std::wstring problem;
    auto index = std::make_unique<C_manifest_index>();
    try {
        problem = load_manifest(*index);
        if (problem.empty()) problem = first_damaged_file(*index, entries, listings, UpdateSettings.source_dir);
    } catch (const std::bad_alloc&) {
        problem = msg_manifest_unreadable(0);
    }
    if (!problem.empty()) {
        report_failure(problem);
        return false;
    }
    loaded = std::move(index);
    return true;
}

const C_manifest_index* shipped_manifest()
{
    return loaded.get();
}

void forget_shipped_manifest()
{
    loaded.reset();
}
