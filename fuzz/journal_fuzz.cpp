// Feeds arbitrary bytes to the reader of the update's journal, which recovery
// trusts with deleting and moving files, and checks what must hold whatever the
// bytes: a trusted journal names only paths inside the installation and outside
// the work folder, ends at its completion record if it has one, and reads back
// the same when written out again; a journal that is not trusted, or holds no
// more than part of its header, gives no records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "copy_engine/journal_record.h"
#include "copy_engine/work_place.h"
#include "util/fs/entry_path.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

bool same(const C_journal_record& a, const C_journal_record& b)
{
    return a.step == b.step && a.rel == b.rel && same_file_unchanged(a.placed, b.placed) &&
           same_file_unchanged(a.original, b.original);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    C_journal journal;
    const journal_reading reading = read_journal_records(bytes, journal);
    if (reading != journal_reading::trusted) {
        check(journal.records.empty());
        return 0;
    }
    for (std::size_t i = 0; i < journal.records.size(); ++i) {
        const C_journal_record& record = journal.records[i];
        if (record.step == journal_step::done) {
            check(i + 1 == journal.records.size() && record.rel.empty());
            continue;
        }
        check(!record.rel.empty() && !entry_is_unsafe(record.rel) && !lands_in_work_folder(record.rel));
    }
    std::string written = journal_header_bytes(journal.installation);
    for (const auto& record : journal.records) append_journal_record(record, written);
    C_journal again;
    check(read_journal_records(written, again) == journal_reading::trusted);
    check(same_item(again.installation, journal.installation) && again.records.size() == journal.records.size());
    for (std::size_t i = 0; i < journal.records.size(); ++i) check(same(again.records[i], journal.records[i]));
    return 0;
}
