#pragma once
#include <string>
#include <unordered_map>

// Where the copy into the installation `dest_dir` would go through a link that
// it cannot follow safely: a folder that leads to another volume (a junction,
// a mount point or a link), where nothing can be renamed into place; or a file
// that is a symbolic link, which would be written through to wherever it
// points. Links to folders on the installation's own volume are followed, as
// the player set them up. Each folder is looked at once.
class C_destination_links {
public:
    explicit C_destination_links(const std::wstring& dest_dir);

    // The link through which the folder `folder_rel` (relative to the
    // installation; empty for its top) lies on another volume: its path, or
    // empty where there is none or the folder does not exist yet.
    std::wstring other_drive_link(const std::wstring& folder_rel);

    // Whether the file `rel`, opened by that path as `file`, is a link: the
    // file opened stands elsewhere. Where the platform marks a link to a file
    // (Windows does), its folder's listing shows it without opening it; Wine
    // does not, and shows it only so.
    bool opened_elsewhere(const std::wstring& rel, void* file);

private:
    const std::wstring& final_folder(const std::wstring& folder_rel);

    std::wstring dest_dir_;
    unsigned long volume_ = 0;
    std::unordered_map<std::wstring, std::wstring> other_drive_;
    std::unordered_map<std::wstring, std::wstring> final_folders_;
};
