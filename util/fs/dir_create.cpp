#include "util/fs/dir_create.h"

#include <windows.h>
#include <shlobj.h>

#include "file/error_info.h"
#include "util/fs/path_kind.h"

bool dir_create(const std::wstring& path)
{
    if (get_path_kind(path) == path_kind::folder) return true;

    const int result = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (result == ERROR_SUCCESS) return true;
    set_last_error(error_kind::win32, result, L"SHCreateDirectoryEx");
    return false;
}
