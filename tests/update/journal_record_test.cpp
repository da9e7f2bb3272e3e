#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/utf8_text.h"
#include "update/journal_record.h"

// The journal's stored form, read back from bytes: what a write leaves, whole
// or stopped partway, and what cannot be trusted.

namespace {

std::string journal_of(const std::vector<C_journal_record>& records)
{
    std::string bytes = journal_start_bytes();
    for (const auto& record : records) append_journal_record(record, bytes);
    return bytes;
}

TEST(JournalRecords, WhatIsWrittenReadsBack)
{
    const std::vector<C_journal_record> records = {
        {journal_step::folder, L"ムービー"},
        {journal_step::folder, L"ムービー\\op ed"},
        {journal_step::new_file, L"ムービー\\op ed\\オープニング 1.mpg"},
        {journal_step::aside, L"System\\Config.INI"},
        {journal_step::new_file, L"a.b.c"},
        {journal_step::done, L""},
    };
    std::vector<C_journal_record> read;
    ASSERT_TRUE(read_journal_records(journal_of(records), read));
    ASSERT_EQ(read.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(read[i].step, records[i].step) << i;
        EXPECT_EQ(to_utf8(read[i].rel), to_utf8(records[i].rel)) << i;
    }
    // Stored as a text editor opens it.
    EXPECT_EQ(journal_start_bytes(), utf16le(L"\xFEFF" L"update journal 1\r\n"));
}

TEST(JournalRecords, WhatAStoppedWriteLeavesAndWhatCannotBeTrusted)
{
    const std::string start = journal_start_bytes();
    const std::string one = journal_of({{journal_step::new_file, L"a.dat"}});
    struct C_case {
        const char* what;
        std::string bytes;
        bool trusted;
        std::size_t records;
    };
    const C_case cases[] = {
        {"nothing written", "", true, 0},
        {"header cut short", start.substr(0, 9), true, 0},
        {"made longer but never written", std::string(64, '\0'), true, 0},
        {"header only", start, true, 0},
        {"last line without its end", one + utf16le(L"aside\tb.d"), true, 1},
        {"half a unit at the end", one + "a", true, 1},
        {"zeros after the last line", one + std::string(40, '\0'), true, 1},
        {"no journal", utf16le(L"\xFEFF" L"update journal 2\r\nnew\ta.dat\r\n"), false, 0},
        {"no byte-order mark", utf16le(L"update journal 1\r\nnew\ta.dat\r\n"), false, 0},
        {"unknown step", one + utf16le(L"delete\tb.dat\r\n"), false, 0},
        {"no path", one + utf16le(L"new\t\r\n"), false, 0},
        {"no tab", one + utf16le(L"new b.dat\r\n"), false, 0},
        {"parent folder", one + utf16le(L"new\tsub\\..\\..\\b.dat\r\n"), false, 0},
        {"absolute path", one + utf16le(L"new\tC:\\Windows\\b.dat\r\n"), false, 0},
        {"rooted path", one + utf16le(L"new\t\\b.dat\r\n"), false, 0},
        {"forward slash", one + utf16le(L"new\tsub/b.dat\r\n"), false, 0},
        {"control character", one + utf16le(L"new\tb\x01.dat\r\n"), false, 0},
        {"the journal itself", one + utf16le(L"new\t~Update_Rollback\\update.journal\r\n"), false, 0},
        {"a step after done", one + utf16le(L"done\r\nnew\tb.dat\r\n"), false, 0},
        {"garbage before a whole line", one + std::string(6, '\0') + utf16le(L"\r\nnew\tb.dat\r\n"), false, 0},
    };
    for (const auto& c : cases) {
        std::vector<C_journal_record> records;
        EXPECT_EQ(read_journal_records(c.bytes, records), c.trusted) << c.what;
        EXPECT_EQ(records.size(), c.records) << c.what;
    }
}

}  // namespace
