#pragma once
#include <string>

// Wide text as UTF-8, for test output.
std::string to_utf8(const std::wstring& text);

// The same, quoted, with line feeds, tabs and carriage returns written as
// escapes so that a message's line structure shows on one line.
std::string quoted(const std::wstring& text);

// Wide text as its UTF-16LE bytes, the form the update's journal stores.
std::string utf16le(const std::wstring& text);
