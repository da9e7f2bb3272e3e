#pragma once
#include <string>

// Lower-cases A to Z only; every other character, non-ASCII letters included, stays.
std::wstring to_lower_ascii(const std::wstring& text);
void to_lower_ascii_in_place(std::wstring& text);

// Replaces every occurrence of `from` (non-empty); the search resumes after each
// inserted replacement, so a replacement containing `from` is not replaced again.
std::wstring replace_all(const std::wstring& text, const std::wstring& from, const std::wstring& to);
void replace_all_in_place(std::wstring& text, const std::wstring& from, const std::wstring& to);

// printf-style formatting of wide text. The result is at most this many characters;
// a longer one is cut.
constexpr std::size_t FORMAT_TEXT_MAX = 1023;
std::wstring format_text(const wchar_t* format, ...);
