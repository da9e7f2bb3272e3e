#include <new>
#include <string>
#include <vector>

#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/messages.h"
#include "update_core/script_parser.h"
#include "update_core/script_values.h"
#include "update_core/update_settings.h"
#include "util/text/code_page_932.h"
#include "util/text/text_file.h"

namespace {

const wchar_t* const SCRIPT_FILE = L"update.ini";
const wchar_t* const SOURCE_FOLDER = L"gamedata";

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
        // In code page 932 on every system, as the maker writes it and the
        // checker reads it: the player's own code page may be another.
        loaded = read_text_file(SCRIPT_FILE, text, CODE_PAGE_932);
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
    const std::vector<C_missing_value> missing = missing_script_values(UpdateSettings);
    if (missing.empty()) return true;
    report_failure(missing.front().message);
    return false;
}
