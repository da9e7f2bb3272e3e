#pragma once
#include <windows.h>

#include <string>

// A key below HKEY_LOCAL_MACHINE\Software with a name no other test uses,
// created by this 32-bit program (so in the same registry view the updater
// reads) and deleted with everything in it when the object goes, whatever the
// test's outcome.
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

private:
    std::wstring reg_path_;
    HKEY key_ = nullptr;
};

// A path below Software\ that no key has: for the missing-key cases.
std::wstring unused_reg_path();
