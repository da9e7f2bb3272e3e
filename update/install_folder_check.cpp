#include "update/messages.h"
#include "update/update_sequence.h"
#include "update/update_settings.h"
#include "util/path_kind.h"

bool check_install_folder()
{
    C_update_settings& settings = UpdateSettings;
    settings.dest_dir = settings.exe_dir;

    if (get_path_kind(settings.dest_dir) != path_kind::folder) {
        report_failure(L"コピー先のフォルダ " + settings.dest_dir +
                       L" が見つかりません。\nゲームが正しくセットアップされていることを確認してください。");
        return false;
    }

    // Joined as is: a folder ending in a backslash gives two in a row, which the
    // file system accepts.
    if (get_path_kind(settings.dest_dir + L"\\VelkorEngine.exe") != path_kind::file) {
        report_failure(L"VelkorEngine.exe が見つかりませんでした。\n"
                       L"ゲームが正しくセットアップされていることを確認してください。");
        return false;
    }

    // Only a full setup has every file the update may overwrite.
    if (settings.dat_setup != L"full") {
        report_failure(L"セットアップ情報が取得できませんでした。\n"
                       L"最小セットアップではアップデートを行うことはできません。");
        return false;
    }
    return true;
}
