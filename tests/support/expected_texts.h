#pragma once
#include <string>

// The updater's texts written out once for all tests, apart from the program's
// own constants: a test comparing those with themselves would catch no change.
namespace expected {

inline const std::wstring error_caption = L"エラー";
inline const std::wstring rich_edit_not_loaded = L"riched32.dll の読み込みに失敗しました。アプリケーションを終了します。";
inline const std::wstring script_not_found = L"update.ini が見つかりませんでした。";
inline const std::wstring no_reg_path = L"update.ini にレジストリ名が指定されていません。";
inline const std::wstring no_update_title = L"update.ini にアップデート名が指定されていません。";
inline const std::wstring no_game_title = L"update.ini にゲーム名が指定されていません。";
inline const std::wstring no_source_folder = L"コピー元の gamedata フォルダが見つかりません。";
inline const std::wstring no_engine =
    L"VelkorEngine.exe が見つかりませんでした。\nゲームが正しくセットアップされていることを確認してください。";
inline const std::wstring not_full_setup =
    L"セットアップ情報が取得できませんでした。\n最小セットアップではアップデートを行うことはできません。";
inline const std::wstring update_cancelled = L"アップデートを中断しました。";
inline const std::wstring update_failed = L"アップデートに失敗しました。";
inline const std::wstring update_succeeded = L"アップデートは正常に終了しました。";
inline const std::wstring interrupted_update_rolled_back =
    L"前回のアップデートが中断されていたため、インストール先を元の状態に戻しました。";
inline const std::wstring dialog_placeholder = L"スタティック";  // the template's text line

inline std::wstring entry_empty(int position)
{
    return L"update.ini の " + std::to_wstring(position) + L" 個目の COPY_FILE が指定されていません。";
}

inline std::wstring entry_outside(int position)
{
    return L"update.ini の " + std::to_wstring(position) +
           L" 個目の COPY_FILE にインストール先の外を指すパスは指定できません。";
}

inline std::wstring entry_missing(const std::wstring& source_path)
{
    return L"コピー元のファイル " + source_path + L" が見つかりません。";
}

inline std::wstring delete_entry_empty(int position)
{
    return L"update.ini の " + std::to_wstring(position) + L" 個目の DELETE_FILE が指定されていません。";
}

inline std::wstring delete_entry_outside(int position)
{
    return L"update.ini の " + std::to_wstring(position) +
           L" 個目の DELETE_FILE にインストール先の外を指すパスは指定できません。";
}

inline std::wstring delete_entry_in_work_folder(int position)
{
    return L"update.ini の " + std::to_wstring(position) +
           L" 個目の DELETE_FILE に ~update_rollback フォルダの中は指定できません。";
}

inline std::wstring delete_entry_is_folder(int position, const std::wstring& path)
{
    return L"update.ini の " + std::to_wstring(position) + L" 個目の DELETE_FILE が指す " + path +
           L" はフォルダのため削除できません。";
}

inline std::wstring delete_entry_other_name(int position, const std::wstring& path)
{
    return L"update.ini の " + std::to_wstring(position) + L" 個目の DELETE_FILE が指す " + path +
           L" は、インストール先に保存されている名前と異なります。";
}

inline std::wstring no_registry_key(const std::wstring& game_title)
{
    return L"レジストリキーが見つかりませんでした。\n「" + game_title + L"」がセットアップされていることを確認してください。";
}

inline std::wstring no_registry_value(const std::wstring& name)
{
    return L"レジストリに [" + name + L"] が見つかりませんでした。";
}

inline std::wstring no_install_folder(const std::wstring& folder)
{
    return L"コピー先のフォルダ " + folder + L" が見つかりません。\nゲームが正しくセットアップされていることを確認してください。";
}

inline std::wstring confirm_destination(const std::wstring& folder)
{
    return L"セットアップ先 = " + folder + L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？";
}

inline std::wstring progress_caption(const std::wstring& update_title)
{
    return update_title + L" アップデート";
}

inline std::wstring source_not_opened(const std::wstring& path)
{
    return L"コピー元の " + path + L" が開けませんでした。";
}

inline std::wstring dest_not_opened(const std::wstring& path)
{
    return path + L"が開けませんでした。";  // no space before が
}

inline std::wstring source_not_read(const std::wstring& path)
{
    return L"コピー元の " + path + L" が読み込めませんでした。";
}

inline std::wstring dest_not_written(const std::wstring& path)
{
    return path + L" に書き込めませんでした。";
}

inline std::wstring rollback_failed(const std::wstring& folder)
{
    return L"インストール先を元に戻せませんでした。元のファイルは次の場所に残っています。\n" + folder;
}

inline const std::wstring download_again = L"\nアップデートのファイルが壊れています。もう一度ダウンロードしてください。";

inline std::wstring manifest_unreadable(int line)
{
    if (line == 0) return L"update.sha256 が読み込めませんでした。" + download_again;
    return L"update.sha256 の " + std::to_wstring(line) + L" 行目が正しくありません。" + download_again;
}

inline std::wstring manifest_outside(int line)
{
    return L"update.sha256 の " + std::to_wstring(line) + L" 行目に gamedata の外を指すパスが書かれています。" +
           download_again;
}

inline std::wstring update_file_missing(const std::wstring& source_path)
{
    return L"アップデートのファイル " + source_path + L" が見つかりません。" + download_again;
}

inline std::wstring update_file_damaged(const std::wstring& source_path)
{
    return L"アップデートのファイル " + source_path + L" の内容が正しくありません。" + download_again;
}

inline std::wstring dest_read_only(const std::wstring& path)
{
    return path + L" は読み取り専用のため、上書きできません。\n読み取り専用の設定を解除してから、もう一度アップデートしてください。";
}

inline std::wstring delete_read_only(const std::wstring& path)
{
    return path + L" は読み取り専用のため、削除できません。\n読み取り専用の設定を解除してから、もう一度アップデートしてください。";
}

inline std::wstring dest_in_use(const std::wstring& path)
{
    return path + L" はゲームまたはほかのプログラムが使用中です。\nそのプログラムを終了してから［再試行］を押してください。";
}

inline std::wstring not_enough_space(unsigned long long needed_mb, unsigned long long free_mb)
{
    return L"インストール先のドライブの空き容量が足りません。\n必要な空き容量: " + std::to_wstring(needed_mb) +
           L" MB\n現在の空き容量: " + std::to_wstring(free_mb) + L" MB";
}

inline std::wstring journal_not_written(const std::wstring& path)
{
    return L"アップデートの記録ファイル " + path +
           L" に書き込めませんでした。\nインストール先のドライブの空き容量を確認してください。";
}

inline std::wstring player_files_kept(const std::wstring& lines)
{
    return L"次のファイルはアップデートの後で変更されていたため、元に戻さずにそのまま残しました。\n" + lines;
}

inline std::wstring work_folder_refused(const std::wstring& folder)
{
    return L"インストール先の " + folder +
           L" は、中断されたアップデートの作業フォルダではありません。\n"
           L"このフォルダを別の場所へ移すか削除してから、もう一度実行してください。";
}

inline std::wstring dest_is_link(const std::wstring& path)
{
    return L"インストール先の " + path +
           L" はシンボリックリンクのため、アップデートできません。\nリンクを実際のファイルに置き換えてから、もう一度実行してください。";
}

inline std::wstring dest_on_other_drive(const std::wstring& path)
{
    return L"インストール先の " + path +
           L" は別のドライブを指すリンク（ジャンクションまたはマウントポイント）のため、アップデートできません。\n"
           L"このフォルダをインストール先と同じドライブに移してから、もう一度実行してください。";
}

inline const std::wstring shutdown_block_reason = L"ゲームのアップデートを適用しています。終わるまでお待ちください。";

}  // namespace expected
