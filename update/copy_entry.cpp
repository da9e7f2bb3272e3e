#include "update/copy_entry.h"

#include "util/entry_path.h"
#include "util/path.h"

C_copy_entry list_copy_entry(const std::wstring& source_dir, const std::wstring& entry, C_dir_list& list)
{
    C_copy_entry result;
    result.rel = entry_to_relative_path(entry);
    const std::wstring path = source_dir + L"\\" + result.rel;
    result.kind = get_path_kind(path);
    switch (result.kind) {
    case path_kind::folder:
        list.list(path, L"*", L"*", true);
        break;
    case path_kind::file: {
        // A file in a subfolder is listed in its own folder, and copied to the
        // same folder below the destination.
        const auto slash = result.rel.rfind(L'\\');
        const std::wstring name = slash == std::wstring::npos ? result.rel : result.rel.substr(slash + 1);
        if (slash != std::wstring::npos) result.folder_part = result.rel.substr(0, slash);
        const std::wstring base = result.folder_part.empty() ? source_dir : source_dir + L"\\" + result.folder_part;
        list.list(base, path_erase_extension(name), path_get_extension(name), false);
        break;
    }
    case path_kind::missing:
        break;
    }
    return result;
}

bool copy_entry_found(const C_copy_entry& entry, const C_dir_list& list)
{
    return entry.kind == path_kind::folder || (entry.kind == path_kind::file && !list.entries.empty());
}

std::wstring missing_entry_message(const std::wstring& source_dir, const std::wstring& entry)
{
    return L"コピー元のファイル " + source_dir + L"\\" + entry + L" が見つかりません。";
}
