#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "file/error_info.h"
#include "support/temp_dir.h"
#include "util/fs/dir_create.h"

TEST(ErrorRecords, ARecordReplacesThePreviousOne)
{
    set_last_error(error_kind::crt, 2, L"fopen(\"rb\")");
    set_last_error_message(L"ファイルが開かれていません。", L"file_read");
    ASSERT_EQ(last_error_list().size(), 1u);
    const C_error_info* record = last_error();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, error_kind::message);
    EXPECT_EQ(record->message, L"ファイルが開かれていません。");
    EXPECT_EQ(record->context, L"file_read");

    set_last_error(error_kind::win32, 183, L"");
    ASSERT_EQ(last_error_list().size(), 1u);
    EXPECT_EQ(last_error()->kind, error_kind::win32);
    EXPECT_EQ(last_error()->code, 183);
    EXPECT_EQ(last_error()->message, L"");
    EXPECT_EQ(last_error()->context, L"");

    clear_last_error();
    EXPECT_TRUE(last_error_list().empty());
    EXPECT_EQ(last_error(), nullptr);
}

TEST(ErrorRecords, ErrnoRecordTakesTheRuntimeErrorNumber)
{
    errno = 0;
    _set_errno(EACCES);
    set_last_errno_error(L"fwrite");
    ASSERT_NE(last_error(), nullptr);
    EXPECT_EQ(last_error()->kind, error_kind::crt);
    EXPECT_EQ(last_error()->code, EACCES);
    EXPECT_EQ(last_error()->context, L"fwrite");
}

TEST(ErrorRecords, EachThreadHasItsOwnList)
{
    set_last_error(error_kind::crt, 22, L"file_read");
    bool other_was_empty = false;
    std::size_t other_size_after = 0;
    std::thread other([&] {
        other_was_empty = last_error_list().empty();
        clear_last_error();  // a first clearing on a fresh thread is harmless
        set_last_error(error_kind::win32, 5, L"elsewhere");
        other_size_after = last_error_list().size();
    });
    other.join();
    EXPECT_TRUE(other_was_empty);
    EXPECT_EQ(other_size_after, 1u);
    ASSERT_NE(last_error(), nullptr);
    EXPECT_EQ(last_error()->context, L"file_read");
}

TEST(DirCreate, CreatesMissingParentsAndAcceptsAnExistingFolder)
{
    C_temp_dir temp;
    const std::wstring deep = temp / L"one\\two\\three";
    ASSERT_TRUE(dir_create(deep));
    EXPECT_TRUE(folder_exists(temp / L"one"));
    EXPECT_TRUE(folder_exists(temp / L"one\\two"));
    EXPECT_TRUE(folder_exists(deep));

    clear_last_error();
    EXPECT_TRUE(dir_create(deep));
    EXPECT_EQ(last_error(), nullptr);
}

TEST(DirCreate, RefusesAPathThatIsAFileAndRecordsTheCode)
{
    C_temp_dir temp;
    const std::wstring file = temp / L"plain.txt";
    write_file(file, "x");
    clear_last_error();
    EXPECT_FALSE(dir_create(file));
    const C_error_info* record = last_error();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, error_kind::win32);
    EXPECT_NE(record->code, 0);
    EXPECT_EQ(record->context, L"SHCreateDirectoryEx");
    EXPECT_TRUE(file_exists(file));
    EXPECT_EQ(read_file(file), "x");
}
