#include "util/dir_list.h"

#include <windows.h>

#include <utility>

#include "util/find_handle.h"
#include "util/path.h"
#include "util/stored_name.h"

bool C_dir_list::list(const std::wstring& folder, const std::wstring& name, const std::wstring& ext,
                      bool descend)
{
    name_filter = name;
    ext_filter = ext;
    recursive = descend;
    with_files = true;
    with_folders = false;
    entries.clear();
    base = folder + L"\\";
    scan(L"");
    return !entries.empty();
}

void C_dir_list::scan(const std::wstring& rel)
{
    WIN32_FIND_DATAW item;
    const C_find_handle find(FindFirstFileW((base + rel + L"*").c_str(), &item));
    if (!find) return;
    do {
        const std::wstring name = item.cFileName;
        if (name == L"." || name == L"..") continue;

        dir_entry entry;
        entry.path = rel + name;
        entry.is_folder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = (static_cast<std::uint64_t>(item.nFileSizeHigh) << 32) | item.nFileSizeLow;

        if (entry.is_folder) {
            const std::wstring sub = entry.path + L"\\";
            if (with_folders) collect(std::move(entry));
            // Descend now, so the subfolder's files stand where the folder was met.
            if (recursive) scan(sub);
        } else if (with_files && passes_filters(entry.path)) {
            collect(std::move(entry));
        }
    } while (FindNextFileW(find.get(), &item));
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
