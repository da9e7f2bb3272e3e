#pragma once
#include <string>

// `text` in Unicode's composed form (NFC), in which Windows programs spell
// names: "é" as one character where a Mac's file system writes "e" and a
// combining accent. Windows compares names code unit by code unit, so the two
// forms are two names. `text` itself when it is composed already, or when the
// system cannot tell (invalid UTF-16).
std::wstring composed_form(const std::wstring& text);
