#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "util/text/lines.h"
#include "util/text/pattern_match.h"
#include "util/text/text_cursor.h"

namespace {

const wchar_t* const blanks = L" \t\n";

// Matches one pattern with one text output against a whole line.
struct C_string_match {
    bool matched;
    std::wstring value;
    std::size_t consumed;
};

C_string_match match_string(const std::wstring& line, const std::wstring& pattern, std::wstring value = L"untouched")
{
    C_text_cursor cursor(line, blanks);
    const bool matched = match_pattern(cursor, pattern, &value);
    return {matched, value, static_cast<std::size_t>(cursor.cur - line.data())};
}

std::size_t offset(const C_text_cursor& cursor, const std::wstring& text)
{
    return static_cast<std::size_t>(cursor.cur - text.data());
}

}  // namespace

TEST(SplitLines, KeepsEmptyLinesAndCarriageReturns)
{
    std::vector<std::wstring> lines;
    split_lines(L"a\nb\n", lines);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"a", L"b", L""}));

    lines.clear();
    split_lines(L"", lines);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L""}));

    lines = {L"kept"};
    split_lines(L"x\r\n\n\ty", lines);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"kept", L"x\r", L"", L"\ty"}));
}

TEST(TextCursor, BlankStepsMoveOnlyWhenTheyMayStand)
{
    const std::wstring text = L"  \t x  ";
    C_text_cursor cursor(text, blanks);
    EXPECT_FALSE(cursor.at_end());
    EXPECT_EQ(offset(cursor, text), 0u);
    EXPECT_TRUE(cursor.expect_blank());
    EXPECT_EQ(offset(cursor, text), 4u);
    EXPECT_FALSE(cursor.expect_char(L'y'));
    EXPECT_TRUE(cursor.expect_char(L'x'));
    EXPECT_FALSE(cursor.expect_blank());
    EXPECT_EQ(offset(cursor, text), 5u);
    // With only blanks left, the skip is undone and the first blank is taken.
    wchar_t ch = L'?';
    EXPECT_TRUE(cursor.next_char(ch));
    EXPECT_EQ(ch, L' ');
    EXPECT_EQ(offset(cursor, text), 6u);
    EXPECT_TRUE(cursor.at_end());
    EXPECT_FALSE(cursor.next_char(ch));
    EXPECT_EQ(ch, 0);
    EXPECT_EQ(cursor.cur, cursor.end);
    EXPECT_FALSE(cursor.skip_blanks());
    EXPECT_FALSE(cursor.expect_char(L' '));

    const std::wstring spaced = L" a b";
    C_text_cursor plain(spaced, L"");
    EXPECT_TRUE(plain.next_char(ch));
    EXPECT_EQ(ch, L' ');
    C_text_cursor skipping(spaced, blanks);
    EXPECT_TRUE(skipping.next_char(ch));
    EXPECT_EQ(ch, L'a');
    EXPECT_TRUE(skipping.next_char(ch));
    EXPECT_EQ(ch, L'b');
}

TEST(TextCursor, NeverReadsBeyondItsEnd)
{
    // Each cursor covers only part of a longer buffer; what lies beyond `end`
    // would change the answer if it were read.
    const std::wstring digits = L"12345";
    C_text_cursor number(digits.data(), digits.data() + 2, blanks);
    std::int32_t value = 0;
    ASSERT_TRUE(number.read_int(value));
    EXPECT_EQ(value, 12);
    EXPECT_EQ(number.cur, number.end);

    const std::wstring quoted = L"\"ab\"";
    C_text_cursor unterminated(quoted.data(), quoted.data() + 3, blanks);
    std::wstring out = L"old";
    EXPECT_FALSE(unterminated.read_quoted(out));
    EXPECT_EQ(out, L"old");
    EXPECT_EQ(unterminated.cur, quoted.data());

    const std::wstring escaped = L"\"a\\\"\"";
    C_text_cursor escape_at_end(escaped.data(), escaped.data() + 3, blanks);
    EXPECT_FALSE(escape_at_end.read_quoted(out));
    EXPECT_EQ(out, L"old");

    const std::wstring sign = L"-7";
    C_text_cursor sign_only(sign.data(), sign.data() + 1, blanks);
    EXPECT_FALSE(sign_only.read_int(value));
    EXPECT_EQ(sign_only.cur, sign.data());

    const std::wstring spaces = L"  x";
    C_text_cursor blank_only(spaces.data(), spaces.data() + 2, blanks);
    wchar_t ch = L'?';
    EXPECT_TRUE(blank_only.next_char(ch));
    EXPECT_EQ(ch, L' ');
    EXPECT_TRUE(blank_only.at_end());
    EXPECT_FALSE(blank_only.next_char(ch));
    EXPECT_EQ(ch, 0);

    // Patterns cut short in the middle of an element match nothing more.
    const std::wstring line = L"ab";
    C_text_cursor cursor(line, blanks);
    const std::wstring patterns = L"a%d%64d";
    EXPECT_TRUE(match_pattern(cursor, std::wstring_view(patterns.data(), 2)));
    EXPECT_EQ(offset(cursor, line), 1u);
    cursor.cur = line.data();
    EXPECT_TRUE(match_pattern(cursor, std::wstring_view(patterns.data() + 3, 2)));
    EXPECT_EQ(offset(cursor, line), 0u);
    EXPECT_TRUE(match_pattern(cursor, std::wstring_view(patterns.data() + 3, 3)));
    EXPECT_EQ(offset(cursor, line), 0u);
}

