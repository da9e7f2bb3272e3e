#include "util/fs/final_path.h"

#include <windows.h>

#include <vector>

#include "file/scoped_handle.h"
#include "util/fs/full_path.h"
#include "util/fs/path.h"

namespace {

std::wstring without_trailing_backslash(std::wstring path)
{
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

std::wstring final_path_of(HANDLE handle)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::wstring();
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
            if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
            return path;
        }
        buffer.resize(length);
    }
}

std::wstring final_path(const std::wstring& path)
{
    std::wstring existing = without_trailing_backslash(full_path(path));
    std::wstring below;  // the part that does not exist yet, with a leading backslash
    for (;;) {
        const C_scoped_handle handle(CreateFileW(existing.c_str(), FILE_READ_ATTRIBUTES,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (handle) {
            const std::wstring resolved = final_path_of(handle.get());
            if (!resolved.empty()) return without_trailing_backslash(resolved) + below;
        }
        const std::size_t slash = existing.rfind(L'\\');
        if (slash == std::wstring::npos || slash + 1 == existing.size()) break;
        below = existing.substr(slash) + below;
        existing.erase(slash);
        // "C:" alone is the drive's current folder: go on from its root.
        if (existing.size() == 2 && existing[1] == L':') existing += L'\\';
    }
    return without_trailing_backslash(full_path(path));
}
