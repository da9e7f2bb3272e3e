#include "update_make/working_folder.h"

#include <windows.h>

#include <cstdint>

#include "file/scoped_system.h"
#include "util/fs/folder_tree.h"
#include "util/fs/folder_walk.h"
#include "util/fs/path.h"

namespace {

const wchar_t* const MAKING = L".making-";

std::uint64_t start_time(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The process id and start time are the owner's: a process id alone may have
// been given to another process since.
std::wstring owner_tag(DWORD process_id, std::uint64_t started)
{
    std::wstring hex;
    do {
        hex.insert(hex.begin(), L"0123456789abcdef"[started & 0xF]);
        started >>= 4;
    } while (started);
    return std::to_wstring(process_id) + L"-" + hex;
}

// Reads a tag back; false for a name this program did not make.
bool read_owner_tag(const std::wstring& tag, DWORD& process_id, std::uint64_t& started)
{
    const std::size_t dash = tag.find(L'-');
    if (dash == 0 || dash == std::wstring::npos || dash > 10 || tag.size() - dash - 1 > 16) return false;
    std::uint64_t id = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (tag[i] < L'0' || tag[i] > L'9') return false;
        id = id * 10 + static_cast<std::uint64_t>(tag[i] - L'0');
    }
    started = 0;
    for (std::size_t i = dash + 1; i < tag.size(); ++i) {
        const wchar_t c = tag[i];
        const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
        if (digit < 0) return false;
        started = (started << 4) | static_cast<std::uint64_t>(digit);
    }
    process_id = static_cast<DWORD>(id);
    return id <= 0xFFFFFFFFu && owner_tag(process_id, started) == tag;
}

bool owner_runs(DWORD process_id, std::uint64_t started)
{
    const C_scoped_object process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    // No such process is the only sure sign; one we may not look at may be the owner.
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD exit_code = 0;
    return GetExitCodeProcess(process.get(), &exit_code) && exit_code == STILL_ACTIVE &&
           start_time(process.get()) == started;
}

}  // namespace

std::wstring working_folder_for(const std::wstring& out)
{
    return out + MAKING + owner_tag(GetCurrentProcessId(), start_time(GetCurrentProcess()));
}

void remove_abandoned_working_folders(const std::wstring& out)
{
    const std::wstring prefix = path_get_file_name(out) + MAKING;
    for (C_folder_walk walk(out + MAKING + L"*"); !walk.done(); walk.next()) {
        const std::wstring name = walk.name();
        if (!walk.is_folder() || name.size() <= prefix.size()) continue;
        DWORD process_id = 0;
        std::uint64_t started = 0;
        if (read_owner_tag(name.substr(prefix.size()), process_id, started) && !owner_runs(process_id, started)) {
            remove_folder_tree(path_join(path_get_folder(out), name));
        }
    }
}
