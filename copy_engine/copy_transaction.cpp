#include "copy_engine/copy_transaction.h"

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <memory>
#include <set>
#include <unordered_map>

#include "copy_engine/destination_links.h"
#include "copy_engine/disk_ops.h"
#include "copy_engine/emptied_folders.h"
#include "copy_engine/flusher.h"
#include "copy_engine/item_stamp.h"
#include "copy_engine/journal_file.h"
#include "copy_engine/undo.h"
#include "copy_engine/work_place.h"
#include "util/fs/final_path.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

bool hard_links_allowed = true;

const std::size_t STEPS_PER_REPORT = 64;
const std::size_t NO_FILE = static_cast<std::size_t>(-1);
// What a replaced file's attributes pass on to the file that takes its place.
const DWORD KEPT_ATTRIBUTES =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Full control for SYSTEM and the administrators, inherited by everything
// made inside, and nothing from the installation folder above: a player
// without administrator rights can neither plant nor change what the
// updater, with those rights, later puts in place or deletes.
const wchar_t* const WORK_FOLDER_SECURITY = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

std::wstring folder_of(const std::wstring& rel)
{
    const std::size_t slash = rel.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : rel.substr(0, slash);
}

struct C_names_less {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return names_less(a, b); }
};

// For each file the update copies more than once, the index of its copy
// before; NO_FILE for the rest.
std::vector<std::size_t> earlier_copies(const std::vector<C_copy_item>& files)
{
    std::vector<std::size_t> order(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return names_less(files[a].rel, files[b].rel); });
    std::vector<std::size_t> earlier(files.size(), NO_FILE);
    for (std::size_t k = 1; k < order.size(); ++k) {
        if (names_equal(files[order[k - 1]].rel, files[order[k]].rel)) earlier[order[k]] = order[k - 1];
    }
    return earlier;
}

// One step of the plan, in the journal's order: the n-th takes staged\n.
struct C_step {
    journal_step step;
    std::size_t file;  // into the copy's files; NO_FILE for a folder
    std::wstring rel;  // where it goes, names as stored; empty when the file's own path
};

class C_copy_run {
public:
    C_copy_run(const std::wstring& source_dir, const std::wstring& dest_dir, const std::vector<C_copy_item>& files,
               const std::vector<std::wstring>& removed, C_copy_progress& progress)
        : source_dir_(source_dir), place_(dest_dir), files_(files), removed_(removed), progress_(progress),
          buffer_(new char[COPY_CHUNK_SIZE]), earlier_(earlier_copies(files)), copied_again_(files.size(), false),
          links_(dest_dir)
    {
        for (const C_copy_item& file : files) total_ += file.size;
        for (const std::size_t earlier : earlier_) {
            if (earlier != NO_FILE) copied_again_[earlier] = true;
        }
    }

    C_copy_failure run()
    {
        C_copy_failure failure = begin();
        if (!failure) failure = stage_all();
        if (!failure) failure = commit();
        // Every file is closed before anything is undone or removed.
        const C_copy_failure unsynced = flusher_.finish();
        if (!failure) failure = unsynced;
        journal_.close();
        return failure;
    }

    bool begun() const { return begun_; }
    const C_work_place& place() const { return place_; }
    // The steps that removed a file, once the update is complete.
    std::vector<C_journal_record> removals() const
    {
        std::vector<C_journal_record> records;
        for (const C_step& step : plan_) {
            if (step.step != journal_step::remove) continue;
            C_journal_record record;
            record.step = step.step;
            record.rel = step.rel;
            records.push_back(std::move(record));
        }
        return records;
    }

private:
    C_copy_failure failed(copy_failure what, const std::wstring& path, system_error code) const
    {
        return C_copy_failure{what, path, code};
    }

    std::wstring dest_path(const std::wstring& rel) const { return path_join(place_.dest_dir, rel); }
    const std::wstring& rel_of(const C_step& step) const
    {
        return step.rel.empty() ? files_[step.file].rel : step.rel;
    }

