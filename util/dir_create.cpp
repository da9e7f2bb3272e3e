#include "util/dir_create.h"

#include <windows.h>
#include <shlobj.h>

#include "file/error_info.h"

bool dir_create(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;

    const int result = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (result == ERROR_SUCCESS) return true;
    set_last_error(error_kind::win32, result, L"SHCreateDirectoryEx");
    return false;
}
