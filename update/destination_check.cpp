#include "update/destination_check.h"

#include <windows.h>

#include <unordered_set>

#include "copy_engine/destination_links.h"
#include "copy_engine/journal_record.h"
#include "file/scoped_handle.h"
#include "update/message_box.h"
#include "update/message_helpers.h"
#include "update_core/messages.h"
#include "update_core/removed_files.h"
#include "update_core/update_settings.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

const std::uint64_t MEGABYTE = 1024 * 1024;

std::uint64_t in_clusters(std::uint64_t bytes, std::uint64_t cluster_size)
{
    return (bytes + cluster_size - 1) / cluster_size * cluster_size;
}

// The file at `rel` below `dest_dir` as its folder's listing shows it; null
// where there is none (a new file, or a folder in its place, which the copy reports).
const dir_entry* existing_file(C_folder_listings& listings, const std::wstring& dest_dir, const std::wstring& rel)
{
    const std::wstring name = path_get_file_name(rel);
    const std::wstring folder = name.size() < rel.size() ? path_join(dest_dir, path_get_folder(rel)) : dest_dir;
    const dir_entry* found = nullptr;
    for (const dir_entry* item : listings.folder(folder).named(name)) {
        if (names_equal(item->path, name) && (!found || item->path == name)) found = item;
    }
    return found && !found->is_folder ? found : nullptr;
}

enum class replaced_file { free, held, link };

// As the copy opens a file it replaces: for writing, shared with no one. The
// file opened shows too whether the name is a link to one elsewhere.
replaced_file look_at_replaced(const std::wstring& path, const std::wstring& rel, C_destination_links& links)
{
    const C_scoped_handle handle(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) return links.opened_elsewhere(rel, handle.get()) ? replaced_file::link : replaced_file::free;
    // Any other refusal is the copy's to report, as it always was.
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? replaced_file::held
                                                                             : replaced_file::free;
}

std::uint64_t cluster_size_of(const std::wstring& folder)
{
    wchar_t volume[MAX_PATH + 1] = {};
    DWORD sectors = 0, bytes = 0, free_clusters = 0, clusters = 0;
    if (!GetVolumePathNameW(folder.c_str(), volume, MAX_PATH) ||
        !GetDiskFreeSpaceW(volume, &sectors, &bytes, &free_clusters, &clusters) || sectors == 0 || bytes == 0) {
        return 1;
    }
    return static_cast<std::uint64_t>(sectors) * bytes;
}

// False after telling the player when the drive has less room for the caller
// than the copy writes. A drive that does not say is left to the copy.
bool room_for(const std::vector<const C_copy_item*>& files, const std::wstring& dest_dir)
{
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(dest_dir.c_str(), &available, nullptr, nullptr)) return true;
    const std::uint64_t needed = bytes_the_copy_writes(files, cluster_size_of(dest_dir));
    if (needed <= available.QuadPart) return true;
    // Rounded so that the figures never look as if the update fitted.
    report_failure(msg_not_enough_space((needed + MEGABYTE - 1) / MEGABYTE, available.QuadPart / MEGABYTE));
    return false;
}

}  // namespace

std::uint64_t bytes_the_copy_writes(const std::vector<const C_copy_item*>& files, std::uint64_t cluster_size)
{
    if (cluster_size == 0) cluster_size = 1;
    std::uint64_t data = 0;
    std::string record;
    std::uint64_t journal = journal_header_bytes(C_file_stamp()).size();
    const auto count_record = [&](journal_step step, const std::wstring& rel) {
        record.clear();
        C_journal_record counted;
        counted.step = step;
        counted.rel = rel;
        append_journal_record(counted, record);
        journal += record.size();
    };
    // Every folder a file lies in may be one the copy makes.
    std::unordered_set<std::wstring> folders;
    for (const C_copy_item* file : files) {
        data += in_clusters(file->size, cluster_size);
        count_record(journal_step::replace, file->rel);
        for (std::size_t slash = file->rel.find(L'\\'); slash != std::wstring::npos;
             slash = file->rel.find(L'\\', slash + 1)) {
            std::wstring folder = file->rel.substr(0, slash);
            if (folders.insert(folder).second) count_record(journal_step::folder, folder);
        }
    }
    count_record(journal_step::done, std::wstring());
    return data + in_clusters(journal, cluster_size);
}

bool check_destination(const std::vector<C_copy_entry>& entries)
{
    const C_update_settings& settings = UpdateSettings;
    std::vector<const C_copy_item*> files;
    for (const C_copy_entry& entry : entries) {
        for (const C_copy_item& file : entry.files) files.push_back(&file);
    }

    // Each folder of the installation listed once for all its files.
    // What the copy opens for writing, relative to the installation.
    std::vector<std::wstring> replaced;
    {
        C_folder_listings listings;
        std::unordered_set<std::wstring> seen;  // a file the update copies twice is opened once
        for (const C_copy_item* file : files) {
            const dir_entry* there = existing_file(listings, settings.dest_dir, file->rel);
            if (!there) continue;
            const std::wstring path = path_join(settings.dest_dir, file->rel);
            // Written through, a link would change a file outside the installation.
            if (there->is_link) {
                report_failure(msg_dest_is_link(path));
                return false;
            }
            if (there->read_only) {
                report_failure(msg_dest_read_only(path));
                return false;
            }
            if (seen.insert(path).second) replaced.push_back(file->rel);
        }
        // A file the update removes is set aside as a replaced one is, so
        // it is held to the same: not read-only, no link, and not open elsewhere.
        C_removal_plan removal = plan_removed_files(listings, settings.dest_dir, settings.delete_files, {});
        for (C_removed_file& file : removal.files) {
            const dir_entry* there = existing_file(listings, settings.dest_dir, file.rel);
            if (!there) continue;
            const std::wstring path = path_join(settings.dest_dir, file.rel);
            if (there->is_link) {
                report_failure(msg_dest_is_link(path));
                return false;
            }
            if (there->read_only) {
                report_failure(msg_delete_read_only(path));
                return false;
            }
            if (seen.insert(path).second) replaced.push_back(std::move(file.rel));
        }
    }

    if (!room_for(files, settings.dest_dir)) return false;

    // Retry looks at the same file again, until it is free or the player gives up.
    C_destination_links links(settings.dest_dir);
    for (const std::wstring& rel : replaced) {
        const std::wstring path = path_join(settings.dest_dir, rel);
        for (;;) {
            const replaced_file state = look_at_replaced(path, rel, links);
            if (state == replaced_file::free) break;
            if (state == replaced_file::link) {
                report_failure(msg_dest_is_link(path));
                return false;
            }
            const int answer =
                show_message_box(msg_dest_in_use(path), settings.update_title, MB_RETRYCANCEL | MB_ICONWARNING);
            if (answer != IDRETRY) {
                warn_user(MSG_UPDATE_FAILED);
                return false;
            }
        }
    }
    return true;
}
