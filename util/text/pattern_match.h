#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/text/text_cursor.h"

// Where one conversion of a pattern stores its value: %d an int32, %64d an int64,
// %s a wide string.
class C_match_output {
public:
    enum class type { none, int32, int64, text };

    C_match_output() = default;
    C_match_output(std::int32_t* target) : type_(type::int32), int32_(target) {}
    C_match_output(std::int64_t* target) : type_(type::int64), int64_(target) {}
    C_match_output(std::wstring* target) : type_(type::text), text_(target) {}

    std::int32_t* as_int32() const { return type_ == type::int32 ? int32_ : nullptr; }
    std::int64_t* as_int64() const { return type_ == type::int64 ? int64_ : nullptr; }
    std::wstring* as_text() const { return type_ == type::text ? text_ : nullptr; }

private:
    type type_ = type::none;
    std::int32_t* int32_ = nullptr;
    std::int64_t* int64_ = nullptr;
    std::wstring* text_ = nullptr;
};

// Matches `pattern` at the cursor in the manner of formatted input:
//   a space   any number of blanks (none included), then a character must remain
//   %d %64d   a signed decimal number; %s a double-quoted string
//   %x, a lone trailing %, %6 not followed by 4d   nothing at all (no escape for %)
//   anything else   that exact character
// On success the cursor stands after the matched text; the rest is not examined.
// On failure the cursor is restored, but outputs already written keep their values.
// A conversion whose output is missing, null or of another type fails the match.
bool match_pattern_into(C_text_cursor& cursor, std::wstring_view pattern, const C_match_output* outputs,
                        std::size_t output_count);

template <class... Outputs>
bool match_pattern(C_text_cursor& cursor, std::wstring_view pattern, Outputs*... outputs)
{
    // The leading placeholder keeps the array non-empty when there are no outputs.
    const C_match_output list[] = {C_match_output(), C_match_output(outputs)...};
    return match_pattern_into(cursor, pattern, list + 1, sizeof...(Outputs));
}
