#pragma once
#include <string>

// Wine's settings for one program, found by its file name under
// HKEY_CURRENT_USER\Software\Wine\AppDefaults\<name>: read by Wine when the
// program starts. The program's whole key is removed when the object goes.
//
// Wine takes its DLL overrides from its own Unix environment only: a
// WINEDLLOVERRIDES given to CreateProcessW in the child's environment block is
// dropped, so a per-program DLL override is the way to change what one child
// loads.
class C_wine_app_settings {
public:
    explicit C_wine_app_settings(const std::wstring& program_name);
    ~C_wine_app_settings();
    C_wine_app_settings(const C_wine_app_settings&) = delete;
    C_wine_app_settings& operator=(const C_wine_app_settings&) = delete;

    // A string value in one of the program's sections ("DllOverrides", "X11 Driver").
    void set(const std::wstring& section, const std::wstring& name, const std::wstring& value);
    // Makes LoadLibraryW of the built-in `dll` fail in the program.
    void disable_dll(const std::wstring& dll) { set(L"DllOverrides", dll, L""); }

private:
    std::wstring key_path_;
};
