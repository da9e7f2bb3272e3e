#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Code page 932 (Shift_JIS as Windows defines it): the ANSI code page of a
// Japanese system, in which update scripts are read.
constexpr unsigned CODE_PAGE_932 = 932;

// A character of the input that code page 932 does not define: a byte that is
// neither a character nor a lead byte, a lead byte without a valid second byte
// (length 1), or a pair the code page leaves unassigned (length 2).
struct C_invalid_bytes {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// Walks bytes [begin, end) character by character, in order.
std::vector<C_invalid_bytes> find_invalid_cp932(const std::string& bytes, std::size_t begin, std::size_t end);

// True when the bytes are well-formed UTF-8 and hold at least one non-ASCII
// character: a text saved as UTF-8 by mistake.
bool reads_as_utf8(const std::string& bytes);

// The bytes that spell `text` in code page 932, the code page update scripts
// are read in. False when a character has no spelling there: a near substitute
// (the best-fit "e" for "é", "\" for "¥") counts as none, since the updater would
// read back another name.
bool spell_in_code_page_932(const std::wstring& text, std::string& bytes);
