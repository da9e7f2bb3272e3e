#include "support/test_reg_key.h"

#include <stdexcept>

namespace {

std::wstring unique_name()
{
    static unsigned counter = 0;
    return L"UpdaterTest_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount()) + L"_" +
           std::to_wstring(++counter);
}

}  // namespace

std::wstring unused_reg_path()
{
    return L"UpdaterTests\\" + unique_name();
}

C_test_reg_key::C_test_reg_key() : reg_path_(L"UpdaterTests\\" + unique_name())
{
    DWORD disposition = 0;
    const LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\" + reg_path_).c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | installer_view, nullptr, &key_,
                                        &disposition);
    if (result != ERROR_SUCCESS) throw std::runtime_error("cannot create a test registry key");
    if (disposition != REG_CREATED_NEW_KEY) {
        RegCloseKey(key_);
        throw std::runtime_error("test registry key already exists");
    }
}

C_test_reg_key::~C_test_reg_key()
{
    RegCloseKey(key_);
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | installer_view, &software) ==
        ERROR_SUCCESS) {
        RegDeleteTreeW(software, reg_path_.c_str());
        RegCloseKey(software);
    }
    // The shared parent goes too once no other test key is left in it.
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\UpdaterTests", installer_view, 0);
}

void C_test_reg_key::set_string(const std::wstring& name, const std::wstring& value)
{
    set_raw(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void C_test_reg_key::set_raw(const std::wstring& name, DWORD type, const void* data, DWORD bytes)
{
    if (RegSetValueExW(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot write a test registry value");
    }
}

void C_test_reg_key::delete_value(const std::wstring& name)
{
    RegDeleteValueW(key_, name.c_str());
}

HKEY C_test_reg_key::open_for_reading() const
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\" + reg_path_).c_str(), 0, KEY_READ | installer_view, &key) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("cannot open the test registry key");
    }
    return key;
}
