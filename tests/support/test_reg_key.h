#pragma once
#include <windows.h>

#include <string>

// The game's installer is a 32-bit program: its key lives in the 32-bit
// registry view, which is where both builds of the updater look.
constexpr REGSAM installer_view = KEY_WOW64_32KEY;

// A key below HKEY_LOCAL_MACHINE\Software with a name no other test uses,
// created in the installer's view and deleted with everything in it when the
// object goes, whatever the test's outcome.
class C_test_reg_key {
public:
    C_test_reg_key();
    ~C_test_reg_key();
    C_test_reg_key(const C_test_reg_key&) = delete;
    C_test_reg_key& operator=(const C_test_reg_key&) = delete;

    // The path below "Software\", as an update script's #REG_PATH gives it.
    const std::wstring& reg_path() const { return reg_path_; }

    // A string value stored with its terminating null, as installers write it.
    void set_string(const std::wstring& name, const std::wstring& value);
    // Raw data of any type and length, null or not.
    void set_raw(const std::wstring& name, DWORD type, const void* data, DWORD bytes);
    void delete_value(const std::wstring& name);
    // The key opened again for reading, as the updater opens it; the caller closes it.
    HKEY open_for_reading() const;

private:
    std::wstring reg_path_;
    HKEY key_ = nullptr;
};

// A path below Software\ that no key has: for the missing-key cases.
std::wstring unused_reg_path();