    C_copy_failure begin()
    {
        // Whatever has the name, a link included, is not this run's to use.
        if (GetFileAttributesW(place_.folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return failed(copy_failure::work_folder_refused, place_.folder, ERROR_ALREADY_EXISTS);
        }
        const system_error looked = GetLastError();
        if (!is_gone(looked)) return failed(copy_failure::work_folder_not_made, place_.folder, looked);
        C_file_stamp installation;
        system_error error = folder_stamp(place_.dest_dir, installation);
        if (error) return failed(copy_failure::work_folder_not_made, place_.folder, error);
        installation.size = installation.written = 0;
        volume_ = installation.volume;

        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(WORK_FOLDER_SECURITY, SDDL_REVISION_1, &descriptor,
                                                                  nullptr)) {
            return failed(copy_failure::work_folder_not_made, place_.folder, GetLastError());
        }
        SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
        error = make_folder(place_.folder, &security);
        LocalFree(descriptor);
        if (error) return failed(copy_failure::work_folder_not_made, place_.folder, error);

        error = journal_.create(place_.journal, installation);
        if (error) {
            remove_folder(place_.folder);
            return failed(copy_failure::journal_not_written, place_.journal, error);
        }
        begun_ = true;
        error = make_folder(place_.staging);
        if (error) return failed(copy_failure::work_folder_not_made, place_.staging, error);
        return C_copy_failure();
    }

    C_copy_failure stage_all()
    {
        for (std::size_t i = 0; i < files_.size(); ++i) {
            if (flusher_.failed()) break;
            const C_copy_failure failure = stage_file(i);
            if (failure) return failure;
        }
        const C_copy_failure failure = plan_removals();
        if (failure) return failure;
        // Nothing takes its place before every staged file and the whole plan are durable.
        const C_copy_failure unsynced = flusher_.finish();
        if (unsynced) return unsynced;
        const system_error error = journal_.sync();
        if (error) return failed(copy_failure::journal_not_written, place_.journal, error);
        return C_copy_failure();
    }

    // Gives step n its numbered folders in the work folder, each made once.
    C_copy_failure make_numbered_folders(std::size_t n, bool stages, bool keeps_original)
    {
        const std::size_t block = n / C_work_place::ITEMS_PER_FOLDER;
        if (stages && staged_blocks_ <= block) {
            const system_error error = make_folder(place_.staged_folder(n));
            if (error) return failed(copy_failure::work_folder_not_made, place_.staged_folder(n), error);
            staged_blocks_ = block + 1;
        }
        if (keeps_original && original_blocks_ <= block) {
            system_error error = original_blocks_ == 0 ? make_folder(place_.originals) : 0;
            if (error) return failed(copy_failure::work_folder_not_made, place_.originals, error);
            error = make_folder(place_.original_folder(n));
            if (error) return failed(copy_failure::work_folder_not_made, place_.original_folder(n), error);
            original_blocks_ = block + 1;
        }
        return C_copy_failure();
    }

    C_copy_failure record(C_journal_record record, std::size_t file)
    {
        const system_error error = journal_.append(record);
        if (error) return failed(copy_failure::journal_not_written, place_.journal, error);
        std::wstring rel = file == NO_FILE || record.rel != files_[file].rel ? std::move(record.rel) : std::wstring();
        plan_.push_back(C_step{record.step, file, std::move(rel)});
        return C_copy_failure();
    }

