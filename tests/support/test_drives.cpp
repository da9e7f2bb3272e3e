#include "support/test_drives.h"

#include <windows.h>

#include <cstdlib>

#include "support/temp_dir.h"

// Wine running as root opens read-only files for writing anyway.
bool read_only_is_enforced(const std::wstring& folder)
{
    const std::wstring probe = folder + L"\\read_only_probe";
    write_file(probe, "probe");
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool enforced = file == INVALID_HANDLE_VALUE;
    if (!enforced) CloseHandle(file);
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(probe.c_str());
    return enforced;
}

// The small drive that tests/small_drive.sh maps for the full-disk case, or
// empty with the reason when there is none.
std::wstring small_drive(std::string& why_not)
{
    const char* drive = std::getenv("UPDATER_TEST_SMALL_DRIVE");
    if (!drive || !*drive) {
        why_not = "UPDATER_TEST_SMALL_DRIVE names no drive (it is set by CTest with tests/small_drive.sh)";
        return {};
    }
    const std::string name = drive;
    const std::wstring root = std::wstring(name.begin(), name.end()) + L"\\";
    ULARGE_INTEGER free_bytes = {}, total_bytes = {};
    if (!GetDiskFreeSpaceExW(root.c_str(), &free_bytes, &total_bytes, nullptr)) {
        why_not = "drive " + name + " is not mapped (mounting needs root; see the small drive set-up's output)";
        return {};
    }
    if (total_bytes.QuadPart > 16u * 1024 * 1024) {
        why_not = "drive " + name + " is not a small drive";
        return {};
    }
    return root.substr(0, root.size() - 1);
}
