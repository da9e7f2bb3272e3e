#pragma once
#include <string>
#include <vector>

// Everything the update learns: the script's values, the installation's registry
// values and the two folders the copy runs between.
struct C_update_settings {
    std::wstring reg_path;
    std::wstring update_title;
    std::wstring game_title;
    std::vector<std::wstring> copy_files;
    // Files of the installation that the update removes, relative to it.
    std::vector<std::wstring> delete_files;
    std::wstring exe_dir;
    std::wstring dat_dir;
    std::wstring dat_setup;
    std::wstring source_dir;
    std::wstring dest_dir;
};

extern C_update_settings UpdateSettings;
