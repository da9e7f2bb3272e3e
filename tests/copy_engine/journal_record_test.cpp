#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy_engine/journal_record.h"
#include "copy_engine/work_place.h"
#include "support/utf8_text.h"

// The journal's stored form, read back from bytes: what a write leaves, whole
// or stopped partway, zeros where data never reached the disk, and what cannot
// be trusted.

namespace {

const C_file_stamp INSTALLATION = {0x43000000u, 0x57e487u, 0, 0};

C_file_stamp stamp(std::uint64_t index, std::uint64_t size = 5)
{
    return C_file_stamp{0x43000000u, index, size, 0x01d9000000000000ull + index};
}

C_journal_record step(journal_step kind, const std::wstring& rel, std::uint64_t index = 1)
{
    C_journal_record record;
    record.step = kind;
    record.rel = rel;
    if (step_places_item(kind)) record.placed = stamp(index);
    if (step_keeps_original(kind)) record.original = stamp(index + 100, 7);
    return record;
}

std::string journal_of(const std::vector<C_journal_record>& records)
{
    std::string bytes = journal_header_bytes(INSTALLATION);
    for (const auto& record : records) append_journal_record(record, bytes);
    return bytes;
}

bool same_stamp(const C_file_stamp& a, const C_file_stamp& b)
{
    return same_file_unchanged(a, b);
}

TEST(JournalRecords, WhatIsWrittenReadsBack)
{
    const std::vector<C_journal_record> records = {
        step(journal_step::folder, L"ムービー", 1),
        step(journal_step::folder, L"ムービー\\op ed", 2),
        step(journal_step::new_file, L"ムービー\\op ed\\オープニング 1.mpg", 3),
        step(journal_step::replace, L"System\\Config.INI", 0xFFFFFFFFFFFFFFFFull),
        step(journal_step::new_file, L"a.b.c", 5),
        step(journal_step::remove, L"legacy\\old.dll", 6),
        step(journal_step::done, L""),
    };
    C_journal read;
    ASSERT_EQ(read_journal_records(journal_of(records), read), journal_reading::trusted);
    EXPECT_TRUE(same_item(read.installation, INSTALLATION));
    ASSERT_EQ(read.records.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(read.records[i].step, records[i].step) << i;
        EXPECT_EQ(to_utf8(read.records[i].rel), to_utf8(records[i].rel)) << i;
        EXPECT_TRUE(same_stamp(read.records[i].placed, records[i].placed)) << i;
        EXPECT_TRUE(same_stamp(read.records[i].original, records[i].original)) << i;
    }
    // Stored as a text editor opens it.
    EXPECT_EQ(journal_header_bytes(INSTALLATION),
              utf16le(L"\xFEFF" L"update journal 2\r\n"
                      L"installation\t43000000-000000000057e487-0000000000000000-0000000000000000\r\n"));
}

TEST(JournalRecords, WhatAStoppedWriteLeavesAndWhatCannotBeTrusted)
{
    const std::string header = journal_header_bytes(INSTALLATION);
    const std::string one = journal_of({step(journal_step::new_file, L"a.dat")});
    const std::wstring placed = L"43000000-0000000000000001-0000000000000005-01d9000000000001";
    struct C_case {
        const char* what;
        std::string bytes;
        journal_reading reading;
        std::size_t records;
    };
    const C_case cases[] = {
        {"nothing written", "", journal_reading::unwritten, 0},
        {"first line cut short", header.substr(0, 9), journal_reading::unwritten, 0},
        {"installation cut short", header.substr(0, header.size() - 20), journal_reading::unwritten, 0},
        {"header cut short, then zeros", header.substr(0, 60) + std::string(30, '\0'), journal_reading::unwritten, 0},
        {"made longer but never written", std::string(64, '\0'), journal_reading::unwritten, 0},
        {"header only", header, journal_reading::trusted, 0},
        {"last line without its end", one + utf16le(L"replace\t" + placed), journal_reading::trusted, 1},
        {"half a unit at the end", one + "a", journal_reading::trusted, 1},
        {"zeros after the last line", one + std::string(40, '\0'), journal_reading::trusted, 1},
        {"another format", utf16le(L"\xFEFF" L"update journal 1\r\nnew\ta.dat\r\n"), journal_reading::untrusted, 0},
        {"no byte-order mark", one.substr(2), journal_reading::untrusted, 0},
        {"no installation", utf16le(L"\xFEFF" L"update journal 2\r\nnew\t" + placed + L"\ta.dat\r\n"),
         journal_reading::untrusted, 0},
        {"unknown step", one + utf16le(L"delete\t" + placed + L"\tb.dat\r\n"), journal_reading::untrusted, 0},
        {"no stamp", one + utf16le(L"new\tb.dat\r\n"), journal_reading::untrusted, 0},
        {"stamp in capitals", one + utf16le(L"new\t43000000-0000000000000001-0000000000000005-01D9000000000001\tb\r\n"),
         journal_reading::untrusted, 0},
        {"replace without the original", one + utf16le(L"replace\t" + placed + L"\tb.dat\r\n"),
         journal_reading::untrusted, 0},
        {"no path", one + utf16le(L"new\t" + placed + L"\t\r\n"), journal_reading::untrusted, 0},
        {"parent folder", one + utf16le(L"new\t" + placed + L"\tsub\\..\\..\\b.dat\r\n"), journal_reading::untrusted, 0},
        {"absolute path", one + utf16le(L"new\t" + placed + L"\tC:\\Windows\\b.dat\r\n"), journal_reading::untrusted, 0},
        {"rooted path", one + utf16le(L"new\t" + placed + L"\t\\b.dat\r\n"), journal_reading::untrusted, 0},
        {"forward slash", one + utf16le(L"new\t" + placed + L"\tsub/b.dat\r\n"), journal_reading::untrusted, 0},
        {"control character", one + utf16le(L"new\t" + placed + L"\tb\x01.dat\r\n"), journal_reading::untrusted, 0},
        {"the journal itself", one + utf16le(L"new\t" + placed + L"\t~Update_Rollback\\update.journal\r\n"),
         journal_reading::untrusted, 0},
        {"a step after done", one + utf16le(L"done\r\nnew\t" + placed + L"\tb.dat\r\n"), journal_reading::untrusted, 0},
        {"zeros before a whole line", one + std::string(6, '\0') + utf16le(L"\r\nnew\t" + placed + L"\tb\r\n"),
         journal_reading::untrusted, 0},
    };
    for (const auto& c : cases) {
        C_journal journal;
        EXPECT_EQ(read_journal_records(c.bytes, journal), c.reading) << c.what;
        EXPECT_EQ(journal.records.size(), c.records) << c.what;
    }
}

TEST(WorkFolder, PathsThatLandInItAsTheFileSystemComparesNames)
{
    const struct {
        const wchar_t* rel;
        bool lands;
    } cases[] = {
        {L"~update_rollback", true},
        {L"~Update_Rollback\\update.journal", true},
        {L"~update_rollback/originals/a.dat", true},
        {L".\\~update_rollback\\a.dat", true},
        {L"\\~update_rollback", true},
        {L"~update_rollback. .\\a.dat", true},
        {L"data\\~update_rollback", false},
        {L"~update_rollbacks\\a.dat", false},
        {L"~update_rollbac", false},
        {L"..\\~update_rollback", false},
        {L"", false},
        {L".\\.", false},
    };
    for (const auto& c : cases) EXPECT_EQ(lands_in_work_folder(c.rel), c.lands) << to_utf8(c.rel);
}

}  // namespace
