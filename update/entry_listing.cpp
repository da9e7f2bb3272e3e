#include "update/entry_listing.h"

#include <utility>

#include "util/path.h"

namespace {

// A file entry may name a file inside a subfolder of the source: its own folder
// is listed, and what is found there is copied to the same folder below the
// destination.
struct file_entry_place {
    std::wstring folder_part;  // empty for a file directly in the source folder
    std::wstring name;
};

file_entry_place split_file_entry(const std::wstring& entry)
{
    const auto slash = entry.rfind(L'\\');
    if (slash == std::wstring::npos) return {std::wstring(), entry};
    return {entry.substr(0, slash), entry.substr(slash + 1)};
}

}  // namespace

C_entry_files list_entry_files(const std::wstring& source_dir, const std::wstring& entry)
{
    C_entry_files result;
    const std::wstring path = source_dir + L"\\" + entry;
    result.kind = get_path_kind(path);
    C_dir_list list;
    std::wstring prefix;
    switch (result.kind) {
    case path_kind::folder:
        list.list(path, L"*", L"*", true);
        prefix = entry + L"\\";
        break;
    case path_kind::file: {
        const auto place = split_file_entry(entry);
        const std::wstring base = place.folder_part.empty() ? source_dir : source_dir + L"\\" + place.folder_part;
        list.list(base, path_erase_extension(place.name), path_get_extension(place.name), false);
        if (!place.folder_part.empty()) prefix = place.folder_part + L"\\";
        break;
    }
    case path_kind::missing:
        return result;
    }
    result.total_size = list.total_size;
    result.files = std::move(list.entries);
    for (auto& file : result.files) file.path = prefix + file.path;
    return result;
}
