#include "copy_engine/flusher.h"

#include <system_error>
#include <utility>

#include "copy_engine/disk_ops.h"

namespace {

const std::size_t THREADS = 4;
// Files written but not yet synced; the copy waits while this many are.
const std::size_t MOST_WAITING = 64;

}  // namespace

C_flusher::~C_flusher()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    has_work_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void C_flusher::start_threads()
{
    started_ = true;
    try {
        for (std::size_t i = 0; i < THREADS; ++i) threads_.emplace_back(&C_flusher::work, this);
    } catch (const std::system_error&) {
        // With no thread at all, each file is synced as it is handed over.
    }
}

void C_flusher::hand_over(C_scoped_handle file, const std::wstring& path, const std::wstring& reported)
{
    if (!started_) start_threads();
    if (threads_.empty()) {
        const system_error error = failed() ? 0 : sync_file(file.get(), path);
        if (error && !failure_) failure_ = C_copy_failure{copy_failure::dest_not_written, reported, error};
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    has_room_.wait(lock, [this] { return waiting_.size() < MOST_WAITING; });
    waiting_.push_back(C_item{std::move(file), path, reported});
    lock.unlock();
    has_work_.notify_one();
}

void C_flusher::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        has_work_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) return;
        C_item item = std::move(waiting_.front());
        waiting_.pop_front();
        ++busy_;
        const bool sync = !failure_;
        lock.unlock();
        has_room_.notify_one();
        const system_error error = sync ? sync_file(item.file.get(), item.path) : 0;
        item.file.reset();
        lock.lock();
        if (error && !failure_) failure_ = C_copy_failure{copy_failure::dest_not_written, item.reported, error};
        --busy_;
        if (waiting_.empty() && busy_ == 0) idle_.notify_all();
    }
}

C_copy_failure C_flusher::finish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return waiting_.empty() && busy_ == 0; });
    return failure_;
}

bool C_flusher::failed()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<bool>(failure_);
}
