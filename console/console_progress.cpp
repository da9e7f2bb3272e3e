#include "console/console_progress.h"

#include <windows.h>

namespace {

const std::uint64_t SHOW_INTERVAL_MS = 100;

}  // namespace

C_progress_line::C_progress_line()
{
    // Standard error, so that the findings can be redirected while the
    // progress stays on the console.
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (errors != nullptr && errors != INVALID_HANDLE_VALUE && GetConsoleMode(errors, &mode)) console_ = errors;
}

C_progress_line::~C_progress_line()
{
    clear();
}

void C_progress_line::show(const std::wstring& text)
{
    if (!console_) return;
    const std::uint64_t now = GetTickCount64();
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