TEST(MatchPattern, EmptyPatternMatchesAnything)
{
    for (const std::wstring text : {L"", L"  ", L"#REG_PATH = \"x\""}) {
        C_text_cursor cursor(text, blanks);
        EXPECT_TRUE(match_pattern(cursor, L""));
        EXPECT_EQ(offset(cursor, text), 0u);
    }
}

TEST(MatchPattern, KeyLinesWithBlanksQuotesAndEscapes)
{
    const std::wstring key = L"#REG_PATH = %s";
    EXPECT_EQ(match_string(L"#REG_PATH = \"Company\\\\Game\"", key).value, L"Company\\Game");
    EXPECT_EQ(match_string(L"#REG_PATH=\"X\"", key).value, L"X");
    EXPECT_EQ(match_string(L"#REG_PATH   =\t\"X\"", key).value, L"X");
    EXPECT_EQ(match_string(L"#REG_PATH = \"A\\B\"", key).value, L"AB");
    EXPECT_EQ(match_string(L"#REG_PATH = \"\\\"hi\\\"\"", key).value, L"\"hi\"");
    EXPECT_EQ(match_string(L"#REG_PATH = \"a\\nb\"", key).value, L"anb");
    EXPECT_EQ(match_string(L"#REG_PATH = \" in \tside \"", key).value, L" in \tside ");

    const auto empty = match_string(L"#REG_PATH = \"\"", key);
    EXPECT_TRUE(empty.matched);
    EXPECT_EQ(empty.value, L"");

    const std::wstring commented = L"#REG_PATH = \"abc\" // note";
    const auto trailing = match_string(commented, key);
    EXPECT_TRUE(trailing.matched);
    EXPECT_EQ(trailing.value, L"abc");
    EXPECT_EQ(trailing.consumed, commented.find(L" //"));
}

TEST(MatchPattern, FailuresRestoreTheCursorAndKeepTheOutput)
{
    const std::wstring key = L"#REG_PATH = %s";
    for (const std::wstring line : {L"#REG_PATH = X", L"#REG_PATH = \"abc", L"#REG_PATH = \"abc\\\"",
                                    L"#REG_PATH =", L"#REG_PATH = ", L"  #REG_PATH = \"x\"",
                                    L"#reg_path = \"x\"", L"#REG_PATH", L""}) {
        SCOPED_TRACE(std::string(line.begin(), line.end()));
        const auto result = match_string(line, key, L"old");
        EXPECT_FALSE(result.matched);
        EXPECT_EQ(result.value, L"old");
        EXPECT_EQ(result.consumed, 0u);
    }

    const std::wstring comment = L"  // note";
    C_text_cursor cursor(comment, blanks);
    EXPECT_FALSE(match_pattern(cursor, L"//"));
    const std::wstring comment_at_start = L"//#REG_PATH = \"x\"";
    C_text_cursor at_start(comment_at_start, blanks);
    EXPECT_TRUE(match_pattern(at_start, L"//"));
    EXPECT_EQ(offset(at_start, comment_at_start), 2u);

    // A trailing space in the pattern needs a character after the blanks.
    const std::wstring tail = L"ab \t ";
    C_text_cursor trailing(tail, blanks);
    EXPECT_FALSE(match_pattern(trailing, L"ab "));
    EXPECT_EQ(offset(trailing, tail), 0u);
    const std::wstring more = L"ab  c";
    C_text_cursor followed(more, blanks);
    EXPECT_TRUE(match_pattern(followed, L"ab "));
    EXPECT_EQ(offset(followed, more), 4u);
}

