#include "update_core/messages.h"

#include "update_core/work_folder.h"
#include "util/text/text.h"

const wchar_t* const MSG_ERROR_CAPTION = L"エラー";
const wchar_t* const MSG_RICH_EDIT_NOT_LOADED = L"riched32.dll の読み込みに失敗しました。アプリケーションを終了します。";

const wchar_t* const MSG_SCRIPT_NOT_FOUND = L"update.ini が見つかりませんでした。";

const wchar_t* const MSG_NO_REG_PATH = L"update.ini にレジストリ名が指定されていません。";
const wchar_t* const MSG_NO_UPDATE_TITLE = L"update.ini にアップデート名が指定されていません。";
const wchar_t* const MSG_NO_GAME_TITLE = L"update.ini にゲーム名が指定されていません。";

// Names the folder as the user sees it beside the updater, not by its path.
const wchar_t* const MSG_NO_SOURCE_FOLDER = L"コピー元の gamedata フォルダが見つかりません。";

std::wstring msg_entry_empty(int position)
{
    return format_text(L"update.ini の %d 個目の COPY_FILE が指定されていません。", position);
}

std::wstring msg_entry_outside(int position)
{
    return format_text(L"update.ini の %d 個目の COPY_FILE にインストール先の外を指すパスは指定できません。", position);
}

std::wstring msg_entry_missing(const std::wstring& source_path)
{
    return L"コピー元のファイル " + source_path + L" が見つかりません。";
}

std::wstring msg_delete_entry_empty(int position)
{
    return format_text(L"update.ini の %d 個目の DELETE_FILE が指定されていません。", position);
}

std::wstring msg_delete_entry_outside(int position)
{
    return format_text(L"update.ini の %d 個目の DELETE_FILE にインストール先の外を指すパスは指定できません。", position);
}

std::wstring msg_delete_entry_in_work_folder(int position)
{
    return format_text(L"update.ini の %d 個目の DELETE_FILE に ", position) + UPDATE_WORK_FOLDER +
           L" フォルダの中は指定できません。";
}

std::wstring msg_delete_entry_is_folder(int position, const std::wstring& path)
{
    return format_text(L"update.ini の %d 個目の DELETE_FILE が指す ", position) + path +
           L" はフォルダのため削除できません。";
}

std::wstring msg_delete_entry_other_name(int position, const std::wstring& path)
{
    return format_text(L"update.ini の %d 個目の DELETE_FILE が指す ", position) + path +
           L" は、インストール先に保存されている名前と異なります。";
}

std::wstring msg_no_registry_key(const std::wstring& game_title)
{
    return L"レジストリキーが見つかりませんでした。\n「" + game_title + L"」がセットアップされていることを確認してください。";
}

std::wstring msg_no_registry_value(const std::wstring& name)
{
    return L"レジストリに [" + name + L"] が見つかりませんでした。";
}

std::wstring msg_no_install_folder(const std::wstring& folder)
{
    return L"コピー先のフォルダ " + folder + L" が見つかりません。\nゲームが正しくセットアップされていることを確認してください。";
}

const wchar_t* const MSG_NO_ENGINE =
    L"VelkorEngine.exe が見つかりませんでした。\nゲームが正しくセットアップされていることを確認してください。";
const wchar_t* const MSG_NOT_FULL_SETUP =
    L"セットアップ情報が取得できませんでした。\n最小セットアップではアップデートを行うことはできません。";

namespace {

const wchar_t* const DOWNLOAD_AGAIN = L"\nアップデートのファイルが壊れています。もう一度ダウンロードしてください。";

}  // namespace

std::wstring msg_manifest_unreadable(int line)
{
    if (line <= 0) return std::wstring(L"update.sha256 が読み込めませんでした。") + DOWNLOAD_AGAIN;
    return format_text(L"update.sha256 の %d 行目が正しくありません。", line) + DOWNLOAD_AGAIN;
}

std::wstring msg_manifest_outside(int line)
{
    return format_text(L"update.sha256 の %d 行目に gamedata の外を指すパスが書かれています。", line) + DOWNLOAD_AGAIN;
}

std::wstring msg_update_file_missing(const std::wstring& source_path)
{
    return L"アップデートのファイル " + source_path + L" が見つかりません。" + DOWNLOAD_AGAIN;
}

