#include "update_core/copy_entry.h"

#include "util/dir_list.h"
#include "util/entry_path.h"
#include "util/path.h"

C_copy_entry list_copy_entry(const std::wstring& source_dir, const std::wstring& entry)
{
    C_copy_entry result;
    result.rel = entry_to_relative_path(entry);
    const std::wstring path = path_join(source_dir, result.rel);
    result.kind = get_path_kind(path);
    C_dir_list list;
    // Listed paths are relative to the listed folder, which is `folder_part`
    // below the source folder when `in_folder`.
    std::wstring folder_part;
    bool in_folder = false;
    switch (result.kind) {
    case path_kind::folder:
        list.list(path, L"*", L"*", true);
        folder_part = result.rel;
        in_folder = true;
        break;
    case path_kind::file: {
        // A file in a subfolder is listed in its own folder, and copied to the
        // same folder below the destination.
        const std::wstring name = path_get_file_name(result.rel);
        if (name.size() < result.rel.size()) folder_part = path_get_folder(result.rel);
        in_folder = !folder_part.empty();
        const std::wstring base = in_folder ? path_join(source_dir, folder_part) : source_dir;
        list.list(base, path_erase_extension(name), path_get_extension(name), false);
        break;
    }
    case path_kind::missing:
        break;
    }
    result.files.reserve(list.entries.size());
    for (const auto& item : list.entries) {
        result.files.push_back({in_folder ? path_join(folder_part, item.path) : item.path, item.size});
    }
    result.total_size = list.total_size;
    return result;
}

bool C_copy_entry::found() const
{
    return kind == path_kind::folder || (kind == path_kind::file && !files.empty());
}
