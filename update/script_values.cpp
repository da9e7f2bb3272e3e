#include "update/script_values.h"

const wchar_t* const MSG_SCRIPT_NOT_FOUND = L"update.ini が見つかりませんでした。";

std::vector<C_missing_value> missing_script_values(const C_update_settings& settings)
{
    std::vector<C_missing_value> missing;
    if (settings.reg_path.empty()) {
        missing.push_back({script_line_kind::reg_path, L"update.ini にレジストリ名が指定されていません。"});
    }
    if (settings.update_title.empty()) {
        missing.push_back({script_line_kind::update_title, L"update.ini にアップデート名が指定されていません。"});
    }
    if (settings.game_title.empty()) {
        missing.push_back({script_line_kind::game_title, L"update.ini にゲーム名が指定されていません。"});
    }
    return missing;
}
