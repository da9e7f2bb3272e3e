#include "update/messages.h"
#include "update/update_sequence.h"
#include "update/update_settings.h"
#include "util/path_kind.h"
#include "util/text.h"

bool check_update_sources()
{
    const C_update_settings& settings = UpdateSettings;

    // The message names the folder as the user sees it beside the updater, not the path.
    if (get_path_kind(settings.source_dir) != path_kind::folder) {
        report_failure(std::wstring(L"コピー元の ") + L"gamedata" + L" フォルダが見つかりません。");
        return false;
    }

    int position = 0;
    for (const std::wstring& entry : settings.copy_files) {
        ++position;
        if (entry.empty()) {
            report_failure(format_text(L"update.ini の %d 個目の COPY_FILE が指定されていません。", position));
            return false;
        }
        // A file and a folder are both fine here; the copy job tells them apart.
        const std::wstring path = settings.source_dir + L"\\" + entry;
        if (get_path_kind(path) == path_kind::missing) {
            report_failure(L"コピー元のファイル " + path + L" が見つかりません。");
            return false;
        }
    }
    return true;
}
