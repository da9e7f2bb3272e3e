#pragma once
#include <string>
#include <vector>

// Every text the updater shows the user, by the step that shows it; the checker
// and the maker quote them. A failing
// step's warning is followed by MSG_UPDATE_FAILED. (The progress dialog's text
// line reads "スタティック" from its template, res/dialogs.rc, until the first file.)

// Start-up, when "riched32.dll" cannot be loaded: the only box before the steps.
extern const wchar_t* const MSG_ERROR_CAPTION;
extern const wchar_t* const MSG_RICH_EDIT_NOT_LOADED;

// load_update_script: the script cannot be read.
extern const wchar_t* const MSG_SCRIPT_NOT_FOUND;

// validate_update_script: a required value is empty, in the order checked.
extern const wchar_t* const MSG_NO_REG_PATH;
extern const wchar_t* const MSG_NO_UPDATE_TITLE;
extern const wchar_t* const MSG_NO_GAME_TITLE;

// check_update_sources: no "gamedata" folder; a #COPY_FILE entry (`position`
// counted from 1) empty or reaching outside. An entry not found, `source_path`
// as written below the source folder, is told by the copy job as well when it
// is gone since the check.
extern const wchar_t* const MSG_NO_SOURCE_FOLDER;
std::wstring msg_entry_empty(int position);
std::wstring msg_entry_outside(int position);
std::wstring msg_entry_missing(const std::wstring& source_path);

// check_update_sources and check_delete_entries: a #DELETE_FILE entry
// (`position` counted from 1) empty, reaching outside the installation or into
// the updater's work folder; naming a folder, or a file by another name than
// the one it is stored under (a short name, trailing dots). `path` is the
// installation folder joined to the entry as written.
std::wstring msg_delete_entry_empty(int position);
std::wstring msg_delete_entry_outside(int position);
std::wstring msg_delete_entry_in_work_folder(int position);
std::wstring msg_delete_entry_is_folder(int position, const std::wstring& path);
std::wstring msg_delete_entry_other_name(int position, const std::wstring& path);

// read_install_info: no key for the game, or a value missing or too long.
std::wstring msg_no_registry_key(const std::wstring& game_title);
std::wstring msg_no_registry_value(const std::wstring& name);

// check_install_folder: no installation folder, no engine in it, not a full setup.
std::wstring msg_no_install_folder(const std::wstring& folder);
extern const wchar_t* const MSG_NO_ENGINE;
extern const wchar_t* const MSG_NOT_FULL_SETUP;

// check_ready_to_copy, against the manifest (update.sha256): one that cannot
// be read (`line` 0) or has a line that is no manifest line, or one that names
// a path outside gamedata; a file it lists missing, and a file whose size or
// content is not what it lists (found by the copy, or one it does not list).
// `source_path` as below the source folder.
std::wstring msg_manifest_unreadable(int line);
std::wstring msg_manifest_outside(int line);
std::wstring msg_update_file_missing(const std::wstring& source_path);
std::wstring msg_update_file_damaged(const std::wstring& source_path);

// check_ready_to_copy, against the installation: a file the update replaces
// is read-only, or held by another program (a box with Retry and Cancel);
// the drive has less room than the copy writes, in MB.
std::wstring msg_dest_read_only(const std::wstring& path);
// A file the update removes is read-only; one held by another program is told
// as a replaced one is.
std::wstring msg_delete_read_only(const std::wstring& path);
std::wstring msg_dest_in_use(const std::wstring& path);
std::wstring msg_not_enough_space(unsigned long long needed_mb, unsigned long long free_mb);

// confirm_update: the question, and the notice for any answer but Yes.
std::wstring msg_confirm_destination(const std::wstring& folder);
extern const wchar_t* const MSG_UPDATE_CANCELLED;

// check_destination_links: a destination that the copy would write through a
// link: a symbolic link to a file, or a folder on another drive through a
// junction or mount point.
std::wstring msg_dest_is_link(const std::wstring& path);
std::wstring msg_dest_on_other_drive(const std::wstring& path);

// run_copy_job: the progress dialog's caption, the reason it gives Windows for
// holding off a shutdown, and a file that cannot be copied.
std::wstring msg_progress_caption(const std::wstring& update_title);
extern const wchar_t* const MSG_SHUTDOWN_BLOCK_REASON;
std::wstring msg_source_not_opened(const std::wstring& path);
std::wstring msg_dest_not_opened(const std::wstring& path);
std::wstring msg_source_not_read(const std::wstring& path);
std::wstring msg_dest_not_written(const std::wstring& path);
// The journal of the copy's steps (`path`) could not be written: a full disk, say.
std::wstring msg_journal_not_written(const std::wstring& path);

// An update that stopped halfway, found at the next start and undone before the
// checks; or one that could not be undone, with the folder that keeps the old files.
extern const wchar_t* const MSG_INTERRUPTED_UPDATE_ROLLED_BACK;
std::wstring msg_rollback_failed(const std::wstring& folder);
// A rollback that found files changed since the update put them there (`rels`,
// relative to the installation) and left them as they are.
std::wstring msg_player_files_kept(const std::vector<std::wstring>& rels);
// The work folder's name taken by something that is no interrupted update's
// (a link, a folder without its journal, the journal of another installation).
std::wstring msg_work_folder_refused(const std::wstring& folder);

// The sequence's end: after any failing step, and after the copy.
extern const wchar_t* const MSG_UPDATE_FAILED;
extern const wchar_t* const MSG_UPDATE_SUCCEEDED;
