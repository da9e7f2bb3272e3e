#include "copy_engine/item_stamp.h"

#include <windows.h>
#include <winternl.h>

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

system_error read_stamp_on(std::uint32_t volume, void* handle, C_file_stamp& stamp, unsigned long* attributes,
                           std::uint64_t* created)
{
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard)) {
        return GetLastError();
    }
    // The index that GetFileInformationByHandle gives as nFileIndexHigh and nFileIndexLow.
    const FILE_INFORMATION_CLASS internal_information = static_cast<FILE_INFORMATION_CLASS>(6);
    IO_STATUS_BLOCK status;
    LARGE_INTEGER index;
    if (NtQueryInformationFile(handle, &status, &index, sizeof index, internal_information) < 0) {
        return ERROR_INVALID_FUNCTION;
    }
    stamp.volume = volume;
    stamp.index = static_cast<std::uint64_t>(index.QuadPart);
    stamp.size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    stamp.written = static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart);
    if (attributes) *attributes = basic.FileAttributes;
    if (created) *created = static_cast<std::uint64_t>(basic.CreationTime.QuadPart);
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
