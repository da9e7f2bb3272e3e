#include "copy_engine/destination_links.h"

#include <windows.h>

#include "copy_engine/item_stamp.h"
#include "util/fs/final_path.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

std::wstring folder_of(const std::wstring& rel)
{
    const std::size_t slash = rel.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : rel.substr(0, slash);
}

}  // namespace

C_destination_links::C_destination_links(const std::wstring& dest_dir) : dest_dir_(dest_dir)
{
    C_file_stamp stamp;
    if (folder_stamp(dest_dir, stamp) == 0) volume_ = stamp.volume;
}

std::wstring C_destination_links::other_drive_link(const std::wstring& folder_rel)
{
    if (folder_rel.empty()) return std::wstring();
    const auto known = other_drive_.find(folder_rel);
    if (known != other_drive_.end()) return known->second;
    std::wstring link = other_drive_link(folder_of(folder_rel));
    if (link.empty()) {
        const std::wstring path = path_join(dest_dir_, folder_rel);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            C_file_stamp stamp;
            if (folder_stamp(path, stamp) == 0 && stamp.volume != volume_) link = path;
        }
    }
    other_drive_.emplace(folder_rel, link);
    return link;
}

bool C_destination_links::opened_elsewhere(const std::wstring& rel, void* file)
{
    const std::wstring opened = final_path_of(file);
    if (opened.empty()) return false;
    return !names_equal(path_get_folder(opened), final_folder(folder_of(rel))) ||
           !names_equal(path_get_file_name(opened), path_get_file_name(rel));
}

const std::wstring& C_destination_links::final_folder(const std::wstring& folder_rel)
{
    auto known = final_folders_.find(folder_rel);
    if (known == final_folders_.end()) {
        const std::wstring folder = folder_rel.empty() ? dest_dir_ : path_join(dest_dir_, folder_rel);
        known = final_folders_.emplace(folder_rel, final_path(folder)).first;
    }
    return known->second;
}
