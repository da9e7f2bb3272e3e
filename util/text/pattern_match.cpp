#include "util/text/pattern_match.h"

namespace {

class C_output_list {
public:
    C_output_list(const C_match_output* outputs, std::size_t count) : next_(outputs), left_(count) {}

    // The next output if it has the wanted type; it is used up only then.
    template <class Target>
    Target* take(Target* (C_match_output::*as)() const)
    {
        if (left_ == 0) return nullptr;
        Target* const target = (next_->*as)();
        if (target) {
            ++next_;
            --left_;
        }
        return target;
    }

private:
    const C_match_output* next_;
    std::size_t left_;
};

}  // namespace

bool match_pattern_into(C_text_cursor& cursor, std::wstring_view pattern, const C_match_output* outputs,
                        std::size_t output_count)
{
    C_text_cursor elements(pattern.data(), pattern.data() + pattern.size(), std::wstring());
    C_output_list targets(outputs, output_count);
    const wchar_t* const saved_cur = cursor.cur;
    const wchar_t* const saved_end = cursor.end;
    auto fail = [&] {
        cursor.cur = saved_cur;
        cursor.end = saved_end;
        return false;
    };

    wchar_t ch = 0;
    while (elements.next_char(ch)) {
        if (ch == L' ') {
            if (!cursor.expect_blank()) return fail();
            continue;
        }
        if (ch != L'%') {
            if (!cursor.expect_char(ch)) return fail();
            continue;
        }
        wchar_t conversion = 0;
        if (!elements.next_char(conversion)) break;
        if (conversion == L'd') {
            std::int32_t* const target = targets.take(&C_match_output::as_int32);
            std::int32_t value = 0;
            if (!target || !cursor.read_int(value)) return fail();
            *target = value;
        } else if (conversion == L's') {
            std::wstring* const target = targets.take(&C_match_output::as_text);
            if (!target || !cursor.read_quoted(*target)) return fail();
        } else if (conversion == L'6') {
            wchar_t next = 0;
            if (!elements.next_char(next) || next != L'4') continue;
            if (!elements.next_char(next) || next != L'd') continue;
            std::int64_t* const target = targets.take(&C_match_output::as_int64);
            std::int64_t value = 0;
            if (!target || !cursor.read_int64(value)) return fail();
            *target = value;
        }
    }
    return true;
}
