#include "console/console_progress.h"

#include <windows.h>

#include "console/console_text.h"

namespace {

const std::uint64_t SHOW_INTERVAL_MS = 100;

}  // namespace

C_progress_line::C_progress_line(std::uint64_t plain_interval_ms) : plain_interval_(plain_interval_ms)
{
    // Standard error, so that the findings can be redirected while the
    // progress stays on the console.
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (errors == nullptr || errors == INVALID_HANDLE_VALUE) return;
    if (GetConsoleMode(errors, &mode)) {
        console_ = errors;
    } else {
        plain_ = true;
        shown_at_ = GetTickCount64();
    }
}

C_progress_line::~C_progress_line()
{
    clear();
}

void C_progress_line::show(const std::wstring& text)
{
    const std::uint64_t now = GetTickCount64();
    if (plain_) {
        if (now - shown_at_ < plain_interval_) return;
        shown_at_ = now;
        write_text(std_stream::error, text + L"\n");
        return;
    }
    if (!console_) return;
    if (shown_length_ > 0 && now - shown_at_ < SHOW_INTERVAL_MS) return;
    shown_at_ = now;
    // Spaces cover what a longer earlier text left behind.
    std::wstring line = L"\r" + text;
    if (text.size() < shown_length_) line.append(shown_length_ - text.size(), L' ');
    write(line);
    shown_length_ = text.size();
}

void C_progress_line::clear()
{
    if (!console_ || shown_length_ == 0) return;
    write(L"\r" + std::wstring(shown_length_, L' ') + L"\r");
    shown_length_ = 0;
}

void C_progress_line::write(const std::wstring& text)
{
    DWORD written = 0;
    WriteConsoleW(static_cast<HANDLE>(console_), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
