#include "copy_engine/item_stamp.h"

#include <windows.h>

#include "copy_engine/disk_ops.h"
#include "file/scoped_handle.h"

namespace {

C_scoped_handle open_for_stamp(const std::wstring& path, DWORD flags, system_error& error)
{
    C_scoped_handle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
    error = handle ? 0 : GetLastError();
    return handle;
}

}  // namespace

system_error read_stamp(void* handle, C_file_stamp& stamp, unsigned long* attributes)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return GetLastError();
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.written = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
    if (attributes) *attributes = info.dwFileAttributes;
    return 0;
}

bool C_item_at::gone() const
{
    return is_gone(error);
}

C_item_at look_at(const std::wstring& path)
{
    C_item_at item;
    const C_scoped_handle handle = open_for_stamp(path, FILE_FLAG_OPEN_REPARSE_POINT, item.error);
    if (handle) item.error = read_stamp(handle.get(), item.stamp, &item.attributes);
    return item;
}

system_error folder_stamp(const std::wstring& path, C_file_stamp& stamp)
{
    system_error error = 0;
    const C_scoped_handle handle = open_for_stamp(path, 0, error);
    return handle ? read_stamp(handle.get(), stamp) : error;
}
