#include "util/fs/folder_tree.h"

#include <windows.h>

#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

void remove_contents(const std::wstring& path)
{
    WIN32_FIND_DATAW item;
    const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &item);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = item.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path_join(path, name);
        // A link to a folder goes as a link: what it points to is not ours.
        const bool descend = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                             !(item.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (descend) remove_contents(child);
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveDirectoryW(child.c_str());
        } else {
            DeleteFileW(child.c_str());
        }
    } while (FindNextFileW(find, &item));
    FindClose(find);
}

}  // namespace

bool remove_folder_tree(const std::wstring& path)
{
    remove_contents(path);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
    return get_path_kind(path) == path_kind::missing;
}

bool folder_is_empty(const std::wstring& path)
{
    if (get_path_kind(path) != path_kind::folder) return false;
    WIN32_FIND_DATAW item;
    const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &item);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        const std::wstring name = item.cFileName;
        empty = name == L"." || name == L"..";
    } while (empty && FindNextFileW(find, &item));
    FindClose(find);
    return empty;
}
