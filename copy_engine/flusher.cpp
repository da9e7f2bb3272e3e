#include "copy_engine/flusher.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "copy_engine/disk_ops.h"

namespace {

const std::size_t THREADS = 4;
// Files held open, written but not yet synced, before they are synced.
const std::size_t MOST_HELD = 4096;

}  // namespace

void C_flusher::hand_over(C_scoped_handle file, const std::wstring& path, const std::wstring& reported)
{
    if (failure_) return;
    held_.push_back(C_item{std::move(file), path, reported});
    if (held_.size() >= MOST_HELD) sync_held();
}

C_copy_failure C_flusher::finish()
{
    sync_held();
    return failure_;
}

void C_flusher::sync_held()
{
    std::atomic<std::size_t> next{0};
    std::mutex failing;
    const auto work = [&] {
        for (std::size_t i; (i = next++) < held_.size();) {
            C_item& item = held_[i];
            system_error error = 0;
            {
                const std::lock_guard<std::mutex> lock(failing);
                if (failure_) return;
            }
            error = sync_file(item.file.get(), item.path);
            item.file.reset();
            if (error) {
                const std::lock_guard<std::mutex> lock(failing);
                if (!failure_) failure_ = C_copy_failure{copy_failure::dest_not_written, item.reported, error};
            }
        }
    };
    std::vector<std::thread> threads;
    try {
        for (std::size_t i = 1; i < THREADS && i < held_.size(); ++i) threads.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads, or this one alone, sync all the same.
    }
    work();
    for (std::thread& thread : threads) thread.join();
    // Whatever is left after a failure is closed unsynced.
    held_.clear();
}
