#include <gtest/gtest.h>

#include "util/fs/entry_path.h"
#include "util/fs/path.h"
#include "util/text/text.h"

TEST(PathFolderAndName, SplitAtTheLastBackslash)
{
    EXPECT_EQ(path_get_folder(L"D:\\Game\\data\\a.dat"), L"D:\\Game\\data");
    EXPECT_EQ(path_get_folder(L"D:\\Game\\"), L"D:\\Game");
    EXPECT_EQ(path_get_folder(L"D:\\"), L"D:");
    EXPECT_EQ(path_get_folder(L"name.txt"), L"name.txt");

    EXPECT_EQ(path_get_file_name(L"D:\\Game\\data\\a.dat"), L"a.dat");
    EXPECT_EQ(path_get_file_name(L"D:\\Game\\"), L"");
    EXPECT_EQ(path_get_file_name(L"name.txt"), L"name.txt");
    EXPECT_EQ(path_get_file_name(L""), L"");
}

TEST(PathJoin, OneBackslashBetweenAndNothingNormalised)
{
    EXPECT_EQ(path_join(L"gamedata", L"data\\a.dat"), L"gamedata\\data\\a.dat");
    EXPECT_EQ(path_join(L"D:\\Game\\", L"a.dat"), L"D:\\Game\\\\a.dat");
}

TEST(PathExtension, OnlyTheLastDotOfTheLastComponentCounts)
{
    EXPECT_EQ(path_get_extension(L"a.tar.gz"), L"gz");
    EXPECT_EQ(path_erase_extension(L"a.tar.gz"), L"a.tar");

    EXPECT_EQ(path_get_extension(L"D:\\ver.2\\readme"), L"");
    EXPECT_EQ(path_erase_extension(L"D:\\ver.2\\readme"), L"D:\\ver.2\\readme");

    EXPECT_EQ(path_get_extension(L"file."), L"");
    EXPECT_EQ(path_erase_extension(L"file."), L"file");

    EXPECT_EQ(path_get_extension(L".cfg"), L"cfg");
    EXPECT_EQ(path_erase_extension(L".cfg"), L"");

    // A forward slash is an ordinary character.
    EXPECT_EQ(path_get_extension(L"dir/a.b/x"), L"b/x");
    EXPECT_EQ(path_erase_extension(L"dir/a.b/x"), L"dir/a");

    EXPECT_EQ(path_get_extension(L""), L"");
    EXPECT_EQ(path_erase_extension(L"sub\\data.pak"), L"sub\\data");
}

TEST(ToLowerAscii, ChangesOnlyAsciiCapitals)
{
    EXPECT_EQ(to_lower_ascii(L"ABC.Dat"), L"abc.dat");
    // Full-width capitals, accented and Japanese letters stay as they are.
    EXPECT_EQ(to_lower_ascii(L"\xFF21\xFF22\x00C9\x30A2@[Z"), L"\xFF21\xFF22\x00C9\x30A2@[z");

    std::wstring text = L"Data.PAK";
    to_lower_ascii_in_place(text);
    EXPECT_EQ(text, L"data.pak");
}

TEST(ReplaceAll, LineFeedsBecomeCarriageReturnLineFeed)
{
    EXPECT_EQ(replace_all(L"a\nb", L"\n", L"\r\n"), L"a\r\nb");
    EXPECT_EQ(replace_all(L"no breaks", L"\n", L"\r\n"), L"no breaks");
    EXPECT_EQ(replace_all(L"\n\n", L"\n", L"\r\n"), L"\r\n\r\n");
    // A carriage return already there stays: CR LF becomes CR CR LF.
    EXPECT_EQ(replace_all(L"a\r\nb", L"\n", L"\r\n"), L"a\r\r\nb");
    // A replacement that contains the searched text is not searched again.
    EXPECT_EQ(replace_all(L"aa", L"a", L"aa"), L"aaaa");
    EXPECT_EQ(replace_all(L"abcabc", L"bc", L""), L"aa");

    std::wstring text = L"x\ny";
    replace_all_in_place(text, L"\n", L"\r\n");
    EXPECT_EQ(text, L"x\r\ny");
}

TEST(FormatText, FillsTheCopyFileMessage)
{
    EXPECT_EQ(format_text(L"update.ini の %d 個目の COPY_FILE が指定されていません。", 3),
              L"update.ini の 3 個目の COPY_FILE が指定されていません。");
    EXPECT_EQ(format_text(L"%d/%d", -7, 2147483647), L"-7/2147483647");
    EXPECT_EQ(format_text(L"plain"), L"plain");
}

TEST(FormatText, CutsAnOverlongResultAt1023Characters)
{
    const std::wstring long_value(5000, L'x');
    const std::wstring result = format_text(L"[%ls]", long_value.c_str());
    ASSERT_EQ(result.size(), 1023u);
    EXPECT_EQ(result.front(), L'[');
    EXPECT_EQ(result.substr(1), std::wstring(1022, L'x'));

    const std::wstring exact(1023, L'y');
    EXPECT_EQ(format_text(L"%ls", exact.c_str()), exact);
    const std::wstring one_more(1024, L'z');
    EXPECT_EQ(format_text(L"%ls", one_more.c_str()), std::wstring(1023, L'z'));
}

TEST(FormatText, CutsAResultOfAMillionCharactersOrMoreAt1023Too)
{
    const std::wstring huge(2000000, L'w');
    EXPECT_EQ(format_text(L"%ls!", huge.c_str()), std::wstring(1023, L'w'));
}

TEST(EntryPath, UnsafeEntriesReachOutsideWithEitherSeparator)
{
    for (const wchar_t* entry :
         {L"..\\evil.bin", L"../evil.bin", L"movie\\..\\..\\evil.bin", L"movie/../..", L"..", L"...\\x",
          L".. \\x", L"C:\\Windows\\win.ini", L"c:evil.bin", L"\\evil.bin", L"/evil.bin", L"\\\\server\\share\\x",
          L"//server/share/x", L"readme.txt:stream", L"data\\a.pak::$DATA"}) {
        EXPECT_TRUE(entry_is_unsafe(entry)) << testing::PrintToString(std::wstring(entry));
    }
    for (const wchar_t* entry : {L"readme.txt", L"sys/cfg.bin", L"movie\\", L".\\a.dat", L"..a\\b..", L"a..b",
                                 L" ..", L"ムービー\\op.mpg"}) {
        EXPECT_FALSE(entry_is_unsafe(entry)) << testing::PrintToString(std::wstring(entry));
    }
    EXPECT_EQ(entry_to_relative_path(L"sys/data\\a/b.pak"), L"sys\\data\\a\\b.pak");
}
