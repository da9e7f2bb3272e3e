#include "support/host_files.h"

#include <windows.h>
#include <aclapi.h>

#include <string>

#include "support/utf8_text.h"
#include "util/path.h"

namespace {

// Wine's own path conversions, absent on Windows.
using unix_name_fn = char*(CDECL*)(const wchar_t*);
using dos_name_fn = wchar_t*(CDECL*)(const char*);

std::string unix_path(const std::wstring& path)
{
    const auto convert = reinterpret_cast<unix_name_fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* name = convert(path.c_str());
    if (!name) return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring dos_path(const char* path)
{
    const auto convert = reinterpret_cast<dos_name_fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!convert) return {};
    wchar_t* name = convert(path);
    if (!name) return {};
    std::wstring result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring from_utf8(const std::string& text)
{
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::string shell_quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs `command` with the host's /bin/sh and waits until it is done: Wine
// starts a host program but gives no handle that tells when it ends, so the
// command leaves its exit status in a file.
bool run_host_shell(const std::string& command, const std::wstring& scratch_folder)
{
    const std::wstring shell = dos_path("/bin/sh");
    const std::wstring status_file = path_join(scratch_folder, L"host_shell_status");
    const std::string scratch = unix_path(scratch_folder);
    if (shell.empty() || scratch.empty()) return false;
    DeleteFileW(status_file.c_str());
    const std::string script = command + "; echo $? > " + shell_quoted(scratch + "/host_shell_status");
    if (script.find('"') != std::string::npos) return false;
    std::wstring line = L"/bin/sh -c \"" + from_utf8(script) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(shell.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < 10000; waited += 20) {
        const HANDLE file = CreateFileW(status_file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char status[8] = {};
            DWORD got = 0;
            ReadFile(file, status, sizeof status - 1, &got, nullptr);
            CloseHandle(file);
            if (got > 0 && status[got - 1] == '\n') {
                DeleteFileW(status_file.c_str());
                return status[0] == '0';
            }
        }
        Sleep(20);
    }
    return false;
}

}  // namespace

bool rename_on_host(const std::wstring& from, const std::wstring& to_name)
{
    const std::wstring folder = path_get_folder(from);
    const std::string host_folder = unix_path(folder);
    if (host_folder.empty()) return false;
    return run_host_shell("mv -- " + shell_quoted(unix_path(from)) + " " + shell_quoted(host_folder + "/" + to_utf8(to_name)),
                          folder);
}

C_listing_denied::C_listing_denied(const std::wstring& folder) : folder_(folder)
{
    PACL old_acl = nullptr;
    PSECURITY_DESCRIPTOR old_security = nullptr;
    if (GetNamedSecurityInfoW(folder_.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &old_acl,
                              nullptr, &old_security) == ERROR_SUCCESS) {
        old_security_ = old_security;
        old_acl_ = old_acl;
    }
    EXPLICIT_ACCESSW deny = {};
    deny.grfAccessPermissions = FILE_LIST_DIRECTORY | FILE_TRAVERSE;
    deny.grfAccessMode = DENY_ACCESS;
    deny.grfInheritance = NO_INHERITANCE;
    deny.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    deny.Trustee.ptstrName = const_cast<wchar_t*>(L"Everyone");
    PACL acl = nullptr;
    if (SetEntriesInAclW(1, &deny, nullptr, &acl) != ERROR_SUCCESS) return;
    SetNamedSecurityInfoW(&folder_[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                          nullptr, nullptr, acl, nullptr);
    LocalFree(acl);
}

C_listing_denied::~C_listing_denied()
{
    // The folder's contents must be reachable again, or the test's temporary folder stays behind.
    SetNamedSecurityInfoW(&folder_[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                          nullptr, nullptr, static_cast<PACL>(old_acl_), nullptr);
    if (old_security_) LocalFree(old_security_);
}

bool C_listing_denied::in_effect(std::string& why_not) const
{
    WIN32_FIND_DATAW item;
    const HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &item);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) return true;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    why_not = "this process still lists a folder whose ACL denies it: Wine run as root keeps root's file access "
              "rights (CTest runs this case again through tests/without_root_file_rights.sh)";
    return false;
}
