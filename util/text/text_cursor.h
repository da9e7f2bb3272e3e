#pragma once
#include <cstdint>
#include <string>

// A read position over a range of wide text that it does not own, with the set of
// characters that count as blanks. Every step either succeeds and advances, or
// answers false with the position unchanged; no step reads at or beyond `end`.
struct C_text_cursor {
    C_text_cursor(const wchar_t* begin, const wchar_t* end, std::wstring blanks);
    C_text_cursor(const std::wstring& text, std::wstring blanks);
    // The cursor points into the text, so it must not outlive it.
    C_text_cursor(std::wstring&& text, std::wstring blanks) = delete;

    // Moves over blanks; true when a character remains. Never undoes itself.
    bool skip_blanks();
    // Skips blanks and requires a character after them; the skip stands only then.
    bool expect_blank();
    // True, at the end, when nothing but blanks remains.
    bool at_end();
    // The next character must be `ch`; blanks are not skipped.
    bool expect_char(wchar_t ch);
    // Skips blanks, unless only blanks remain, and takes the next character; `out`
    // is 0 when there is none.
    bool next_char(wchar_t& out);
    // A signed decimal number, blanks allowed before and after the sign. Digits wrap
    // around modulo the width instead of overflowing.
    bool read_int(std::int32_t& out);
    bool read_int64(std::int64_t& out);
    // A double-quoted string in which a backslash makes the next character literal.
    // `out` is assigned only on success.
    bool read_quoted(std::wstring& out);

    const wchar_t* cur;
    const wchar_t* end;
    std::wstring blanks;

private:
    bool is_blank(wchar_t ch) const;
    void skip_blanks_or_stay();
    template <class Unsigned>
    bool read_magnitude(Unsigned& magnitude, bool& negative);
};
