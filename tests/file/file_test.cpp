#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <io.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "file/error_info.h"
#include "file/file.h"
#include "support/temp_dir.h"

namespace {

const wchar_t* const not_open = L"ファイルが開かれていません。";

void expect_record(error_kind kind, int code, const std::wstring& context)
{
    ASSERT_EQ(last_error_list().size(), 1u);
    const C_error_info& record = *last_error();
    EXPECT_EQ(record.kind, kind);
    EXPECT_EQ(record.code, code);
    EXPECT_EQ(record.message, L"");
    EXPECT_EQ(record.context, context);
}

void expect_not_open_record(const std::wstring& context)
{
    ASSERT_EQ(last_error_list().size(), 1u);
    EXPECT_EQ(last_error()->kind, error_kind::message);
    EXPECT_EQ(last_error()->message, not_open);
    EXPECT_EQ(last_error()->context, context);
}

}  // namespace

TEST(FileOpen, MissingFileFailsWithEnoentAndTheModeInTheContext)
{
    C_temp_dir temp;
    C_file file;
    clear_last_error();
    EXPECT_FALSE(file.open(temp / L"absent.bin", L"rb"));
    EXPECT_EQ(file.stream, nullptr);
    EXPECT_EQ(file.size, 0);
    expect_record(error_kind::crt, 2, L"fopen(\"rb\")");

    EXPECT_FALSE(file.open(temp / L"no\\such\\folder.txt", L"rt"));
    expect_record(error_kind::crt, 2, L"fopen(\"rt\")");
}

TEST(FileOpen, NoTargetIsAnInvalidArgument)
{
    C_temp_dir temp;
    write_file(temp / L"a.txt", "abc");
    EXPECT_FALSE(file_open(nullptr, temp / L"a.txt", L"rb"));
    expect_record(error_kind::crt, 22, L"file_open");
}

TEST(FileOpen, MeasuresAndRewinds)
{
    C_temp_dir temp;
    write_file(temp / L"empty.bin", "");
    write_file(temp / L"five.bin", "12345");

    C_file file;
    ASSERT_TRUE(file.open(temp / L"empty.bin", L"rb"));
    EXPECT_NE(file.stream, nullptr);
    EXPECT_EQ(file.size, 0);

    // Opening again closes the first stream and measures the new file.
    ASSERT_TRUE(file.open(temp / L"five.bin", L"rb"));
    EXPECT_EQ(file.size, 5);
    EXPECT_EQ(file_tell(file.stream), 0);
    char buffer[8] = {};
    EXPECT_EQ(file_read(buffer, 8, file.stream), 5);
    EXPECT_EQ(std::string(buffer, 5), "12345");
    EXPECT_TRUE(last_error_list().empty());

    // Past the end: what is left, here nothing, and no record.
    EXPECT_EQ(file_read(buffer, 8, file.stream), 0);
    EXPECT_TRUE(last_error_list().empty());

    EXPECT_TRUE(file.close());
    EXPECT_EQ(file.stream, nullptr);
    EXPECT_EQ(file.size, 0);
    EXPECT_TRUE(file.close());
    EXPECT_TRUE(last_error_list().empty());
}

TEST(FileOpen, WriteModeEmptiesAnExistingFile)
{
    C_temp_dir temp;
    const std::wstring path = temp / L"data.bin";
    write_file(path, "old contents");
    {
        C_file file;
        ASSERT_TRUE(file.open(path, L"wb"));
        EXPECT_EQ(file.size, 0);
        EXPECT_EQ(file_write("new", 3, file.stream), 3);
    }
    // Destruction closed the stream, so the data reached the file, and nothing
    // of the longer old contents is left.
    EXPECT_EQ(read_file(path), "new");
}

