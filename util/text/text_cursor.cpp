#include "util/text/text_cursor.h"

#include <limits>
#include <utility>

namespace {

bool is_ascii_digit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

// Two's-complement reinterpretation without relying on implementation-defined
// narrowing of out-of-range values.
template <class Signed, class Unsigned>
Signed to_signed(Unsigned value)
{
    constexpr auto max = static_cast<Unsigned>(std::numeric_limits<Signed>::max());
    if (value <= max) return static_cast<Signed>(value);
    return static_cast<Signed>(-static_cast<Signed>(static_cast<Unsigned>(~value))) - 1;
}

}  // namespace

C_text_cursor::C_text_cursor(const wchar_t* begin, const wchar_t* end_, std::wstring blanks_)
    : cur(begin), end(end_), blanks(std::move(blanks_))
{
}

C_text_cursor::C_text_cursor(const std::wstring& text, std::wstring blanks_)
    : cur(text.data()), end(text.data() + text.size()), blanks(std::move(blanks_))
{
}

bool C_text_cursor::is_blank(wchar_t ch) const
{
    return blanks.find(ch) != std::wstring::npos;
}

bool C_text_cursor::skip_blanks()
{
    while (cur != end && is_blank(*cur)) ++cur;
    return cur != end;
}

void C_text_cursor::skip_blanks_or_stay()
{
    const wchar_t* const before = cur;
    if (!skip_blanks()) cur = before;
}

bool C_text_cursor::expect_blank()
{
    const wchar_t* const before = cur;
    if (skip_blanks()) return true;
    cur = before;
    return false;
}

bool C_text_cursor::at_end()
{
    const wchar_t* const before = cur;
    if (!skip_blanks()) return true;
    cur = before;
    return false;
}

bool C_text_cursor::expect_char(wchar_t ch)
{
    if (cur == end || *cur != ch) return false;
    ++cur;
    return true;
}

bool C_text_cursor::next_char(wchar_t& out)
{
    out = 0;
    skip_blanks_or_stay();
    if (cur == end) return false;
    out = *cur++;
    return true;
}

template <class Unsigned>
bool C_text_cursor::read_magnitude(Unsigned& magnitude, bool& negative)
{
    const wchar_t* const start = cur;
    negative = false;
    skip_blanks_or_stay();
    if (cur != end && *cur == L'+') {
        ++cur;
    } else {
        cur = start;
        skip_blanks_or_stay();
        if (cur != end && *cur == L'-') {
            ++cur;
            negative = true;
        } else {
            cur = start;
        }
    }
    skip_blanks_or_stay();
    if (cur == end || !is_ascii_digit(*cur)) {
        cur = start;
        return false;
    }
    magnitude = 0;
    while (cur != end && is_ascii_digit(*cur)) {
        magnitude = static_cast<Unsigned>(magnitude * 10u + static_cast<Unsigned>(*cur - L'0'));
        ++cur;
    }
    if (negative) magnitude = static_cast<Unsigned>(0u - magnitude);
    return true;
}

bool C_text_cursor::read_int(std::int32_t& out)
{
    std::uint32_t magnitude = 0;
    bool negative = false;
    if (!read_magnitude(magnitude, negative)) return false;
    out = to_signed<std::int32_t>(magnitude);
    return true;
}

bool C_text_cursor::read_int64(std::int64_t& out)
{
    std::uint64_t magnitude = 0;
    bool negative = false;
    if (!read_magnitude(magnitude, negative)) return false;
    out = to_signed<std::int64_t>(magnitude);
    return true;
}

bool C_text_cursor::read_quoted(std::wstring& out)
{
    const wchar_t* const start = cur;
    skip_blanks_or_stay();
    if (cur == end || *cur != L'"') {
        cur = start;
        return false;
    }
    std::wstring collected;
    bool escaped = false;
    for (const wchar_t* p = cur + 1; p != end; ++p) {
        const wchar_t ch = *p;
        if (escaped) {
            collected += ch;
            escaped = false;
        } else if (ch == L'\\') {
            escaped = true;
        } else if (ch == L'"') {
            cur = p + 1;
            out = std::move(collected);
            return true;
        } else {
            collected += ch;
        }
    }
    cur = start;
    return false;
}
