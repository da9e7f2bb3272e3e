#include "copy_engine/disk_ops.h"

#include <windows.h>
#include <aclapi.h>

#include "copy_engine/disk_step.h"

namespace {

system_error last_error()
{
    const DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

system_error result_of(BOOL done)
{
    return done ? 0 : last_error();
}

bool allowed(disk_change change, const std::wstring& path, const std::wstring* from = nullptr)
{
    C_disk_step step{change, path};
    step.from = from;
    return disk_step_allowed(step);
}

}  // namespace

system_error make_folder(const std::wstring& path, void* security)
{
    if (!allowed(disk_change::make_folder, path)) return ERROR_CANCELLED;
    return result_of(CreateDirectoryW(path.c_str(), static_cast<SECURITY_ATTRIBUTES*>(security)));
}

C_scoped_handle make_file(const std::wstring& path, system_error& error)
{
    if (!allowed(disk_change::make_file, path)) {
        error = ERROR_CANCELLED;
        return C_scoped_handle();
    }
    // Shared with no one while it is written: nothing reads a half-made file.
    C_scoped_handle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file ? 0 : last_error();
    return file;
}

system_error make_link(const std::wstring& link, const std::wstring& target)
{
    if (!allowed(disk_change::make_link, link, &target)) return ERROR_CANCELLED;
    return result_of(CreateHardLinkW(link.c_str(), target.c_str(), nullptr));
}

system_error rename_item(const std::wstring& from, const std::wstring& to)
{
    if (!allowed(disk_change::rename, to, &from)) return ERROR_CANCELLED;
    return result_of(MoveFileExW(from.c_str(), to.c_str(), 0));
}

system_error rename_over(const std::wstring& from, const std::wstring& to)
{
    if (!allowed(disk_change::rename, to, &from)) return ERROR_CANCELLED;
    return result_of(MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING));
}

system_error remove_file(const std::wstring& path)
{
    if (!allowed(disk_change::remove_file, path)) return ERROR_CANCELLED;
    return result_of(DeleteFileW(path.c_str()));
}

system_error remove_folder(const std::wstring& path)
{
    if (!allowed(disk_change::remove_folder, path)) return ERROR_CANCELLED;
    return result_of(RemoveDirectoryW(path.c_str()));
}

system_error set_attributes(const std::wstring& path, unsigned long attributes)
{
    if (!allowed(disk_change::set_details, path)) return ERROR_CANCELLED;
    return result_of(SetFileAttributesW(path.c_str(), attributes));
}

system_error inherit_permissions(const std::wstring& path)
{
    if (!allowed(disk_change::set_details, path)) return ERROR_CANCELLED;
    // No entries of its own: everything it has comes from its folder.
    ACL empty;
    if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION)) return last_error();
    return SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 &empty, nullptr);
}

system_error write_next(void* file, const std::wstring& path, std::uint64_t offset, const void* data, std::size_t size)
{
    C_disk_step step{disk_change::write, path};
    step.offset = offset;
    step.data = data;
    step.size = size;
    if (!disk_step_allowed(step)) return ERROR_CANCELLED;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, wanted, &written, nullptr)) return last_error();
        // The system writes all or fails; a short count is a full disk that said nothing.
        if (written == 0) return ERROR_DISK_FULL;
        bytes += written;
        size -= written;
    }
    return 0;
}

system_error sync_file(void* file, const std::wstring& path)
{
    if (!allowed(disk_change::sync, path)) return ERROR_CANCELLED;
    return result_of(FlushFileBuffers(file));
}

system_error settle_details(void* file, const std::wstring& path, std::uint64_t written, std::uint64_t created,
                            unsigned long attributes)
{
    if (!allowed(disk_change::set_details, path)) return ERROR_CANCELLED;
    // Zero leaves a time or the attributes as they are.
    FILE_BASIC_INFO details = {};
    details.LastWriteTime.QuadPart = static_cast<LONGLONG>(written);
    details.CreationTime.QuadPart = static_cast<LONGLONG>(created);
    details.FileAttributes = attributes;
    return result_of(SetFileInformationByHandle(file, FileBasicInfo, &details, sizeof details));
}

system_error set_permissions(void* file, const std::wstring& path, const std::vector<char>& security)
{
    if (security.empty()) return 0;
    if (!allowed(disk_change::set_details, path)) return ERROR_CANCELLED;
    // The kernel's own call sets the entries as given, without working out
    // inheritance from the folder the file stands in now (the work folder).
    return result_of(SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION,
                                             const_cast<char*>(security.data())));
}

bool is_gone(system_error error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