TEST(FileOpen, CreateNewModeNeverTakesOverAnExistingFile)
{
    C_temp_dir temp;
    const std::wstring existing = temp / L"old.bin";
    write_file(existing, "old contents");
    C_file file;
    clear_last_error();
    EXPECT_FALSE(file.open(existing, FILE_MODE_CREATE_NEW));
    EXPECT_EQ(file.stream, nullptr);
    expect_record(error_kind::crt, EEXIST, L"fopen(\"wbx\")");
    EXPECT_EQ(read_file(existing), "old contents");

    const std::wstring made = temp / L"new.bin";
    ASSERT_TRUE(file.open(made, FILE_MODE_CREATE_NEW, file_buffering::none));
    EXPECT_EQ(file.size, 0);
    EXPECT_EQ(file_write("new", 3, file.stream), 3);
    // Nobody else may open it while it is written.
    EXPECT_EQ(CreateFileW(made.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);
    ASSERT_TRUE(file.close());
    EXPECT_EQ(read_file(made), "new");
}

TEST(FileOpen, OpeningAgainClosesTheHeldStream)
{
    C_temp_dir temp;
    const std::wstring first = temp / L"first.bin";
    const std::wstring second = temp / L"second.bin";
    write_file(second, "xy");

    C_file writer;
    ASSERT_TRUE(writer.open(first, L"wb"));
    ASSERT_EQ(file_write("abc", 3, writer.stream), 3);
    // Still in the stream's buffer: only closing puts it on disk.
    ASSERT_EQ(read_file(first), "");

    ASSERT_TRUE(writer.open(second, L"rb"));
    EXPECT_EQ(writer.size, 2);
    EXPECT_EQ(read_file(first), "abc");
}

TEST(FileOpen, UnbufferedStreamHandsEachWriteToTheSystemAtOnce)
{
    C_temp_dir temp;
    const std::wstring path = temp / L"out.bin";
    C_file writer;
    ASSERT_TRUE(writer.open(path, L"wb", file_buffering::none));
    ASSERT_EQ(file_write("abc", 3, writer.stream), 3);
    // On disk before any close, unlike a buffered stream's data.
    EXPECT_EQ(read_file(path), "abc");
}

TEST(FileOpen, FailingPositionQueryLeavesAnFtellRecord)
{
    C_temp_dir temp;
    write_file(temp / L"five.bin", "12345");
    const position_query runtime = set_position_query([](std::FILE*) -> std::int64_t {
        errno = EIO;
        return -1;
    });
    C_file file;
    const bool opened = file.open(temp / L"five.bin", L"rb");
    set_position_query(runtime);

    EXPECT_FALSE(opened);
    EXPECT_EQ(file.size, 0);
    expect_record(error_kind::crt, EIO, L"ftell");
}

TEST(FileOpen, FailedCloseReleasesTheStreamAndResetsTheSize)
{
    C_temp_dir temp;
    write_file(temp / L"five.bin", "12345");
    C_file file;
    ASSERT_TRUE(file.open(temp / L"five.bin", L"rb"));
    ASSERT_EQ(file.size, 5);
    // With its handle closed behind the runtime's back, the runtime's own close fails.
    ASSERT_TRUE(CloseHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.stream)))));

    clear_last_error();
    EXPECT_FALSE(file.close());
    EXPECT_EQ(file.stream, nullptr);
    EXPECT_EQ(file.size, 0);
    ASSERT_EQ(last_error_list().size(), 1u);
    EXPECT_EQ(last_error()->kind, error_kind::crt);
    EXPECT_EQ(last_error()->context, L"fclose");
    EXPECT_TRUE(file.close());
}

TEST(FileOpen, MeasuresAFileBeyond4GiBWhole)
{
    // Sparse: only the last bytes, past 4 GiB, are written.
    C_temp_dir temp;
    const std::wstring path = temp / L"huge.bin";
    const std::int64_t tail_at = std::int64_t{1} << 32;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = tail_at;
    DWORD written = 0;
    const bool made =
        SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) && WriteFile(handle, "tail!", 5, &written, nullptr);
    CloseHandle(handle);
    ASSERT_TRUE(made && written == 5);

    C_file file;
    ASSERT_TRUE(file.open(path, L"rb", file_buffering::none));
    EXPECT_EQ(file.size, tail_at + 5);
    EXPECT_EQ(file_tell(file.stream), 0);
    // The stream reaches what lies beyond 4 GiB, so a reader of `size` bytes gets it all.
    ASSERT_EQ(_fseeki64(file.stream, tail_at, SEEK_SET), 0);
    char buffer[8] = {};
    EXPECT_EQ(file_read(buffer, 8, file.stream), 5);
    EXPECT_EQ(std::string(buffer, 5), "tail!");
}

