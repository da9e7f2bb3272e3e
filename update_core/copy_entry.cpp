#include "update_core/copy_entry.h"

#include "util/fs/entry_path.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

bool ends_in_dot_or_space(const std::wstring& name)
{
    return !name.empty() && (name.back() == L'.' || name.back() == L' ');
}

// The listed items of `folder` named exactly `name`, letter case aside.
std::vector<const dir_entry*> items_named(C_folder_listings& listings, const std::wstring& folder,
                                          const std::wstring& name)
{
    const C_listed_folder& listed = listings.folder(folder);
    std::vector<const dir_entry*> items;
    if (!listed.complete) return items;
    for (const dir_entry* item : listed.named(name)) {
        if (names_equal(item->path, name)) items.push_back(item);
    }
    return items;
}

// What `rel` names below `source_dir`, as its file attributes tell. Taken from
// the listing of its folder where that answers for the platform's own look-up:
// one item of that name, or one spelt exactly so among names that differ only
// in letter case, which is the one a case-sensitive folder gives. Short names,
// trailing dots and spaces, and names the listing does not settle, are asked of
// the platform.
path_kind entry_kind(C_folder_listings& listings, const std::wstring& source_dir, const std::wstring& rel)
{
    const std::wstring name = path_get_file_name(rel);
    if (!name.empty() && name != L"." && !ends_in_dot_or_space(name)) {
        const std::wstring folder = name.size() < rel.size() ? path_join(source_dir, path_get_folder(rel)) : source_dir;
        const std::vector<const dir_entry*> items = items_named(listings, folder, name);
        const dir_entry* chosen = items.size() == 1 ? items.front() : nullptr;
        for (const dir_entry* item : items) {
            if (item->path == name) chosen = item;
        }
        if (chosen) return chosen->is_folder ? path_kind::folder : path_kind::file;
        if (items.empty() && listings.folder(folder).complete && name.find(L'~') == std::wstring::npos) {
            return path_kind::missing;
        }
    }
    return get_path_kind(path_join(source_dir, rel));
}

}  // namespace

C_copy_entry list_copy_entry(C_folder_listings& listings, const std::wstring& source_dir, const std::wstring& entry)
{
    C_copy_entry result;
    result.rel = entry_to_relative_path(entry);
    result.kind = entry_kind(listings, source_dir, result.rel);
    const auto take = [&result](std::wstring rel, std::uint64_t size) {
        result.total_size += size;
        result.files.push_back({std::move(rel), size});
    };
    switch (result.kind) {
    case path_kind::folder:
        // Paths relative to the entry's folder, which lies at `rel` below both copy folders.
        result.complete = listings.for_each_file(path_join(source_dir, result.rel),
                                                 [&](const std::wstring& rel, const dir_entry& file) {
                                                     take(path_join(result.rel, rel), file.size);
                                                 });
        break;
    case path_kind::file: {
        // A file in a subfolder is listed in its own folder, and copied to the
        // same folder below the destination.
        const std::wstring name = path_get_file_name(result.rel);
        const bool in_folder = name.size() < result.rel.size();
        const std::wstring folder_part = in_folder ? path_get_folder(result.rel) : std::wstring();
        const C_listed_folder& listed = listings.folder(in_folder ? path_join(source_dir, folder_part) : source_dir);
        result.complete = listed.complete;
        for (const dir_entry* item : listed.named(name)) {
            if (!item->is_folder) take(in_folder ? path_join(folder_part, item->path) : item->path, item->size);
        }
        break;
    }
    case path_kind::missing:
        break;
    }
    return result;
}

bool C_copy_entry::found() const
{
    if (!complete) return false;
    return kind == path_kind::folder || (kind == path_kind::file && !files.empty());
}

bool entry_is_stored_as_named(C_folder_listings& listings, const std::wstring& source_dir, const std::wstring& rel)
{
    std::wstring current = source_dir;
    std::size_t begin = 0;
    while (begin <= rel.size()) {
        std::size_t end = rel.find(L'\\', begin);
        if (end == std::wstring::npos) end = rel.size();
        const std::wstring component = rel.substr(begin, end - begin);
        begin = end + 1;
        if (component.empty() || component == L".") continue;
        // Windows stores no name that ends in a dot or a space.
        if (ends_in_dot_or_space(component) || items_named(listings, current, component).empty()) return false;
        current = path_join(current, component);
    }
    return true;
}
