#include "support/temp_dir.h"

#include <windows.h>
#include <winioctl.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "util/fs/dir_create.h"
#include "util/fs/folder_tree.h"
#include "util/fs/path.h"

C_temp_dir::C_temp_dir()
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        std::wstring candidate = std::wstring(base) + L"updater_test_" + std::to_wstring(GetCurrentProcessId()) +
                                 L"_" + std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(++counter);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary folder");
    }
}

C_temp_dir::~C_temp_dir()
{
    remove_folder_tree(path_);
}

void make_folder(const std::wstring& path)
{
    if (!dir_create(path)) throw std::runtime_error("cannot create a test folder");
}

void write_file(const std::wstring& path, const std::string& bytes)
{
    if (path.find(L'\\') != std::wstring::npos) make_folder(path_get_folder(path));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a test file");
    DWORD written = 0;
    const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("short write of a test file");
}

std::string read_file(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read a test file");
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool file_exists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folder_exists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void age_file(const std::wstring& path, unsigned long attributes)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open a test file to age it");
    // 2001-04-01 00:00 UTC.
    const std::uint64_t long_ago = 126305568000000000ull;
    FILETIME written;
    written.dwLowDateTime = static_cast<DWORD>(long_ago);
    written.dwHighDateTime = static_cast<DWORD>(long_ago >> 32);
    const BOOL timed = SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    if (!timed || !SetFileAttributesW(path.c_str(), attributes)) throw std::runtime_error("cannot age a test file");
}

std::string pattern_bytes(std::size_t size, std::uint32_t seed)
{
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

bool make_large_file(const std::wstring& path, std::uint64_t size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}
