#pragma once
#include <string>

// `text` as a JSON string, quotes included: the quote, the backslash and the
// control characters escaped, and a surrogate without its pair as \uXXXX, so
// that the UTF-8 written stays valid whatever a file name holds.
std::wstring json_quote(const std::wstring& text);