TEST(MatchPattern, Numbers)
{
    struct {
        const wchar_t* text;
        std::int32_t value;
        std::size_t consumed;
    } good[] = {
        {L"- 12", -12, 4},    {L"+7", 7, 2},          {L"007", 7, 3},
        {L"12abc", 12, 2},    {L"4294967295", -1, 10}, {L" \t+ 3", 3, 5},
        {L"2147483648", INT32_MIN, 10}, {L"4294967306", 10, 10}, {L"-0", 0, 2},
    };
    for (const auto& c : good) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        const std::wstring text = c.text;
        C_text_cursor cursor(text, blanks);
        std::int32_t value = 99;
        EXPECT_TRUE(match_pattern(cursor, L"%d", &value));
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(offset(cursor, text), c.consumed);
    }
    for (const std::wstring text : {L"x", L"+-5", L"-+5", L"", L"  \t ", L"\x0661", L"+", L"- "}) {
        SCOPED_TRACE(testing::PrintToString(text));
        C_text_cursor cursor(text, blanks);
        std::int32_t value = 99;
        EXPECT_FALSE(match_pattern(cursor, L"%d", &value));
        EXPECT_EQ(value, 99);
        EXPECT_EQ(offset(cursor, text), 0u);
    }

    const std::wstring big = L"-9000000000 18446744073709551615";
    C_text_cursor cursor(big, blanks);
    std::int64_t first = 0;
    std::int64_t second = 0;
    EXPECT_TRUE(match_pattern(cursor, L"%64d %64d", &first, &second));
    EXPECT_EQ(first, -9000000000LL);
    EXPECT_EQ(second, -1);
}

TEST(MatchPattern, PercentWithoutAConversionMatchesNothing)
{
    const std::wstring ab = L"ab";
    C_text_cursor cursor(ab, blanks);
    EXPECT_TRUE(match_pattern(cursor, L"a%%b"));
    EXPECT_EQ(offset(cursor, ab), 2u);

    for (const std::wstring pattern : {L"%x", L"%", L"%6", L"%64", L"%6x", L"%64x", L"%%%"}) {
        SCOPED_TRACE(testing::PrintToString(pattern));
        C_text_cursor fresh(ab, blanks);
        EXPECT_TRUE(match_pattern(fresh, pattern));
        EXPECT_EQ(offset(fresh, ab), 0u);
    }

    // "%6x" consumes three pattern characters, "%64x" four; what follows is matched.
    C_text_cursor three(ab, blanks);
    EXPECT_TRUE(match_pattern(three, L"%6xab"));
    EXPECT_EQ(offset(three, ab), 2u);
    C_text_cursor four(ab, blanks);
    EXPECT_TRUE(match_pattern(four, L"%64xab"));
    EXPECT_EQ(offset(four, ab), 2u);
    C_text_cursor not_eaten(ab, blanks);
    EXPECT_FALSE(match_pattern(not_eaten, L"%6ab"));
}

TEST(MatchPattern, OutputsWrittenBeforeAFailureStay)
{
    const std::wstring text = L"5 x";
    C_text_cursor cursor(text, blanks);
    std::int32_t first = 0;
    std::int32_t second = 77;
    EXPECT_FALSE(match_pattern(cursor, L"%d %d", &first, &second));
    EXPECT_EQ(first, 5);
    EXPECT_EQ(second, 77);
    EXPECT_EQ(offset(cursor, text), 0u);

    const std::wstring mixed = L"n=-3 \"v\" 40000000000;";
    C_text_cursor all(mixed, blanks);
    std::int32_t number = 0;
    std::wstring value;
    std::int64_t wide = 0;
    EXPECT_TRUE(match_pattern(all, L"n=%d %s %64d;", &number, &value, &wide));
    EXPECT_EQ(number, -3);
    EXPECT_EQ(value, L"v");
    EXPECT_EQ(wide, 40000000000LL);
    EXPECT_EQ(all.cur, all.end);
}

TEST(MatchPattern, MissingOrMismatchedOutputsFailSafely)
{
    const std::wstring text = L"\"a\" \"b\" 3";
    C_text_cursor cursor(text, blanks);
    std::wstring only = L"old";
    EXPECT_FALSE(match_pattern(cursor, L"%s %s", &only));
    EXPECT_EQ(only, L"a");
    EXPECT_EQ(offset(cursor, text), 0u);

    EXPECT_FALSE(match_pattern(cursor, L"%s"));

    std::int32_t number = 5;
    EXPECT_FALSE(match_pattern(cursor, L"%d", &only));
    EXPECT_FALSE(match_pattern(cursor, L"%s", &number));
    EXPECT_EQ(number, 5);
    std::int64_t wide = 0;
    EXPECT_FALSE(match_pattern(cursor, L"%s %s %64d", &only, &only, &number));
    EXPECT_TRUE(match_pattern(cursor, L"%s %s %64d", &only, &only, &wide));
    EXPECT_EQ(wide, 3);

    std::int32_t* none = nullptr;
    const std::wstring digit = L"1";
    C_text_cursor other(digit, blanks);
    EXPECT_FALSE(match_pattern(other, L"%d", none));
    EXPECT_EQ(offset(other, digit), 0u);
}
