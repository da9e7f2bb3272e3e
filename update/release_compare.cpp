#include "update/release_compare.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "file/file.h"
#include "util/dir_list.h"
#include "util/stored_name.h"
#include "util/wildcard.h"

namespace {

enum class pair_result { same, different, old_unreadable, new_unreadable };

// Every file below `folder` that no pattern excludes, in path order.
std::vector<dir_entry> release_files(const std::wstring& folder, const std::vector<std::wstring>& excludes)
{
    C_dir_list list;
    list.list(folder, L"*", L"*", true);
    std::vector<dir_entry> files;
    files.reserve(list.entries.size());
    for (auto& entry : list.entries) {
        if (!path_is_excluded(excludes, entry.path)) files.push_back(std::move(entry));
    }
    std::sort(files.begin(), files.end(), [](const dir_entry& a, const dir_entry& b) { return names_less(a.path, b.path); });
    return files;
}

class C_pair_reader {
public:
    C_pair_reader(C_compare_counts& counts, const std::function<void(const C_compare_counts&)>& progress)
        : counts_(counts), progress_(progress), buffers_(new char[2 * static_cast<std::size_t>(RELEASE_COMPARE_CHUNK)])
    {
    }

    pair_result compare(const std::wstring& old_path, const std::wstring& new_path)
    {
        C_file old_file;
        C_file new_file;
        if (!old_file.open(old_path, L"rb")) return pair_result::old_unreadable;
        if (!new_file.open(new_path, L"rb")) return pair_result::new_unreadable;
        // Measured again at open: a file that changed since the listing is read as it is now.
        if (old_file.size != new_file.size) return pair_result::different;
        char* const old_chunk = buffers_.get();
        char* const new_chunk = old_chunk + RELEASE_COMPARE_CHUNK;
        for (std::int64_t left = new_file.size; left > 0;) {
            const int wanted = static_cast<int>(std::min<std::int64_t>(RELEASE_COMPARE_CHUNK, left));
            if (file_read(old_chunk, wanted, old_file.stream) != wanted) return pair_result::old_unreadable;
            if (file_read(new_chunk, wanted, new_file.stream) != wanted) return pair_result::new_unreadable;
            counts_.bytes += 2 * static_cast<std::uint64_t>(wanted);
            progress_(counts_);
            if (std::memcmp(old_chunk, new_chunk, static_cast<std::size_t>(wanted)) != 0) return pair_result::different;
            left -= wanted;
        }
        return pair_result::same;
    }

private:
    C_compare_counts& counts_;
    const std::function<void(const C_compare_counts&)>& progress_;
    std::unique_ptr<char[]> buffers_;
};

}  // namespace

C_release_diff compare_releases(const std::wstring& old_dir, const std::wstring& new_dir,
                                const std::vector<std::wstring>& excludes,
                                const std::function<void(const C_compare_counts&)>& progress)
{
    C_release_diff diff;
    const std::vector<dir_entry> old_files = release_files(old_dir, excludes);
    const std::vector<dir_entry> new_files = release_files(new_dir, excludes);
    C_pair_reader reader(diff.counts, progress);

    // Both lists are in the same order: one walk pairs them.
    auto old_it = old_files.begin();
    for (std::size_t i = 0; i < new_files.size(); ++i) {
        const dir_entry& file = new_files[i];
        if (i > 0 && names_equal(new_files[i - 1].path, file.path)) diff.case_clashes.push_back(file.path);
        for (; old_it != old_files.end() && names_less(old_it->path, file.path); ++old_it) {
            diff.removed.push_back(old_it->path);
        }
        const bool paired = old_it != old_files.end() && names_equal(old_it->path, file.path);
        const std::wstring old_path = paired ? old_dir + L"\\" + old_it->path : std::wstring();
        pair_result result = pair_result::different;
        if (paired && old_it->size == file.size) result = reader.compare(old_path, new_dir + L"\\" + file.path);
        if (paired) ++old_it;
        switch (result) {
        case pair_result::same:
            break;
        case pair_result::different:
            diff.update.push_back({file.path, file.size, paired});
            break;
        case pair_result::old_unreadable:
            diff.unreadable.push_back(old_path);
            break;
        case pair_result::new_unreadable:
            diff.unreadable.push_back(new_dir + L"\\" + file.path);
            break;
        }
        ++diff.counts.files;
        progress(diff.counts);
    }
    for (; old_it != old_files.end(); ++old_it) diff.removed.push_back(old_it->path);
    return diff;
}