std::wstring msg_update_file_damaged(const std::wstring& source_path)
{
    return L"アップデートのファイル " + source_path + L" の内容が正しくありません。" + DOWNLOAD_AGAIN;
}

std::wstring msg_dest_read_only(const std::wstring& path)
{
    return path + L" は読み取り専用のため、上書きできません。\n読み取り専用の設定を解除してから、もう一度アップデートしてください。";
}

std::wstring msg_delete_read_only(const std::wstring& path)
{
    return path + L" は読み取り専用のため、削除できません。\n読み取り専用の設定を解除してから、もう一度アップデートしてください。";
}

std::wstring msg_dest_in_use(const std::wstring& path)
{
    return path + L" はゲームまたはほかのプログラムが使用中です。\nそのプログラムを終了してから［再試行］を押してください。";
}

std::wstring msg_not_enough_space(unsigned long long needed_mb, unsigned long long free_mb)
{
    return L"インストール先のドライブの空き容量が足りません。\n必要な空き容量: " + std::to_wstring(needed_mb) +
           L" MB\n現在の空き容量: " + std::to_wstring(free_mb) + L" MB";
}

std::wstring msg_confirm_destination(const std::wstring& folder)
{
    return L"セットアップ先 = " + folder + L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？";
}

const wchar_t* const MSG_UPDATE_CANCELLED = L"アップデートを中断しました。";

std::wstring msg_dest_is_link(const std::wstring& path)
{
    return L"インストール先の " + path +
           L" はシンボリックリンクのため、アップデートできません。\nリンクを実際のファイルに置き換えてから、もう一度実行してください。";
}

std::wstring msg_dest_on_other_drive(const std::wstring& path)
{
    return L"インストール先の " + path +
           L" は別のドライブを指すリンク（ジャンクションまたはマウントポイント）のため、アップデートできません。\n"
           L"このフォルダをインストール先と同じドライブに移してから、もう一度実行してください。";
}

std::wstring msg_progress_caption(const std::wstring& update_title)
{
    return update_title + L" アップデート";
}

const wchar_t* const MSG_SHUTDOWN_BLOCK_REASON = L"ゲームのアップデートを適用しています。終わるまでお待ちください。";

std::wstring msg_source_not_opened(const std::wstring& path)
{
    return L"コピー元の " + path + L" が開けませんでした。";
}

std::wstring msg_dest_not_opened(const std::wstring& path)
{
    // No space before が here, unlike the source's message: the text users know.
    return path + L"が開けませんでした。";
}

std::wstring msg_source_not_read(const std::wstring& path)
{
    return L"コピー元の " + path + L" が読み込めませんでした。";
}

std::wstring msg_dest_not_written(const std::wstring& path)
{
    return path + L" に書き込めませんでした。";
}

std::wstring msg_journal_not_written(const std::wstring& path)
{
    return L"アップデートの記録ファイル " + path +
           L" に書き込めませんでした。\nインストール先のドライブの空き容量を確認してください。";
}

const wchar_t* const MSG_INTERRUPTED_UPDATE_ROLLED_BACK =
    L"前回のアップデートが中断されていたため、インストール先を元の状態に戻しました。";

std::wstring msg_rollback_failed(const std::wstring& folder)
{
    return L"インストール先を元に戻せませんでした。元のファイルは次の場所に残っています。\n" + folder;
}

std::wstring msg_player_files_kept(const std::vector<std::wstring>& rels)
{
    // A box has room for a few lines only.
    const std::size_t shown = 10;
    std::wstring text = L"次のファイルはアップデートの後で変更されていたため、元に戻さずにそのまま残しました。";
    for (std::size_t i = 0; i < rels.size() && i < shown; ++i) text += L"\n" + rels[i];
    if (rels.size() > shown) text += format_text(L"\nほか %d 個", static_cast<int>(rels.size() - shown));
    return text;
}

std::wstring msg_work_folder_refused(const std::wstring& folder)
{
    return L"インストール先の " + folder +
           L" は、中断されたアップデートの作業フォルダではありません。\n"
           L"このフォルダを別の場所へ移すか削除してから、もう一度実行してください。";
}

const wchar_t* const MSG_UPDATE_FAILED = L"アップデートに失敗しました。";
const wchar_t* const MSG_UPDATE_SUCCEEDED = L"アップデートは正常に終了しました。";
