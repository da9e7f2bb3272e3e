#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "file/error_info.h"
#include "support/temp_dir.h"
#include "util/text/text_file.h"

TEST(TextFile, MissingFileEmptiesTheText)
{
    C_temp_dir temp;
    std::wstring text = L"left over";
    EXPECT_FALSE(read_text_file(temp / L"absent.txt", text));
    EXPECT_EQ(text, L"");
    ASSERT_NE(last_error(), nullptr);
    EXPECT_EQ(last_error()->code, 2);
    EXPECT_EQ(last_error()->context, L"fopen(\"rt\")");
}

TEST(TextFile, LineEndsAndControlBytesFollowTextMode)
{
    C_temp_dir temp;
    struct {
        const char* name;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"empty", "", L""},
        {"crlf", "a\r\nb\r\n", L"a\nb\n"},
        {"lone cr", "a\rb\r\r\nc\r", L"a\rb\r\nc\r"},
        {"zero byte", std::string("abc\0def", 7), L"abc"},
        {"ctrl-z", "ab\r\ncd\x1a" "ef\r\n", L"ab\ncd"},
        {"utf-16 with bom", std::string("\xff\xfe" "A\0B\0", 6), L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = temp / L"case.txt";
        write_file(path, c.bytes);
        std::wstring text = L"old";
        ASSERT_TRUE(read_text_file(path, text));
        if (std::string(c.name) == "utf-16 with bom") {
            // Only the bytes before the first zero reach the decoder: the mark's
            // two bytes (whatever they decode to in this code page) and the A.
            ASSERT_FALSE(text.empty());
            EXPECT_LE(text.size(), 3u);
            EXPECT_EQ(text.back(), L'A');
        } else {
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST(TextFile, DecodesTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests expect the Japanese locale";
    C_temp_dir temp;
    write_file(temp / L"sjis.txt", "\x82\xa0");
    std::wstring text;
    ASSERT_TRUE(read_text_file(temp / L"sjis.txt", text));
    EXPECT_EQ(text, L"\u3042");

    // "アップデート" followed by a line end, as a script would hold it.
    write_file(temp / L"sjis.txt", "\x83\x41\x83\x62\x83\x76\x83\x66\x81\x5b\x83\x67\r\n");
    ASSERT_TRUE(read_text_file(temp / L"sjis.txt", text));
    EXPECT_EQ(text, L"アップデート\n");
}

TEST(TextFile, RefusesFilesBeyondTheSingleReadCount)
{
    C_temp_dir temp;
    const std::wstring path = temp / L"huge.txt";
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    LARGE_INTEGER length;
    length.QuadPart = 0x80000000LL;
    const bool extended = SetFilePointerEx(handle, length, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    CloseHandle(handle);
    ASSERT_TRUE(extended);

    std::wstring text = L"old";
    EXPECT_FALSE(read_text_file(path, text));
    EXPECT_EQ(text, L"");
    ASSERT_NE(last_error(), nullptr);
    EXPECT_EQ(last_error()->context, L"read_text_file");
}

TEST(AnsiToWide, StopsAtTheFirstZeroByteAndIgnoresEmptyInput)
{
    EXPECT_EQ(ansi_to_wide(nullptr, 0), L"");
    EXPECT_EQ(ansi_to_wide("abc", 0), L"");
    EXPECT_EQ(ansi_to_wide("abc", -3), L"");
    EXPECT_EQ(ansi_to_wide("abc", 2), L"ab");
    EXPECT_EQ(ansi_to_wide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(ansi_to_wide(std::string()), L"");
    EXPECT_EQ(ansi_to_wide(std::string("\x93\xfa\x96\x7b")), L"日本");
}
