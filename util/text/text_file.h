#pragma once
#include <string>

// The system's ANSI code page (CP_ACP).
constexpr unsigned SYSTEM_CODE_PAGE = 0;

// Reads a whole file in text mode (CR LF arrives as LF, a lone CR stays, Ctrl-Z
// ends the data) and decodes it from the system's ANSI code page, or from
// `code_page` where a caller must read as another system would. True when the
// file was opened; `text` is emptied first and stays empty when it was not.
bool read_text_file(const std::wstring& path, std::wstring& text, unsigned code_page = SYSTEM_CODE_PAGE);

// Decodes ANSI bytes; decoding stops at the first zero byte.
std::wstring ansi_to_wide(const char* bytes, int length, unsigned code_page = SYSTEM_CODE_PAGE);
std::wstring ansi_to_wide(const std::string& bytes, unsigned code_page = SYSTEM_CODE_PAGE);
