#include "update/install_info.h"

#include <algorithm>

#include "file/scoped_system.h"
#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"

bool read_registry_string(HKEY key, const std::wstring& name, std::wstring& out)
{
    WCHAR buffer[REGISTRY_STRING_UNITS] = {};
    DWORD bytes = sizeof buffer;
    const LONG result =
        RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes);

    bool fits = false;
    std::size_t length = 0;
    if (result == ERROR_SUCCESS) {
        // The data need not end in a null, nor be a whole number of units: take
        // only what the query returned, up to the first null.
        const std::size_t units = std::min<std::size_t>(bytes / sizeof(WCHAR), REGISTRY_STRING_UNITS);
        length = std::find(buffer, buffer + units, L'\0') - buffer;
        // Data that fills the whole buffer without a null leaves no room for one:
        // it is as much too long as data the buffer could not take at all.
        fits = length < REGISTRY_STRING_UNITS;
    }
    if (!fits) {
        report_failure(msg_no_registry_value(name));
        return false;
    }
    out.assign(buffer, length);
    return true;
}

// The game's 32-bit installer wrote its key in the 32-bit view. The shipped
// 32-bit updater sees that view without a flag; a 64-bit build must ask for it.
#ifdef _WIN64
constexpr REGSAM install_key_access = KEY_READ | KEY_WOW64_32KEY;
#else
constexpr REGSAM install_key_access = KEY_READ;
#endif

bool read_install_info()
{
    C_update_settings& settings = UpdateSettings;
    const std::wstring sub_key = L"Software\\" + settings.reg_path;

    C_scoped_key key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub_key.c_str(), 0, install_key_access, key.receive()) != ERROR_SUCCESS) {
        report_failure(msg_no_registry_key(settings.game_title));
        return false;
    }

    // The first value that fails has reported itself; the later ones are not read.
    return read_registry_string(key.get(), L"exe_dir", settings.exe_dir) &&
           read_registry_string(key.get(), L"dat_dir", settings.dat_dir) &&
           read_registry_string(key.get(), L"dat_setup", settings.dat_setup);
}
