#pragma once
#include <cstdint>
#include <string>

// One line of progress on the console, rewritten in place, on standard error.
// When standard error is not a console (redirected to a file or a pipe) it
// writes nothing, so that what is redirected holds only what the program reports.
class C_progress_line {
public:
    C_progress_line();
    ~C_progress_line();
    C_progress_line(const C_progress_line&) = delete;
    C_progress_line& operator=(const C_progress_line&) = delete;

    bool on_console() const { return console_ != nullptr; }
    // Shows `text` unless the line was rewritten less than a tenth of a second
    // ago; callers may call it as often as they like.
    void show(const std::wstring& text);
    // Removes the line, leaving the cursor at the start of an empty line.
    void clear();

private:
    void write(const std::wstring& text);

    void* console_ = nullptr;
    std::uint64_t shown_at_ = 0;
    std::size_t shown_length_ = 0;
};
