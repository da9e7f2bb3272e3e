#include "update_core/script_values.h"

#include "update_core/messages.h"

std::vector<C_missing_value> missing_script_values(const C_update_settings& settings)
{
    std::vector<C_missing_value> missing;
    if (settings.reg_path.empty()) {
        missing.push_back({script_line_kind::reg_path, MSG_NO_REG_PATH});
    }
    if (settings.update_title.empty()) {
        missing.push_back({script_line_kind::update_title, MSG_NO_UPDATE_TITLE});
    }
    if (settings.game_title.empty()) {
        missing.push_back({script_line_kind::game_title, MSG_NO_GAME_TITLE});
    }
    return missing;
}