TEST(FileOperations, BadArgumentsRecordEinvalWithTheOperationsName)
{
    C_temp_dir temp;
    const std::wstring path = temp / L"a.bin";
    write_file(path, "abc");
    C_file reader;
    ASSERT_TRUE(reader.open(path, L"rb"));
    char buffer[4] = {};

    EXPECT_EQ(file_read(buffer, -1, reader.stream), 0);
    expect_record(error_kind::crt, 22, L"file_read");
    EXPECT_EQ(file_read(nullptr, 3, reader.stream), 0);
    expect_record(error_kind::crt, 22, L"file_read");
    EXPECT_EQ(file_read(buffer, 0, reader.stream), 0);
    EXPECT_TRUE(last_error_list().empty());
    // Nothing was consumed by the refused reads.
    EXPECT_EQ(file_read(buffer, 3, reader.stream), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");

    C_file writer;
    ASSERT_TRUE(writer.open(temp / L"out.bin", L"wb"));
    EXPECT_EQ(file_write(buffer, -5, writer.stream), 0);
    expect_record(error_kind::crt, 22, L"file_write");
    EXPECT_EQ(file_write(nullptr, 1, writer.stream), 0);
    expect_record(error_kind::crt, 22, L"file_write");

    // A successful write leaves the earlier record alone; a zero count writes nothing.
    EXPECT_EQ(file_write(buffer, 0, writer.stream), 0);
    EXPECT_EQ(file_write(buffer, 2, writer.stream), 2);
    expect_record(error_kind::crt, 22, L"file_write");
    writer.close();
    EXPECT_EQ(read_file(temp / L"out.bin"), "ab");
}

TEST(FileOperations, NoStreamRecordsTheNotOpenMessage)
{
    char buffer[4] = {};
    EXPECT_EQ(file_read(buffer, 4, nullptr), 0);
    expect_not_open_record(L"file_read");
    EXPECT_EQ(file_write(buffer, 4, nullptr), 0);
    expect_not_open_record(L"file_write");
    EXPECT_FALSE(file_seek(nullptr, FILE_ORIGIN_END));
    expect_not_open_record(L"file_seek");
    EXPECT_EQ(file_tell(nullptr), 0);
    expect_not_open_record(L"file_tell");
}

TEST(FileOperations, WritingToAReadOnlyStreamRecordsTheRuntimeError)
{
    C_temp_dir temp;
    const std::wstring path = temp / L"a.bin";
    write_file(path, "abc");
    C_file reader;
    ASSERT_TRUE(reader.open(path, L"rb"));
    clear_last_error();
    EXPECT_LT(file_write("xyz", 3, reader.stream), 3);
    ASSERT_EQ(last_error_list().size(), 1u);
    EXPECT_EQ(last_error()->kind, error_kind::crt);
    EXPECT_NE(last_error()->code, 0);
    EXPECT_EQ(last_error()->context, L"fwrite");
    reader.close();
    EXPECT_EQ(read_file(path), "abc");
}

TEST(FileTextMode, CrLfFileMeasuresSixAndReadsFour)
{
    C_temp_dir temp;
    write_file(temp / L"crlf.txt", "a\r\nb\r\n");
    C_file file;
    ASSERT_TRUE(file.open(temp / L"crlf.txt", L"rt"));
    EXPECT_EQ(file.size, 6);
    char buffer[6] = {};
    EXPECT_EQ(file_read(buffer, 6, file.stream), 4);
    EXPECT_EQ(std::string(buffer, 4), "a\nb\n");
    EXPECT_TRUE(last_error_list().empty());
}
