#include "update_make/release_compare.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>

#include "file/error_text.h"
#include "file/file.h"
#include "update_make/make_interrupt.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

// Under Wine most of a small file's time goes to opening it; a second reader
// opens its pair while the first reads, and the two keep both cores busy.
const unsigned PAIR_READERS = 2;
const auto PROGRESS_INTERVAL = std::chrono::milliseconds(100);

enum class pair_result { same, different, old_unreadable, new_unreadable };

// A NEW file whose OLD counterpart has the same size: only its contents tell.
struct C_same_size_pair {
    std::size_t new_index = 0;
    std::size_t old_index = 0;
    std::wstring old_path;
    std::wstring new_path;
    pair_result result = pair_result::different;
    std::wstring reason;  // why a file could not be read
};

// Reads both files of a pair chunk by chunk into its own two buffers, up to
// the first chunk that differs.
pair_result compare_pair(C_same_size_pair& pair, char* old_chunk, char* new_chunk, std::atomic<std::uint64_t>& bytes)
{
    const auto unreadable = [&pair](pair_result which) {
        pair.reason = last_error_reason();
        return which;
    };
    C_file old_file;
    C_file new_file;
    if (!old_file.open(pair.old_path, L"rb")) return unreadable(pair_result::old_unreadable);
    if (!new_file.open(pair.new_path, L"rb")) return unreadable(pair_result::new_unreadable);
    // Measured again at open: a file that changed since the listing is read as it is now.
    if (old_file.size != new_file.size) return pair_result::different;
    for (std::int64_t left = new_file.size; left > 0 && !make_interrupted();) {
        const int wanted = static_cast<int>(std::min<std::int64_t>(RELEASE_COMPARE_CHUNK, left));
        if (file_read(old_chunk, wanted, old_file.stream) != wanted) return unreadable(pair_result::old_unreadable);
        if (file_read(new_chunk, wanted, new_file.stream) != wanted) return unreadable(pair_result::new_unreadable);
        bytes += 2 * static_cast<std::uint64_t>(wanted);
        if (std::memcmp(old_chunk, new_chunk, static_cast<std::size_t>(wanted)) != 0) return pair_result::different;
        left -= wanted;
    }
    return pair_result::same;
}

// Compares every pair, PAIR_READERS at a time, while the calling thread reports
// the progress.
void compare_pairs(std::vector<C_same_size_pair>& pairs, C_compare_counts& counts,
                   const std::function<void(const C_compare_counts&)>& progress)
{
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> bytes{0};
    std::mutex mutex;
    std::condition_variable finished;
    unsigned running = 0;

    const auto read_pairs = [&] {
        const std::unique_ptr<char[]> buffers(new char[2 * static_cast<std::size_t>(RELEASE_COMPARE_CHUNK)]);
        for (std::size_t i; !make_interrupted() && (i = next++) < pairs.size(); ++done) {
            pairs[i].result = compare_pair(pairs[i], buffers.get(), buffers.get() + RELEASE_COMPARE_CHUNK, bytes);
        }
        const std::lock_guard<std::mutex> lock(mutex);
        --running;
        finished.notify_one();
    };
    // Counted apart from `running`, which the first reader may lower before the
    // second is started.
    const unsigned reader_count = static_cast<unsigned>(std::min<std::size_t>(PAIR_READERS, pairs.size()));
    running = reader_count;
    std::vector<std::thread> readers;
    for (unsigned i = 0; i < reader_count; ++i) readers.emplace_back(read_pairs);

    const C_compare_counts before = counts;
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        const bool all_done = finished.wait_for(lock, PROGRESS_INTERVAL, [&] { return running == 0; });
        counts.files = before.files + done;
        counts.bytes = before.bytes + bytes;
        progress(counts);
        if (all_done) break;
    }
    lock.unlock();
    for (auto& reader : readers) reader.join();
}

}  // namespace

C_release_diff compare_releases(const std::wstring& old_dir, const std::wstring& new_dir,
                                const std::vector<C_release_entry>& old_files,
                                const std::vector<C_release_entry>& new_files,
                                const std::function<void(const C_compare_counts&)>& progress)
{
    C_release_diff diff;

    // Both lists are in the same order: one walk pairs them, and settles every
    // file but those whose contents must be read.
    std::vector<bool> in_old(new_files.size(), false);
    std::vector<bool> old_read_only(new_files.size(), false);
    std::vector<C_same_size_pair> pairs;
    auto old_it = old_files.begin();
    for (std::size_t i = 0; i < new_files.size(); ++i) {
        const C_release_entry& file = new_files[i];
        for (; old_it != old_files.end() && names_less(old_it->rel, file.rel); ++old_it) {
            diff.removed.push_back(old_it->rel);
        }
        if (old_it == old_files.end() || !names_equal(old_it->rel, file.rel)) continue;
        in_old[i] = true;
        old_read_only[i] = old_it->read_only;
        if (old_it->size == file.size) {
            pairs.push_back({i, static_cast<std::size_t>(old_it - old_files.begin()), path_join(old_dir, old_it->rel),
                             path_join(new_dir, file.rel), pair_result::different, {}});
            diff.counts.total_bytes += 2 * file.size;
        }
        ++old_it;
    }
    for (; old_it != old_files.end(); ++old_it) diff.removed.push_back(old_it->rel);
    diff.counts.files = new_files.size() - pairs.size();
    diff.counts.total_files = new_files.size();
    progress(diff.counts);
    compare_pairs(pairs, diff.counts, progress);

    auto pair = pairs.begin();
    for (std::size_t i = 0; i < new_files.size(); ++i) {
        pair_result result = pair_result::different;
        if (pair != pairs.end() && pair->new_index == i) result = (pair++)->result;
        switch (result) {
        case pair_result::same:
            break;
        case pair_result::different:
            diff.update.push_back({new_files[i].rel, new_files[i].size, in_old[i], old_read_only[i]});
            break;
        case pair_result::old_unreadable:
            diff.unreadable.push_back({true, old_files[std::prev(pair)->old_index].rel, std::prev(pair)->reason});
            break;
        case pair_result::new_unreadable:
            diff.unreadable.push_back({false, new_files[i].rel, std::prev(pair)->reason});
            break;
        }
    }
    return diff;
}
