#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file/file.h"
#include "nt3/pump.h"
#include "update/content_check.h"
#include "update/copy_transaction.h"
#include "update/message_helpers.h"
#include "update/update_process_dialog.h"
#include "update/update_sequence.h"
#include "update_core/copy_entry.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"
#include "update_core/work_folder.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"

namespace {

// Every read asks for one chunk; the bars are updated and the queue pumped once per chunk.
constexpr int COPY_CHUNK_SIZE = 1000000;
// Both progress bars run from 0 to this (per mille).
constexpr int PROGRESS_RANGE = 1000;

// What the files of one job share: the chunk buffer, allocated once so that no
// file pays for a megabyte it overwrites at once, the bytes still to copy
// against the job's total, and the transaction that can undo the job.
struct C_copy_run {
    C_copy_run(std::uint64_t total, const std::wstring& dest_dir)
        : buffer(new char[COPY_CHUNK_SIZE]), copy_total(total), bytes_left(total), transaction(dest_dir)
    {
    }

    std::unique_ptr<char[]> buffer;
    std::uint64_t copy_total;
    std::uint64_t bytes_left;
    C_copy_transaction transaction;
};

// Lists what every script entry stands for, then copies it file by file. False,
// after reporting it, when an entry is no longer found (nothing is copied then)
// or at the first file that could not be copied (everything copied is undone then).
bool copy_update_files();

// Copies gamedata\rel over dest_dir\rel in chunks, showing its progress. On a
// failure it rolls the whole job back before the general failure message.
bool copy_update_file(const std::wstring& rel, C_copy_run& run);

// Entries looked up between two turns of the message pump in the listing pass.
const std::size_t ENTRIES_PER_PUMP = 256;

// The per-mille position of `done` out of `total`, cut toward zero and kept on the bar.
int per_mille(double done, double total)
{
    const double value = done * PROGRESS_RANGE / total;
    if (!(value > 0)) return 0;
    return value >= PROGRESS_RANGE ? PROGRESS_RANGE : static_cast<int>(value);
}

// Puts the installation back first, then tells the player why the update
// stopped and, if it could not be put back, where the old files are kept.
bool fail_copy(C_copy_run& run, const std::wstring& message)
{
    const bool restored = run.transaction.roll_back();
    warn_user(message);
    if (!restored) warn_user(msg_rollback_failed(run.transaction.work_folder()));
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

    const bool result = copy_update_files();

    // The user may have closed the dialog during the copy; then there is nothing to remove.
    if (dialog.hwnd) {
        if (GetWindowLongW(dialog.hwnd, GWL_STYLE) & WS_VISIBLE) ShowWindow(dialog.hwnd, SW_HIDE);
        if (dialog.hwnd) DestroyWindow(dialog.hwnd);
    }
    return result;
}

namespace {

bool copy_update_files()
{
    const auto& settings = UpdateSettings;

    // Listing pass: every file of every entry, in copy order, before any is
    // copied. Each folder is listed once for all the entries in it; the dialog
    // is kept answering all the while.
    std::vector<C_copy_item> files;
    std::uint64_t copy_total = 0;
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
            copy_total += listed.total_size;
            files.insert(files.end(), std::make_move_iterator(listed.files.begin()),
                         std::make_move_iterator(listed.files.end()));
            if (++listed_entries % ENTRIES_PER_PUMP == 0) NT3::pump_messages();
        }
    }

    // Copy pass: every change is journaled, so that a failure here, or the
    // process being stopped, leaves the installation as it was.
    if (files.empty()) return true;
    for (const C_copy_item& file : files) {
        // The update's own bookkeeping lives there.
        if (lands_in_work_folder(file.rel)) {
            report_failure(msg_dest_not_opened(path_join(settings.dest_dir, file.rel)));
            return false;
        }
    }
    C_copy_run run(copy_total, settings.dest_dir);
    if (!run.transaction.begin()) {
        report_failure(msg_dest_not_opened(run.transaction.work_folder()));
        return false;
    }
    for (const C_copy_item& file : files) {
        if (!copy_update_file(file.rel, run)) return false;
    }
    if (!run.transaction.commit()) return fail_copy(run, msg_dest_not_written(run.transaction.journal_path()));
    return true;
}

bool copy_update_file(const std::wstring& rel, C_copy_run& run)
{
    const auto& settings = UpdateSettings;
    const std::wstring source_path = path_join(settings.source_dir, rel);
    const std::wstring dest_path = path_join(settings.dest_dir, rel);

    // Chunks are far larger than the streams' own buffers: unbuffered, each read
    // and write goes to the system as one call, without copying through them.
    C_file source;
    if (!source.open(source_path, L"rb", file_buffering::none)) {
        return fail_copy(run, msg_source_not_opened(source_path));
    }
    C_file dest;
    if (!run.transaction.open_destination(rel, dest)) {
        source.close();
        return fail_copy(run, msg_dest_not_opened(dest_path));
    }
    progress_dialog.static_text.set_text(rel);

    const std::uint64_t size = static_cast<std::uint64_t>(source.size);
    std::uint64_t file_left = size;
    char* const buffer = run.buffer.get();
    std::uint64_t& bytes_left = run.bytes_left;
    const double total = static_cast<double>(run.copy_total);
    C_content_check content(rel);

    while (file_left > 0) {
        // Never past the length measured at open: a source that grows meanwhile
        // is copied as it was when the copy began.
        const int wanted = static_cast<int>(std::min<std::uint64_t>(COPY_CHUNK_SIZE, file_left));
        const int got = file_read(buffer, wanted, source.stream);
        if (got < wanted) {
            // Both files are let go before the rollback, which removes the new one.
            dest.close();
            source.close();
            return fail_copy(run, msg_source_not_read(source_path));
        }
        content.add(buffer, static_cast<std::size_t>(got));
        if (file_write(buffer, got, dest.stream) != got) {
            dest.close();
            source.close();
            return fail_copy(run, msg_dest_not_written(dest_path));
        }
        file_left -= static_cast<std::uint64_t>(got);
        bytes_left -= std::min<std::uint64_t>(bytes_left, static_cast<std::uint64_t>(got));
        progress_dialog.progress_total.set_pos(per_mille(total - static_cast<double>(bytes_left), total));
        progress_dialog.progress_file.set_pos(
            per_mille(static_cast<double>(size - file_left), static_cast<double>(size)));
        NT3::pump_messages();
    }

    // A damaged download never takes the place of the file it would replace.
    if (!content.matches()) {
        dest.close();
        source.close();
        return fail_copy(run, msg_update_file_damaged(source_path));
    }
    // Buffered data reaches the disk at the latest when the file is closed; a
    // full disk may show only there.
    const bool written = run.transaction.finish_destination(dest);
    source.close();
    if (!written) return fail_copy(run, msg_dest_not_written(dest_path));
    return true;
}

}  // namespace
