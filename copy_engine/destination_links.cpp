#include "copy_engine/destination_links.h"

#include <windows.h>

#include <unordered_map>

#include "copy_engine/item_stamp.h"
#include "file/scoped_handle.h"
#include "util/fs/final_path.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

std::wstring folder_of(const std::wstring& rel)
{
    const std::size_t slash = rel.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : rel.substr(0, slash);
}

class C_link_finder {
public:
    explicit C_link_finder(const std::wstring& dest_dir) : dest_dir_(dest_dir)
    {
        C_file_stamp stamp;
        if (folder_stamp(dest_dir, stamp) == 0) volume_ = stamp.volume;
    }

    // The folder `rel` of the installation: where it lies on another volume,
    // the link that leads there; empty otherwise (or where it does not exist yet).
    std::wstring other_drive_link(const std::wstring& rel)
    {
        if (rel.empty()) return std::wstring();
        const auto known = folders_.find(rel);
        if (known != folders_.end()) return known->second;
        std::wstring link = other_drive_link(folder_of(rel));
        if (link.empty()) {
            const std::wstring path = path_join(dest_dir_, rel);
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                C_file_stamp stamp;
                if (folder_stamp(path, stamp) == 0 && stamp.volume != volume_) link = path;
            }
        }
        folders_.emplace(rel, link);
        return link;
    }

    // Whether the file `rel` is there as a link, as its folder's listing shows
    // it; where the platform does not mark a link to a file (Wine does not),
    // the path of the file it opens shows where it leads.
    bool is_file_link(const std::wstring& rel)
    {
        const std::wstring name = path_get_file_name(rel);
        const std::wstring folder_rel = folder_of(rel);
        const std::wstring folder = name.size() < rel.size() ? path_join(dest_dir_, folder_rel) : dest_dir_;
        const dir_entry* found = nullptr;
        for (const dir_entry* item : listings_.folder(folder).named(name)) {
            if (names_equal(item->path, name) && !item->is_folder) found = item;
        }
        if (!found) return false;
        if (found->is_link) return true;
        const C_scoped_handle file(CreateFileW(path_join(folder, found->path).c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        const std::wstring opened = file ? final_path_of(file.get()) : std::wstring();
        return !opened.empty() && !names_equal(opened, path_join(final_folder(folder_rel, folder), found->path));
    }

private:
    const std::wstring& final_folder(const std::wstring& rel, const std::wstring& path)
    {
        auto known = final_folders_.find(rel);
        if (known == final_folders_.end()) known = final_folders_.emplace(rel, final_path(path)).first;
        return known->second;
    }

    const std::wstring dest_dir_;
    DWORD volume_ = 0;
    std::unordered_map<std::wstring, std::wstring> folders_;
    std::unordered_map<std::wstring, std::wstring> final_folders_;
    C_folder_listings listings_;
};

}  // namespace

C_destination_link find_destination_link(const std::wstring& dest_dir, const std::vector<C_copy_entry>& entries)
{
    C_link_finder finder(dest_dir);
    C_destination_link found;
    for (const C_copy_entry& entry : entries) {
        for (const C_copy_item& file : entry.files) {
            found.path = finder.other_drive_link(folder_of(file.rel));
            if (!found.path.empty()) {
                found.kind = destination_link::other_drive;
                return found;
            }
            if (finder.is_file_link(file.rel)) {
                found.kind = destination_link::file_link;
                found.path = path_join(dest_dir, file.rel);
                return found;
            }
        }
    }
    return C_destination_link();
}