    // Plans each level of `folder_rel` that the installation lacks, made in
    // the work folder and put in place before the files in it. Sets
    // `folder_is_new_` when the deepest level is one of them. A failure names
    // `target`, the file that needs the folder.
    C_copy_failure plan_folders(const std::wstring& folder_rel, const std::wstring& target)
    {
        if (folder_rel == last_folder_) return C_copy_failure();
        std::vector<std::wstring> missing;  // deepest first
        bool planned_above = false;
        for (std::wstring level = folder_rel; !level.empty(); level = folder_of(level)) {
            if (planned_folders_.count(level)) {
                planned_above = true;
                break;
            }
            const std::wstring path = dest_path(level);
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                const system_error error = GetLastError();
                if (!is_gone(error)) return failed(copy_failure::dest_not_opened, target, error);
                missing.push_back(level);
                continue;
            }
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return failed(copy_failure::dest_not_opened, target, ERROR_DIRECTORY);
            }
            break;
        }
        for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
            const std::size_t n = plan_.size();
            C_copy_failure failure = make_numbered_folders(n, true, false);
            if (failure) return failure;
            const std::wstring staged = place_.staged(n);
            system_error error = make_folder(staged);
            C_journal_record step;
            step.step = journal_step::folder;
            step.rel = *level;
            if (!error) error = staged_folder_stamp(staged, step.placed);
            if (error) return failed(copy_failure::dest_not_written, dest_path(*level), error);
            failure = record(step, NO_FILE);
            if (failure) return failure;
            planned_folders_.insert(*level);
        }
        last_folder_ = folder_rel;
        folder_is_new_ = planned_above || !missing.empty();
        return C_copy_failure();
    }

    // Made in the work folder, on the installation's volume.
    system_error staged_folder_stamp(const std::wstring& path, C_file_stamp& stamp) const
    {
        const C_scoped_handle folder(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return folder ? read_stamp_on(volume_, folder.get(), stamp) : GetLastError();
    }

    // What a replaced file passes on to the file that takes its place.
    struct C_kept_details {
        DWORD attributes = 0;
        std::uint64_t created = 0;
        std::vector<char> security;  // its DACL
    };

    struct C_replaced {
        C_file_stamp stamp;
        std::wstring rel;  // names as stored
        C_kept_details details;
    };

    // The file at `rel` that the copy is to replace, checked as the copy will
    // take it: opened for writing, shared with no one, so that a file that is
    // read-only or held open by another program (the game) is refused before
    // anything is done to it. False in `found` where there is none.
    C_copy_failure find_replaced(const std::wstring& rel, bool& found, C_replaced& replaced)
    {
        found = false;
        const std::wstring path = dest_path(rel);
        const C_scoped_handle file(CreateFileW(path.c_str(), GENERIC_WRITE | READ_CONTROL, 0, nullptr, OPEN_EXISTING,
                                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file) {
            const system_error error = GetLastError();
            return is_gone(error) ? C_copy_failure() : failed(copy_failure::dest_not_opened, path, error);
        }
        C_kept_details& details = replaced.details;
        system_error error =
            read_stamp_on(volume_, file.get(), replaced.stamp, &details.attributes, &details.created);
        if (error) return failed(copy_failure::dest_not_opened, path, error);
        // Written through, a link would change a file outside the installation.
        if ((details.attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
            links_.opened_elsewhere(rel, file.get())) {
            return failed(copy_failure::dest_not_opened, path, ERROR_CANT_ACCESS_FILE);
        }
        details.attributes &= KEPT_ATTRIBUTES;
        DWORD needed = 0;
        GetKernelObjectSecurity(file.get(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
        if (needed > 0) {
            details.security.resize(needed);
            if (!GetKernelObjectSecurity(file.get(), DACL_SECURITY_INFORMATION, details.security.data(), needed,
                                         &needed)) {
                details.security.clear();
            }
        }
        // The name as stored, read from the open file: cheaper than a search of its folder.
        const std::wstring name = path_get_file_name(final_path_of(file.get()));
        const std::wstring folder = folder_of(rel);
        replaced.rel = name.empty() ? rel : folder.empty() ? name : path_join(folder, name);
        found = true;
        return C_copy_failure();
    }

    // Copies the named streams of the file `from` (other programs' data kept
    // beside a file's own, such as the mark of a download) into `to`, each
    // synced as it is written.
    C_copy_failure copy_streams(const std::wstring& from, const std::wstring& to, const std::wstring& target)
    {
        WIN32_FIND_STREAM_DATA stream;
        HANDLE found = FindFirstStreamW(from.c_str(), FindStreamInfoStandard, &stream, 0);
        if (found == INVALID_HANDLE_VALUE) return C_copy_failure();
        C_copy_failure failure;
        do {
            std::wstring name = stream.cStreamName;
            if (name == L"::$DATA") continue;
            name = name.substr(0, name.rfind(L':'));
            const C_scoped_handle source(CreateFileW((from + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, 0, nullptr));
            system_error error = source ? 0 : GetLastError();
            C_scoped_handle copy;
            if (!error) copy = make_file(to + name, error);
            std::uint64_t done = 0;
            while (!error) {
                DWORD got = 0;
                if (!ReadFile(source.get(), buffer_.get(), COPY_CHUNK_SIZE, &got, nullptr)) error = GetLastError();
                if (error || got == 0) break;
                error = write_next(copy.get(), to + name, done, buffer_.get(), got);
                done += got;
            }
            if (!error) error = sync_file(copy.get(), to + name);
            if (error) failure = failed(copy_failure::dest_not_written, target, error);
        } while (!failure && FindNextStreamW(found, &stream));
        FindClose(found);
        return failure;
    }

    C_copy_failure stage_file(std::size_t i)
    {
        const std::wstring& rel = files_[i].rel;
        const std::wstring target = dest_path(rel);
        // The update's own bookkeeping lives there.
        if (lands_in_work_folder(rel)) return failed(copy_failure::dest_not_opened, target, ERROR_ACCESS_DENIED);
        C_copy_failure failure = plan_folders(folder_of(rel), target);
        if (failure) return failure;

        C_journal_record step;
        step.step = journal_step::new_file;
        step.rel = rel;
        C_kept_details details;
        if (earlier_[i] != NO_FILE) {
            // A file the update copies again replaces its own earlier copy.
            C_replaced& earlier = replaced_later_.at(earlier_[i]);
            step.step = journal_step::replace;
            step.original = earlier.stamp;
            step.rel = earlier.rel;
            details = std::move(earlier.details);
            replaced_later_.erase(earlier_[i]);
        } else if (!folder_is_new_) {
            bool found = false;
            C_replaced replaced;
            failure = find_replaced(rel, found, replaced);
            if (failure) return failure;
            if (found) {
                step.step = journal_step::replace;
                step.original = replaced.stamp;
                step.rel = replaced.rel;
                details = std::move(replaced.details);
            }
        }

        const std::size_t n = plan_.size();
        failure = make_numbered_folders(n, true, step.step == journal_step::replace);
        if (failure) return failure;
        const std::wstring source_path = path_join(source_dir_, rel);
        // Shared as the runtime's streams share a file read: a source that
        // changes meanwhile is copied no further than its length at open.
        const C_scoped_handle source(CreateFileW(source_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size = {};
        if (!source || !GetFileSizeEx(source.get(), &size)) {
            return failed(copy_failure::source_not_opened, source_path, GetLastError());
        }
        progress_.file_begun(rel);

        const std::wstring staged = place_.staged(n);
        system_error error = 0;
        C_scoped_handle file = make_file(staged, error);
        if (!file) return failed(copy_failure::dest_not_written, target, error);
        failure = copy_chunks(source.get(), static_cast<std::uint64_t>(size.QuadPart), source_path, file.get(),
                              staged, target);
        if (failure) return failure;
        // What the replaced file keeps passes to the new one, as it will stand in its place.
        error = read_stamp_on(volume_, file.get(), step.placed);
        if (!error) error = settle_details(file.get(), staged, step.placed.written, details.created, details.attributes);
        if (!error) error = set_permissions(file.get(), staged, details.security);
        if (error) return failed(copy_failure::dest_not_written, target, error);
        // Until the copy puts it in place, the replaced file stands where it did.
        if (step.step == journal_step::replace) {
            failure = copy_streams(dest_path(step.rel), staged, target);
            if (failure) return failure;
        }
        flusher_.hand_over(std::move(file), staged, target);

        if (copied_again_[i]) replaced_later_[i] = C_replaced{step.placed, step.rel, std::move(details)};
        return record(step, i);
    }

    // Each file the update removes, checked as a replaced file is (opened for
    // writing, shared with no one) and recorded with its stamp while the
    // installation is untouched; it is set aside only when the staged files
    // take their places. A file no longer there is no step, and a file the
    // update copies is replaced, never removed.
    C_copy_failure plan_removals()
    {
        if (removed_.empty()) return C_copy_failure();
        std::set<std::wstring, C_names_less> taken;
        for (const C_copy_item& file : files_) taken.insert(file.rel);
        for (const std::wstring& rel : removed_) {
            const std::wstring path = dest_path(rel);
            if (lands_in_work_folder(rel)) return failed(copy_failure::dest_not_opened, path, ERROR_ACCESS_DENIED);
            if (!taken.insert(rel).second) continue;
            bool found = false;
            C_replaced there;
            C_copy_failure failure = find_replaced(rel, found, there);
            if (failure) return failure;
            if (!found) continue;
            const std::size_t n = plan_.size();
            failure = make_numbered_folders(n, false, true);
            if (failure) return failure;
            C_journal_record step;
            step.step = journal_step::remove;
            step.rel = there.rel;
            step.original = there.stamp;
            failure = record(step, NO_FILE);
            if (failure) return failure;
        }
        return C_copy_failure();
    }

    // The one pass over a file's bytes: read a chunk, write it, tell the progress.
    C_copy_failure copy_chunks(HANDLE source, std::uint64_t size, const std::wstring& source_path, HANDLE staged,
                               const std::wstring& staged_path, const std::wstring& target)
    {
        char* const buffer = buffer_.get();
        // Never past the length measured at open: a source that grows meanwhile
        // is copied as it was when the copy began.
        for (std::uint64_t done = 0; done < size;) {
            const DWORD wanted = static_cast<DWORD>(std::min<std::uint64_t>(COPY_CHUNK_SIZE, size - done));
            DWORD got = 0;
            if (!ReadFile(source, buffer, wanted, &got, nullptr) || got < wanted) {
                return failed(copy_failure::source_not_read, source_path, got < wanted ? ERROR_HANDLE_EOF : GetLastError());
            }
            progress_.chunk_read(buffer, got);
            const system_error error = write_next(staged, staged_path, done, buffer, got);
            if (error) return failed(copy_failure::dest_not_written, target, error);
            done += got;
            copied_ = std::min(total_, copied_ + got);
            progress_.bytes_copied(done, size, copied_, total_);
        }
        // A damaged download never takes the place of the file it would replace.
        if (!progress_.content_matches()) return failed(copy_failure::source_damaged, source_path, ERROR_FILE_CORRUPT);
        return C_copy_failure();
    }

    C_copy_failure commit()
    {
        for (std::size_t n = 0; n < plan_.size(); ++n) {
            const C_step& step = plan_[n];
            const std::wstring target = dest_path(rel_of(step));
            const std::wstring staged = place_.staged(n);
            system_error error = 0;
            if (step.step == journal_step::replace) {
                error = put_in_place_of(target, staged, place_.original(n));
            } else if (step.step == journal_step::remove) {
                progress_.file_begun(rel_of(step));
                error = rename_item(target, place_.original(n));
            } else {
                error = rename_item(staged, target);
                // Made in the work folder, it took that folder's permissions;
                // a volume without permissions has none to give.
                if (!error) inherit_permissions(target);
            }
            if (error) return failed(copy_failure::dest_not_written, target, error);
            if ((n + 1) % STEPS_PER_REPORT == 0) progress_.working();
        }
        // Every name is durable before the record that the update is complete can be.
        system_error error = journal_.sync();
        C_journal_record done;
        if (!error) error = journal_.append(done);
        if (!error) error = journal_.sync();
        if (error) return failed(copy_failure::journal_not_written, place_.journal, error);
        return C_copy_failure();
    }

    // The staged file takes the place of `target`, whose file is kept as `original`.
    // Where the volume allows, the file keeps its name there and is given a second
    // one, and the staged file is renamed onto that name: a name that is taken is
    // found at once where one that is not is looked for through the whole folder
    // under Wine (replacing 8,000 files of one folder by ReplaceFileW, which
    // renames the old file away first, took 7.5 ms a file here, this way 0.9 ms).
    // Elsewhere (FAT32, exFAT) the file is moved aside first.
    system_error put_in_place_of(const std::wstring& target, const std::wstring& staged, const std::wstring& original)
    {
        if (hard_links_allowed) {
            const system_error error = make_link(original, target);
            if (!error) return rename_over(staged, target);
            if (error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED) return error;
            hard_links_allowed = false;
        }
        const system_error error = rename_item(target, original);
        return error ? error : rename_item(staged, target);
    }

    const std::wstring source_dir_;
    const C_work_place place_;
    const std::vector<C_copy_item>& files_;
    const std::vector<std::wstring>& removed_;
    C_copy_progress& progress_;
    std::unique_ptr<char[]> buffer_;
    const std::vector<std::size_t> earlier_;
    std::vector<bool> copied_again_;
    std::uint64_t total_ = 0;
    std::uint64_t copied_ = 0;
    std::uint32_t volume_ = 0;  // the installation's, where every item the copy makes lies
    C_destination_links links_;

    C_journal_writer journal_;
    C_flusher flusher_;
    bool begun_ = false;
    std::vector<C_step> plan_;
    std::size_t staged_blocks_ = 0;
    std::size_t original_blocks_ = 0;
    std::set<std::wstring, C_names_less> planned_folders_;
    std::wstring last_folder_;
    bool folder_is_new_ = false;
    // The stamps of copies that a later copy of the same file replaces.
    std::unordered_map<std::size_t, C_replaced> replaced_later_;
};

// Puts the installation back from the journal on disk, the record of what was
// done, and removes the work folder.
bool roll_back(const C_work_place& place, C_copy_progress& progress, std::vector<std::wstring>& kept)
{
    const C_stored_journal stored = read_journal(place.journal);
    if (stored.error || stored.reading == journal_reading::untrusted) return false;
    const C_undo undo = undo_steps(place, stored.journal.records, progress);
    kept = undo.kept;
    return !undo.failure && remove_work_folder(place, progress) == 0;
}

}  // namespace

bool allow_hard_links(bool allowed)
{
    const bool before = hard_links_allowed;
    hard_links_allowed = allowed;
    return before;
}

C_copy_outcome copy_into_installation(const std::wstring& source_dir, const std::wstring& dest_dir,
                                      const std::vector<C_copy_item>& files, const std::vector<std::wstring>& removed,
                                      C_copy_progress& progress)
{
    C_copy_outcome outcome;
    if (files.empty() && removed.empty()) return outcome;
    C_copy_run run(source_dir, dest_dir, files, removed, progress);
    outcome.failure = run.run();
    if (outcome.failure) {
        if (run.begun()) outcome.restored = roll_back(run.place(), progress, outcome.kept);
        return outcome;
    }
    // The update is complete; what cannot be removed now is removed at the next start.
    remove_emptied_folders(dest_dir, run.removals(), progress);
    remove_work_folder(run.place(), progress);
    return outcome;
}
