#include "support/wine_app_settings.h"

#include <windows.h>

#include <stdexcept>

C_wine_app_settings::C_wine_app_settings(const std::wstring& program_name)
    : key_path_(L"Software\\Wine\\AppDefaults\\" + program_name)
{
}

C_wine_app_settings::~C_wine_app_settings()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, key_path_.c_str());
}

void C_wine_app_settings::set(const std::wstring& section, const std::wstring& name, const std::wstring& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (key_path_ + L"\\" + section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create a Wine settings key");
    }
    const LONG result = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) throw std::runtime_error("cannot write a Wine setting");
}
