#include <new>
#include <string>

#include "update/messages.h"
#include "update/script_parser.h"
#include "update/update_sequence.h"
#include "update/update_settings.h"
#include "util/text_file.h"

namespace {

const wchar_t* const SCRIPT_FILE = L"update.ini";
const wchar_t* const SOURCE_FOLDER = L"gamedata";

const wchar_t* const MSG_SCRIPT_NOT_FOUND = L"update.ini が見つかりませんでした。";
const wchar_t* const MSG_NO_REG_PATH = L"update.ini にレジストリ名が指定されていません。";
const wchar_t* const MSG_NO_UPDATE_TITLE = L"update.ini にアップデート名が指定されていません。";
const wchar_t* const MSG_NO_GAME_TITLE = L"update.ini にゲーム名が指定されていません。";

}  // namespace

bool load_update_script()
{
    // The script is held several times over while it is read and decoded; one
    // too large for memory is as unreadable as a missing one. Its buffers are
    // gone by the time the user is told.
    bool loaded = false;
    try {
        // Relative: start-up has made the updater's own folder the current directory.
        std::wstring text;
        loaded = read_text_file(SCRIPT_FILE, text);
        if (loaded) parse_update_script(text, UpdateSettings);
    } catch (const std::bad_alloc&) {
        loaded = false;
    }
    if (!loaded) {
        report_failure(MSG_SCRIPT_NOT_FOUND);
        return false;
    }
    UpdateSettings.source_dir = SOURCE_FOLDER;
    return true;
}

bool validate_update_script()
{
    if (UpdateSettings.reg_path.empty()) {
        report_failure(MSG_NO_REG_PATH);
        return false;
    }
    if (UpdateSettings.update_title.empty()) {
        report_failure(MSG_NO_UPDATE_TITLE);
        return false;
    }
    if (UpdateSettings.game_title.empty()) {
        report_failure(MSG_NO_GAME_TITLE);
        return false;
    }
    return true;
}
