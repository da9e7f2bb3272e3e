#include "update_make/update_maker.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "file/error_info.h"
#include "file/error_text.h"
#include "file/file.h"
#include "update_check/folder_checks.h"
#include "update_check/update_check.h"
#include "update_core/delete_entry_form.h"
#include "update_core/game_files.h"
#include "update_core/manifest.h"
#include "update_make/make_interrupt.h"
#include "update_make/manifest_maker.h"
#include "update_make/release_checks.h"
#include "update_make/release_compare.h"
#include "update_make/release_listing.h"
#include "update_make/script_writer.h"
#include "update_make/update_plan.h"
#include "update_make/working_folder.h"
#include "util/text/code_page_932.h"
#include "console/console_progress.h"
#include "util/fs/entry_path.h"
#include "util/fs/folder_tree.h"
#include "util/fs/long_path.h"
#include "util/fs/full_path.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"

namespace {

void append(std::vector<C_check_finding>& to, const std::vector<C_check_finding>& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

// "12 of 40 files, 3 of 10 MiB"
std::wstring counts_of(std::uint64_t files, std::uint64_t total_files, std::uint64_t bytes, std::uint64_t total_bytes)
{
    return std::to_wstring(files) + L" of " + std::to_wstring(total_files) + L" files, " +
           std::to_wstring(bytes >> 20) + L" of " + std::to_wstring(total_bytes >> 20) + L" MiB";
}

// A block of zeros: its first byte is zero and every byte equals the next.
bool all_zero(const char* bytes, std::size_t size)
{
    return size == 0 || (bytes[0] == 0 && std::memcmp(bytes, bytes + 1, size - 1) == 0);
}

HANDLE handle_of(std::FILE* stream)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

// Gives the file being written these times once its data is out of the
// stream: later closing it changes none of them.
bool set_times(C_file& file, const FILETIME& created, const FILETIME& written)
{
    if (std::fflush(file.stream) != 0) {
        set_last_errno_error(L"fflush");
        return false;
    }
    // The last access time is the last write time: reading a source changes its own.
    if (!SetFileTime(handle_of(file.stream), &created, &written, &written)) {
        set_last_error(error_kind::win32, static_cast<int>(GetLastError()), L"SetFileTime");
        return false;
    }
    return true;
}

std::uint64_t as_number(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Copies `from` to `to` (both in the "\\?\" form) through `buffer`, creating
// the folders on the way, and gives the copy the source's creation and last
// write times, which `written` receives. Chunks of zeros are skipped, not
// written: the file system fills the gap with zeros, and a sparse source stays
// sparse. Every chunk read goes to `manifest` unless it is null, and
// `on_chunk` hears of it. A failure leaves its error record; an interrupted
// make stops between chunks without one.
bool copy_release_file(const std::wstring& from, const std::wstring& to, char* buffer, FILETIME& written,
                       C_manifest_maker* manifest = nullptr, const std::function<void(std::uint64_t)>& on_chunk = {})
{
    C_file source;
    if (!source.open(from, L"rb")) return false;
    FILETIME created{}, accessed{};
    if (!GetFileTime(handle_of(source.stream), &created, &accessed, &written)) {
        set_last_error(error_kind::win32, static_cast<int>(GetLastError()), L"GetFileTime");
        return false;
    }
    if (!dir_create_long(path_get_folder(to))) return false;
    C_file dest;
    if (!dest.open(to, L"wb")) return false;
    for (std::int64_t left = source.size; left > 0;) {
        if (make_interrupted()) {
            clear_last_error();
            return false;
        }
        const int wanted = static_cast<int>(std::min<std::int64_t>(RELEASE_COMPARE_CHUNK, left));
        if (file_read(buffer, wanted, source.stream) != wanted) return false;
        if (manifest) manifest->add(buffer, static_cast<std::size_t>(wanted));
        left -= wanted;
        if (on_chunk) on_chunk(static_cast<std::uint64_t>(wanted));
        // The last chunk is always written, so that the file has its full length.
        if (left > 0 && all_zero(buffer, static_cast<std::size_t>(wanted))) {
            if (_fseeki64(dest.stream, wanted, SEEK_CUR) != 0) {
                set_last_errno_error(L"fseek");
                return false;
            }
        } else if (file_write(buffer, wanted, dest.stream) != wanted) {
            return false;
        }
    }
    return set_times(dest, created, written) && dest.close();
}

// Writes `bytes` as the file `path`, which all three of its times give as `time`.
bool write_bytes(const std::wstring& path, const std::string& bytes, const FILETIME& time)
{
    C_file file;
    if (!file.open(path, L"wb")) return false;
    if (!bytes.empty() && file_write(bytes.data(), static_cast<int>(bytes.size()), file.stream) != static_cast<int>(bytes.size())) {
        return false;
    }
    return set_times(file, time, time) && file.close();
}

// A character code page 932 cannot spell becomes "?" in the comment, which the
// updater passes over like the rest of it.
std::wstring spellable_or_marked(const std::wstring& text)
{
    std::wstring result;
    std::string ignored;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() ? 2 : 1;
        const std::wstring character = text.substr(i, length);
        result += spell_in_code_page_932(character, ignored) ? character : L"?";
        i += length;
    }
    return result;
}

// A release by the last part of its path: where it lies differs from machine
// to machine, and would tell every player where the publisher keeps it.
std::wstring release_name(const std::wstring& folder)
{
    std::wstring full = full_path(folder);
    while (full.size() > 1 && full.back() == L'\\') full.pop_back();
    const std::wstring name = path_get_file_name(full);
    return name.empty() ? full : name;
}

std::wstring script_comment(const C_make_request& request)
{
    std::wstring comment =
        L"Made by update_make.exe from " + release_name(request.old_dir) + L" to " + release_name(request.new_dir);
    for (std::size_t i = 0; i < request.excludes.size(); ++i) {
        comment += (i == 0 ? L", excluding " : L", ") + request.excludes[i];
    }
    return spellable_or_marked(comment);
}

// What each entry carries: a file entry its file, a folder entry the files below it.
std::vector<C_shipped_entry> shipped_entries(const std::vector<std::wstring>& entries,
                                             const std::vector<C_release_file>& files)
{
    std::vector<C_shipped_entry> shipped;
    std::map<std::wstring, std::size_t> index;
    for (const auto& entry : entries) {
        index.emplace(entry, shipped.size());
        shipped.push_back({entry, 0, 0});
    }
    for (const auto& file : files) {
        auto found = index.end();
        for (std::size_t end = file.rel.find(L'\\'); found == index.end(); end = file.rel.find(L'\\', end + 1)) {
            found = index.find(file.rel.substr(0, end));
            if (end == std::wstring::npos) break;
        }
        if (found == index.end()) continue;  // blocked: no entry carries it
        ++shipped[found->second].files;
        shipped[found->second].bytes += file.size;
    }
    return shipped;
}

class C_maker {
public:
    C_maker(const C_make_request& request, C_progress_line& progress)
        : request_(request),
          progress_(progress),
          exclusions_(request.excludes),
          old_opened_(long_path_form(request.old_dir)),
          new_opened_(long_path_form(request.new_dir))
    {
    }

    C_make_result run()
    {
        if (plan() && !request_.dry_run) lay_out();
        progress_.clear();
        result_.made = made_;
        result_.interrupted = make_interrupted() && !made_;
        return std::move(result_);
    }

private:
    // Findings name files as given; the files themselves are opened through
    // the "\\?\" form, whatever the length of their paths.
    std::wstring old_path(const std::wstring& rel) const { return path_join(request_.old_dir, rel); }
    std::wstring new_path(const std::wstring& rel) const { return path_join(request_.new_dir, rel); }
    std::wstring old_opened(const std::wstring& rel) const { return path_join(old_opened_, rel); }
    std::wstring new_opened(const std::wstring& rel) const { return path_join(new_opened_, rel); }
    bool stopped() const { return result_.errors() > 0 || make_interrupted(); }

    // Everything up to the entries and what they carry; false when nothing is
    // to be laid out.
    bool plan()
    {
        auto& findings = result_.findings;
        append(findings, check_release_tops(request_.old_dir, request_.new_dir));
        if (stopped()) return false;

        progress_.show(L"Listing " + request_.old_dir + L" and " + request_.new_dir);
        const C_release_listing old_listing = list_release(old_opened_, exclusions_);
        const C_release_listing new_listing = list_release(new_opened_, exclusions_);
        append(findings, review_release_listing(request_.old_dir, old_listing, finding_kind::link_in_old));
        append(findings, review_release_listing(request_.new_dir, new_listing, finding_kind::link_in_new));
        // A folder left unlisted would be left out of the comparison too.
        if (stopped()) return false;

        diff_ = compare_releases(old_opened_, new_opened_, old_listing.files, new_listing.files,
                                 [this](const C_compare_counts& counts) {
                                     progress_.show(L"Comparing: " + counts_of(counts.files, counts.total_files,
                                                                               counts.bytes, counts.total_bytes) +
                                                    L" read");
                                 });
        if (make_interrupted()) return false;
        if (!request_.keep_removed) plan_removals();
        const C_update_plan plan = plan_update_entries(
            diff_.update, [this](const std::wstring& rel) { return get_path_kind(old_opened(rel)); },
            result_.removed);
        report_errors(plan, new_listing);
        report_warnings(new_listing);
        entries_ = plan.entries;
        result_.entries = shipped_entries(entries_, diff_.update);
        for (const auto& shipped : result_.entries) {
            result_.copied_files += shipped.files;
            result_.copied_bytes += shipped.bytes;
        }
        result_.removed_files = result_.removed.size();
        return result_.errors() == 0;
    }

    // One #DELETE_FILE entry for each file of OLD that NEW lacks (the
    // exclusions applied by the listing), but for names the script cannot
    // carry or the updater would refuse; players keep those.
    void plan_removals()
    {
        std::string ignored;
        for (const auto& rel : diff_.removed) {
            const wchar_t* why = nullptr;
            if (path_has_trimmed_name(rel)) {
                why = L"a name ending in a dot or a space, which Windows cannot hold";
            } else if (delete_entry_form_of(rel) != delete_entry_form::names_a_file) {
                why = L"a path that update.exe refuses to remove";
            } else if (!spell_in_code_page_932(rel, ignored)) {
                why = L"code page 932 cannot spell this name, so update.ini cannot name it";
            }
            if (why) {
                kept_.push_back({rel, why});
            } else {
                result_.removed.push_back(rel);
            }
        }
    }

    // What would keep the update from being made, or from being applied.
    void report_errors(const C_update_plan& plan, const C_release_listing& new_listing)
    {
        auto& findings = result_.findings;
        for (const auto& file : diff_.unreadable) {
            findings.push_back(finding_at(finding_kind::file_unreadable,
                                          file.in_old ? old_path(file.rel) : new_path(file.rel),
                                          L"cannot be read: " + file.reason));
        }
        // Each part of each path: "Data\a" and "data\b" are one folder on Windows.
        std::vector<dir_entry> new_files;
        for (const auto& file : new_listing.files) new_files.push_back(dir_entry{file.rel, false, file.size});
        append(findings, find_case_clashes(request_.new_dir, new_files));
        std::vector<std::wstring> shipped;
        for (const auto& file : diff_.update) {
            shipped.push_back(file.rel);
            if (path_has_trimmed_name(file.rel)) {
                findings.push_back(finding_at(finding_kind::name_trimmed, new_path(file.rel),
                                              L"a name ending in a dot or a space, which Windows cannot hold; rename it"));
            }
        }
        append(findings, find_unholdable_names(request_.new_dir, shipped));
        for (const auto& blocked : plan.blocked) {
            const std::wstring text =
                blocked.in_the_way == blocked.rel
                    ? L"a folder of this name stands in " + request_.old_dir + L"; the updater cannot put a file in its place"
                    : old_path(blocked.in_the_way) +
                          L" is a file where this file's folder must go; the updater cannot put a folder in its place";
            findings.push_back(finding_at(finding_kind::blocked_by_old, new_path(blocked.rel), text));
        }
        std::string ignored;
        for (const auto& entry : plan.entries) {
            if (!spell_in_code_page_932(entry, ignored)) {
                findings.push_back(finding_at(finding_kind::name_not_cp932, new_path(entry),
                                              L"code page 932 cannot spell this name, so update.ini cannot name it; "
                                              L"rename it"));
            }
        }
        // An update may remove files and copy none.
        if (diff_.update.empty() && result_.removed.empty() && diff_.unreadable.empty()) {
            findings.push_back(finding_at(finding_kind::nothing_to_ship, request_.new_dir,
                                          L"nothing to ship: no file differs from " + request_.old_dir +
                                              (request_.excludes.empty() ? L"" : L" outside the --exclude patterns")));
        }
    }

    // What the update will do, but players should know of.
    void report_warnings(const C_release_listing& new_listing)
    {
        auto& findings = result_.findings;
        for (const auto& file : diff_.update) {
            if (names_equal(file.rel, ENGINE_EXE)) {
                findings.push_back(finding_at(finding_kind::engine_changes, new_path(file.rel),
                                              L"the game's engine changes; the update replaces it, so players must "
                                              L"close the game before they run update.exe"));
            }
            if (file.old_read_only) {
                findings.push_back(finding_at(finding_kind::read_only_changed, old_path(file.rel),
                                              L"read-only, and the update changes it: where players' copy is "
                                              L"read-only too, update.exe cannot replace it and stops partway"));
            }
            append(findings, review_path_length(new_path(file.rel), file.rel));
        }
        if (request_.keep_removed) {
            for (const auto& rel : diff_.removed) {
                findings.push_back(finding_at(finding_kind::file_removed, old_path(rel),
                                              L"gone from " + request_.new_dir +
                                                  L"; --keep-removed leaves it, so players keep this file"));
            }
        }
        for (const auto& kept : kept_) {
            findings.push_back(finding_at(finding_kind::file_kept, old_path(kept.first),
                                          L"gone from " + request_.new_dir + L", but " + kept.second +
                                              L"; the update does not remove it, so players keep this file"));
        }
        append(findings, review_empty_folders(old_opened_, request_.new_dir, new_listing.empty_folders));
        append(findings, review_unused_excludes(request_.old_dir, request_.new_dir, exclusions_.unused()));
    }

    // Everything is made in a folder beside OUT, which becomes OUT only when
    // the whole update is there and the checker finds no error in it.
    void lay_out()
    {
        const std::wstring out = full_path(request_.out_dir);
        // What an earlier make left when it was killed goes first: it may be large.
        remove_abandoned_working_folders(out);
        const std::wstring making = working_folder_for(out);
        const std::wstring making_opened = long_path_form(making);
        if (get_path_kind(making_opened) != path_kind::missing) remove_folder_tree(making_opened);
        if (!dir_create_long(making_opened + L"\\gamedata")) {
            result_.findings.push_back(
                finding_at(finding_kind::out_not_made, making, L"cannot be created: " + last_error_reason()));
            return;
        }
        buffer_.reset(new char[RELEASE_COMPARE_CHUNK]);
        if (fill(making_opened)) {
            // The checker names what it finds relative to the folder, so its
            // findings read the same for OUT. Long paths the plan has named
            // already, by the files of NEW.
            C_check_result checked = check_update_folder(making);
            for (auto& finding : checked.findings) {
                if (finding.kind != finding_kind::path_long) result_.findings.push_back(std::move(finding));
            }
            result_.copied_files = checked.copied_files;
            result_.copied_bytes = checked.copied_bytes;
            result_.removed_files = checked.removed_files;
            const bool refused = request_.strict && result_.warnings() > 0;
            if (!stopped() && !refused && put_in_place(making_opened, long_path_form(out))) {
                made_ = true;
                return;
            }
        }
        remove_folder_tree(making_opened);
    }

    bool fill(const std::wstring& making)
    {
        std::uint64_t total_bytes = 0;
        for (const auto& file : diff_.update) total_bytes += file.size;
        std::uint64_t copied_files = 0;
        std::uint64_t copied_bytes = 0;
        const auto show = [&] {
            progress_.show(L"Copying: " +
                           counts_of(copied_files, diff_.update.size(), copied_bytes, total_bytes));
        };
        // update.ini and the manifest are as new as the newest file they ship.
        FILETIME newest{};
        C_manifest_maker manifest;
        for (const auto& file : diff_.update) {
            show();
            manifest.start(file.rel);
            FILETIME written{};
            if (!copy_release_file(new_opened(file.rel), making + L"\\gamedata\\" + file.rel, buffer_.get(), written, &manifest,
                                   [&](std::uint64_t bytes) {
                                       copied_bytes += bytes;
                                       show();
                                   })) {
                if (make_interrupted()) return false;
                result_.findings.push_back(finding_at(finding_kind::copy_failed, new_path(file.rel),
                                                      L"cannot be copied into the update: " + last_error_reason()));
                return false;
            }
            manifest.done();
            ++copied_files;
            if (as_number(written) > as_number(newest)) newest = written;
        }

        C_update_settings values;
        values.reg_path = request_.reg_path;
        values.game_title = request_.game_title;
        values.update_title = request_.update_title;
        values.copy_files = entries_;
        values.delete_files = result_.removed;
        std::string script;
        if (!spell_in_code_page_932(compose_update_script(script_comment(request_), values), script)) {
            result_.findings.push_back(finding_at(finding_kind::script_not_written, request_.out_dir + L"\\update.ini",
                                                  L"cannot be written: code page 932 cannot spell it"));
            return false;
        }
        if (!write_bytes(making + L"\\update.ini", script, newest)) {
            result_.findings.push_back(finding_at(finding_kind::script_not_written, request_.out_dir + L"\\update.ini",
                                                  L"cannot be written: " + last_error_reason()));
            return false;
        }
        std::wstring unspellable;
        std::string listed;
        if (!manifest.compose(listed, unspellable) || !write_bytes(making + L"\\" + MANIFEST_FILE, listed, newest)) {
            result_.findings.push_back(
                unspellable.empty()
                    ? finding_at(finding_kind::manifest_not_written, request_.out_dir + L"\\" + MANIFEST_FILE,
                                 L"cannot be written: " + last_error_reason())
                    : finding_at(finding_kind::manifest_not_written, new_path(unspellable),
                                 L"UTF-8 cannot spell this name, so update.sha256 cannot list it; rename it"));
            return false;
        }
        FILETIME ignored{};
        if (!copy_release_file(long_path_form(request_.updater), making + L"\\update.exe", buffer_.get(), ignored)) {
            if (make_interrupted()) return false;
            result_.findings.push_back(finding_at(finding_kind::copy_failed, request_.updater,
                                                  L"cannot be copied into the update: " + last_error_reason()));
            return false;
        }
        return true;
    }

    bool put_in_place(const std::wstring& making, const std::wstring& out)
    {
        // An empty OUT gives way to the finished update, and comes back if the move fails.
        const bool was_folder = get_path_kind(out) == path_kind::folder;
        if (was_folder) RemoveDirectoryW(out.c_str());
        if (MoveFileExW(making.c_str(), out.c_str(), 0)) return true;
        const DWORD error = GetLastError();
        result_.findings.push_back(
            finding_at(finding_kind::out_not_made, request_.out_dir, L"cannot be created: " + system_error_text(error)));
        if (was_folder) CreateDirectoryW(out.c_str(), nullptr);
        return false;
    }

    const C_make_request& request_;
    C_progress_line& progress_;
    C_exclusions exclusions_;
    const std::wstring old_opened_;
    const std::wstring new_opened_;
    std::unique_ptr<char[]> buffer_;
    C_release_diff diff_;
    std::vector<std::wstring> entries_;
    std::vector<std::pair<std::wstring, const wchar_t*>> kept_;  // files of OLD no entry can remove, and why
    C_make_result result_;
    bool made_ = false;
};

}  // namespace

C_make_result make_update(const C_make_request& request, C_progress_line& progress)
{
    return C_maker(request, progress).run();
}
