#include "update/copy_job.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "file/file.h"
#include "nt3/pump.h"
#include "update/copy_entry.h"
#include "update/messages.h"
#include "update/update_process_dialog.h"
#include "update/update_sequence.h"
#include "update/update_settings.h"
#include "util/dir_create.h"
#include "util/path.h"
#include "util/path_kind.h"

namespace {

// The per-mille position of `done` out of `total`, cut toward zero and kept on the bar.
int per_mille(double done, double total)
{
    const double value = done * PROGRESS_RANGE / total;
    if (!(value > 0)) return 0;
    return value >= PROGRESS_RANGE ? PROGRESS_RANGE : static_cast<int>(value);
}

// The chunk buffer of the running job, shared by all its files so that no file
// pays for allocating and clearing a megabyte it overwrites at once.
char* job_buffer = nullptr;

}  // namespace

bool run_copy_job()
{
    auto& dialog = progress_dialog;
    dialog.create(L"update");
    if (dialog.hwnd) dialog.set_text(UpdateSettings.update_title + L" アップデート");
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

bool copy_update_files()
{
    const auto& settings = UpdateSettings;
    const std::unique_ptr<char[]> buffer(new char[COPY_CHUNK_SIZE]);
    job_buffer = buffer.get();
    struct C_release {
        ~C_release() { job_buffer = nullptr; }
    } release;
    std::vector<C_dir_list> lists(settings.copy_files.size());
    std::vector<C_copy_entry> places(settings.copy_files.size());
    std::uint64_t copy_total = 0;

    for (std::size_t i = 0; i < settings.copy_files.size(); ++i) {
        places[i] = list_copy_entry(settings.source_dir, settings.copy_files[i], lists[i]);
        // The check before the prompt found it. One gone since then must not
        // end in the success message.
        if (!copy_entry_found(places[i], lists[i])) {
            report_failure(missing_entry_message(settings.source_dir, settings.copy_files[i]));
            return false;
        }
        copy_total += lists[i].total_size;
    }

    std::uint64_t bytes_left = copy_total;
    for (std::size_t i = 0; i < settings.copy_files.size(); ++i) {
        const C_copy_entry& place = places[i];
        switch (get_path_kind(settings.source_dir + L"\\" + place.rel)) {
        case path_kind::folder:
            for (const auto& item : lists[i].entries) {
                dir_create(settings.dest_dir + L"\\" + place.rel);
                if (!copy_update_file(place.rel + L"\\" + item.path, bytes_left, copy_total)) return false;
            }
            break;
        case path_kind::file:
            for (const auto& item : lists[i].entries) {
                const std::wstring rel = place.folder_part.empty() ? item.path : place.folder_part + L"\\" + item.path;
                if (!copy_update_file(rel, bytes_left, copy_total)) return false;
            }
            break;
        case path_kind::missing:
            break;
        }
    }
    return true;
}

bool copy_update_file(const std::wstring& rel, std::uint64_t& bytes_left, std::uint64_t copy_total)
{
    const auto& settings = UpdateSettings;
    const std::wstring source_path = settings.source_dir + L"\\" + rel;
    const std::wstring dest_path = settings.dest_dir + L"\\" + rel;

    // Chunks are far larger than the streams' own buffers: unbuffered, each read
    // and write goes to the system as one call, without copying through them.
    C_file source;
    if (!source.open(source_path, L"rb", file_buffering::none)) {
        report_failure(L"コピー元の " + source_path + L" が開けませんでした。");
        return false;
    }
    dir_create(path_get_folder(dest_path));
    C_file dest;
    if (!dest.open(dest_path, L"wb", file_buffering::none)) {
        report_failure(dest_path + L"が開けませんでした。");
        return false;
    }
    progress_dialog.static_text.set_text(rel);

    const std::uint64_t size = static_cast<std::uint64_t>(source.size);
    std::uint64_t file_left = size;
    std::unique_ptr<char[]> own_buffer;
    char* buffer = job_buffer;
    if (!buffer) {
        own_buffer.reset(new char[COPY_CHUNK_SIZE]);
        buffer = own_buffer.get();
    }
    const double total = static_cast<double>(copy_total);

    while (file_left > 0) {
        // Never past the length measured at open: a source that grows meanwhile
        // is copied as it was when the copy began.
        const int wanted = static_cast<int>(std::min<std::uint64_t>(COPY_CHUNK_SIZE, file_left));
        const int got = file_read(buffer, wanted, source.stream);
        if (got < wanted) {
            dest.close();
            source.close();
            report_failure(L"コピー元の " + source_path + L" が読み込めませんでした。");
            return false;
        }
        if (file_write(buffer, got, dest.stream) != got) {
            dest.close();
            source.close();
            report_failure(dest_path + L" に書き込めませんでした。");
            return false;
        }
        file_left -= static_cast<std::uint64_t>(got);
        bytes_left -= std::min<std::uint64_t>(bytes_left, static_cast<std::uint64_t>(got));
        progress_dialog.progress_total.set_pos(per_mille(total - static_cast<double>(bytes_left), total));
        progress_dialog.progress_file.set_pos(
            per_mille(static_cast<double>(size - file_left), static_cast<double>(size)));
        NT3::pump_messages();
    }

    // Buffered data reaches the disk at the latest when the file is closed; a
    // full disk may show only there.
    const bool written = dest.close();
    source.close();
    if (!written) {
        report_failure(dest_path + L" に書き込めませんでした。");
        return false;
    }
    return true;
}
