#pragma once
#include <cstdint>
#include <string>

// Progress on standard error. On a console, one line rewritten in place, at
// most ten times a second. Redirected to a file or a pipe (a CI job's log), a
// plain line of its own every `plain_interval_ms`, the first only once that
// long has passed, so that a short run writes nothing there.
class C_progress_line {
public:
    static constexpr std::uint64_t PLAIN_INTERVAL_MS = 5000;

    explicit C_progress_line(std::uint64_t plain_interval_ms = PLAIN_INTERVAL_MS);
    ~C_progress_line();
    C_progress_line(const C_progress_line&) = delete;
    C_progress_line& operator=(const C_progress_line&) = delete;

    bool on_console() const { return console_ != nullptr; }
    // Shows `text` unless the last was shown too short a time ago; callers may
    // call it as often as they like.
    void show(const std::wstring& text);
    // Removes the line from the console, leaving the cursor at the start of an
    // empty line.
    void clear();

private:
    void write(const std::wstring& text);

    void* console_ = nullptr;
    bool plain_ = false;  // standard error is a file or a pipe
    std::uint64_t plain_interval_ = 0;
    std::uint64_t shown_at_ = 0;
    std::size_t shown_length_ = 0;
};
