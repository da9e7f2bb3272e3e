#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "copy_engine/copy_failure.h"
#include "file/scoped_handle.h"

// Makes written files durable on threads of their own while the copy goes on.
// A sync waits for the disk; several on their way at once overlap those waits,
// and the file system commits its log once for all of them (ext4 and NTFS
// do), where syncing one file after another waits for the disk each time.
class C_flusher {
public:
    C_flusher() = default;
    // Waits for the threads; every file handed over is closed by then.
    ~C_flusher();
    C_flusher(const C_flusher&) = delete;
    C_flusher& operator=(const C_flusher&) = delete;

    // Takes the open file `path` over: it is synced, then closed. After a
    // failure the files still handed over are closed unsynced. `reported` is
    // the path a failure names.
    void hand_over(C_scoped_handle file, const std::wstring& path, const std::wstring& reported);

    // Waits until every file handed over is synced and closed, and gives the
    // first failure (`path`: its `reported` path).
    C_copy_failure finish();

    // Whether a sync has failed: the copy need go no further.
    bool failed();

private:
    struct C_item {
        C_scoped_handle file;
        std::wstring path;
        std::wstring reported;
    };

    void start_threads();
    void work();

    std::mutex mutex_;
    std::condition_variable has_work_;
    std::condition_variable has_room_;
    std::condition_variable idle_;
    std::deque<C_item> waiting_;
    std::size_t busy_ = 0;
    bool stopping_ = false;
    C_copy_failure failure_;
    std::vector<std::thread> threads_;
    bool started_ = false;
};
