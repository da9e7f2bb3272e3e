#include "util/fs/folder_tree.h"

#include <windows.h>

#include "util/fs/folder_walk.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

void remove_contents(const std::wstring& path)
{
    for (C_folder_walk walk(path + L"\\*"); !walk.done(); walk.next()) {
        const std::wstring child = path_join(path, walk.name());
        // A link to a folder goes as a link: what it points to is not ours.
        if (walk.descends()) remove_contents(child);
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (walk.is_folder()) {
            RemoveDirectoryW(child.c_str());
        } else {
            DeleteFileW(child.c_str());
        }
    }
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
    return C_folder_walk(path + L"\\*").done();
}
