#pragma once
#include <string>

// Reads a whole file in text mode (CR LF arrives as LF, a lone CR stays, Ctrl-Z
// ends the data) and decodes it from the system's ANSI code page. True when the
// file was opened; `text` is emptied first and stays empty when it was not.
bool read_text_file(const std::wstring& path, std::wstring& text);

// Decodes ANSI bytes; decoding stops at the first zero byte.
std::wstring ansi_to_wide(const char* bytes, int length);
std::wstring ansi_to_wide(const std::string& bytes);
