#include "support/host_files.h"

#include <windows.h>
#include <aclapi.h>

#include <vector>

#include "support/temp_dir.h"

namespace {

using unix_name_query = char*(CDECL*)(const wchar_t*);

unix_name_query wine_unix_name()
{
    return reinterpret_cast<unix_name_query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

// The host's path of an existing Windows path; empty where there is none.
std::string host_path(const std::wstring& path)
{
    const unix_name_query query = wine_unix_name();
    char* name = query ? query(path.c_str()) : nullptr;
    if (!name) return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring widened(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// Starts a host program, its arguments free of blanks and quotes. Wine does
// not wait for a host program through its handle, so the caller waits for
// what the program makes (until_done).
bool run_host_command(const std::vector<std::string>& argv)
{
    std::wstring command;
    for (const auto& arg : argv) {
        if (arg.empty() || arg.find_first_of(" \t\"") != std::string::npos) return false;
        command += (command.empty() ? L"" : L" ") + widened(arg);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring program = L"Z:" + widened(argv[0]);
    for (auto& c : program) {
        if (c == L'/') c = L'\\';
    }
    if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

template <typename Check>
bool until_done(Check done)
{
    for (int waited = 0; waited < 10000; waited += 10) {
        if (done()) return true;
        Sleep(10);
    }
    return done();
}

bool is_folder_link(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

bool running_on_wine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool make_folder_link(const std::wstring& link, const std::wstring& target)
{
    if (!running_on_wine()) {
        const DWORD allow_unprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
        CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | allow_unprivileged);
        return is_folder_link(link);
    }
    const std::string folder = host_path(link.substr(0, link.rfind(L'\\')));
    const std::string to = host_path(target);
    const std::wstring name = link.substr(link.rfind(L'\\') + 1);
    if (folder.empty() || to.empty()) return false;
    return run_host_command({"/bin/ln", "-s", to, folder + "/" + std::string(name.begin(), name.end())}) &&
           until_done([&] { return is_folder_link(link); });
}

bool write_case_twin(const std::wstring& folder, const std::wstring& name, const std::string& bytes)
{
    if (!running_on_wine()) return false;
    // A twin folder is staged with its file in it, then given its name.
    const std::size_t slash = name.find(L'\\');
    const std::wstring twin = name.substr(0, slash);
    const std::wstring staged = folder + L"\\case_twin.tmp";
    write_file(slash == std::wstring::npos ? staged : staged + name.substr(slash), bytes);
    const std::string host_folder = host_path(folder);
    const auto listed = [&] {
        WIN32_FIND_DATAW item;
        const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &item);
        bool found = false;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                found = found || twin == item.cFileName;
            } while (FindNextFileW(find, &item));
            FindClose(find);
        }
        return found;
    };
    return !host_folder.empty() &&
           run_host_command({"/bin/mv", host_path(staged), host_folder + "/" + std::string(twin.begin(), twin.end())}) &&
           until_done(listed);
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
