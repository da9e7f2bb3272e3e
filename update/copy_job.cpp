#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "copy_engine/copy_transaction.h"
#include "copy_engine/work_place.h"
#include "nt3/pump.h"
#include "update/content_check.h"
#include "update/copy_messages.h"
#include "update/message_helpers.h"
#include "update/shutdown_block.h"
#include "update/update_process_dialog.h"
#include "update/update_sequence.h"
#include "update_core/copy_entry.h"
#include "update_core/messages.h"
#include "update_core/removed_files.h"
#include "update_core/update_settings.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"

namespace {

// Both progress bars run from 0 to this (per mille).
constexpr int PROGRESS_RANGE = 1000;
// Entries looked up between two turns of the message pump in the listing pass.
const std::size_t ENTRIES_PER_PUMP = 256;

// The per-mille position of `done` out of `total`, cut toward zero and kept on the bar.
int per_mille(double done, double total)
{
    const double value = done * PROGRESS_RANGE / total;
    if (!(value > 0)) return 0;
    return value >= PROGRESS_RANGE ? PROGRESS_RANGE : static_cast<int>(value);
}

// The copy shown in the progress dialog, which answers between chunks; each
// file is held to the manifest the update ships as it is read.
class C_dialog_progress final : public C_copy_progress {
public:
    ~C_dialog_progress() = default;

    void file_begun(const std::wstring& rel) override
    {
        progress_dialog.static_text.set_text(rel);
        content_.reset(new C_content_check(rel));
    }

    void chunk_read(const void* data, std::size_t size) override { content_->add(data, size); }
    bool content_matches() override { return content_->matches(); }

    void bytes_copied(std::uint64_t file_done, std::uint64_t file_size, std::uint64_t done,
                      std::uint64_t total) override
    {
        progress_dialog.progress_total.set_pos(per_mille(static_cast<double>(done), static_cast<double>(total)));
        progress_dialog.progress_file.set_pos(
            per_mille(static_cast<double>(file_done), static_cast<double>(file_size)));
        NT3::pump_messages();
    }

    void working() override { NT3::pump_messages(); }

private:
    std::unique_ptr<C_content_check> content_;
};

// Lists what every script entry stands for and the files the update removes,
// then copies and removes it all or nothing. False, after telling the player,
// when an entry is no longer found or refused (nothing is changed then) or the
// copy failed (everything done is undone then).
bool copy_update_files()
{
    const auto& settings = UpdateSettings;

    // Listing pass: every file of every entry, in copy order, before any is
    // copied. Each folder is listed once for all the entries in it; the dialog
    // is kept answering all the while.
    std::vector<C_copy_item> files;
    std::vector<std::wstring> removed;
    {
        C_folder_listings listings([] { NT3::pump_messages(); });
        std::size_t listed_entries = 0;
        for (const std::wstring& entry : settings.copy_files) {
            C_copy_entry listed = list_copy_entry(listings, settings.source_dir, entry);
            // The check before the prompt found it in full. One gone or
            // unreadable since then must not end in the success message.
            if (!listed.found()) {
                report_failure(msg_entry_missing(path_join(settings.source_dir, entry)));
                return false;
            }
            files.insert(files.end(), std::make_move_iterator(listed.files.begin()),
                         std::make_move_iterator(listed.files.end()));
            if (++listed_entries % ENTRIES_PER_PUMP == 0) NT3::pump_messages();
        }
        // Taken before anything changes, from the installation as it is.
        C_removal_plan removal = plan_removed_files(listings, settings.dest_dir, settings.delete_files, files);
        if (!removal.problems.empty()) {
            report_failure(removal.problems.front().message);
            return false;
        }
        for (C_removed_file& file : removal.files) removed.push_back(std::move(file.rel));
    }
    for (const C_copy_item& file : files) {
        // The update's own bookkeeping lives there.
        if (lands_in_work_folder(file.rel)) {
            report_failure(msg_dest_not_opened(path_join(settings.dest_dir, file.rel)));
            return false;
        }
    }

    C_dialog_progress progress;
    const C_copy_outcome outcome =
        copy_into_installation(settings.source_dir, settings.dest_dir, files, removed, progress);
    if (!outcome.failure) return true;
    // The installation is put back before the player hears why the update stopped.
    warn_user(copy_failure_message(outcome.failure));
    if (!outcome.kept.empty()) warn_user(msg_player_files_kept(outcome.kept));
    if (!outcome.restored) warn_user(msg_rollback_failed(C_work_place(settings.dest_dir).folder));
    warn_user(MSG_UPDATE_FAILED);
    return false;
}

}  // namespace

bool run_copy_job()
{
    auto& dialog = progress_dialog;
    // Not looked at: without a window the job still runs, and every control call does nothing.
    dialog.create(L"update");
    if (dialog.hwnd) dialog.set_text(msg_progress_caption(UpdateSettings.update_title));
    dialog.progress_total.set_range(0, PROGRESS_RANGE);
    dialog.progress_file.set_range(0, PROGRESS_RANGE);
    if (dialog.hwnd && !(GetWindowLongW(dialog.hwnd, GWL_STYLE) & WS_VISIBLE)) ShowWindow(dialog.hwnd, SW_SHOW);

    bool result = false;
    {
        // Windows is asked not to shut down while files are being put in place.
        const C_shutdown_block block(dialog, MSG_SHUTDOWN_BLOCK_REASON);
        result = copy_update_files();
    }

    // The user may have closed the dialog during the copy; then there is nothing to remove.
    if (dialog.hwnd) {
        if (GetWindowLongW(dialog.hwnd, GWL_STYLE) & WS_VISIBLE) ShowWindow(dialog.hwnd, SW_HIDE);
        if (dialog.hwnd) DestroyWindow(dialog.hwnd);
    }
    return result;
}
