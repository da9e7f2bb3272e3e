#include "util/fs/dir_list.h"

#include <utility>

#include "util/fs/folder_walk.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

dir_entry entry_of(const std::wstring& rel, const C_folder_walk& item)
{
    dir_entry entry;
    entry.path = rel + item.name();
    entry.is_folder = item.is_folder();
    entry.size = item.size();
    entry.read_only = (item.item().dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return entry;
}

}  // namespace

bool list_folder_items(const std::wstring& folder, std::vector<dir_entry>& items,
                       const std::function<void()>& on_item)
{
    C_folder_walk walk(folder + L"\\*");
    for (; !walk.done(); walk.next()) {
        items.push_back(entry_of(std::wstring(), walk));
        if (on_item) on_item();
    }
    return walk.error() == 0;
}

bool C_dir_list::list(const std::wstring& folder, const std::wstring& name, const std::wstring& ext,
                      bool descend)
{
    name_filter = name;
    ext_filter = ext;
    recursive = descend;
    with_files = true;
    with_folders = false;
    entries.clear();
    unlisted.clear();
    base = folder + L"\\";
    scan(L"");
    return !entries.empty();
}

void C_dir_list::scan(const std::wstring& rel)
{
    const std::wstring prefix = base + rel;
    C_folder_walk walk(prefix + L"*");
    for (; !walk.done(); walk.next()) {
        dir_entry entry = entry_of(rel, walk);
        if (entry.is_folder) {
            const std::wstring sub = entry.path + L"\\";
            if (with_folders) collect(std::move(entry));
            // Descend now, so the subfolder's files stand where the folder was met.
            // A link to a folder is followed, as the copy's listing follows it.
            if (recursive) scan(sub);
        } else if (with_files && passes_filters(entry.path)) {
            collect(std::move(entry));
        }
    }
    if (walk.error() != 0) unlisted.push_back(prefix.substr(0, prefix.size() - 1));
}

bool C_dir_list::passes_filters(const std::wstring& path) const
{
    const bool name_ok = name_filter == L"*" || names_equal(path_erase_extension(path), name_filter);
    const bool ext_ok = ext_filter == L"*" || names_equal(path_get_extension(path), ext_filter);
    return name_ok && ext_ok;
}

void C_dir_list::collect(dir_entry entry)
{
    total_size += entry.size;
    entries.push_back(std::move(entry));
}
