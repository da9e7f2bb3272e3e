// Feeds arbitrary bytes to the reader of the update's journal, which recovery
// trusts with deleting and moving files, and checks what must hold whatever the
// bytes: a trusted journal names only paths inside the installation and outside
// the work folder, ends at its completion record if it has one, and reads back
// the same when written out again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "update/journal_record.h"
#include "update_core/work_folder.h"
#include "util/fs/entry_path.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

bool same(const std::vector<C_journal_record>& a, const std::vector<C_journal_record>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].step != b[i].step || a[i].rel != b[i].rel) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<C_journal_record> records;
    if (!read_journal_records(bytes, records)) {
        check(records.empty());
        return 0;
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        const C_journal_record& record = records[i];
        if (record.step == journal_step::done) {
            check(i + 1 == records.size() && record.rel.empty());
            continue;
        }
        check(!record.rel.empty() && !entry_is_unsafe(record.rel) && !lands_in_work_folder(record.rel));
    }
    std::string written = journal_start_bytes();
    for (const auto& record : records) append_journal_record(record, written);
    std::vector<C_journal_record> again;
    check(read_journal_records(written, again) && same(records, again));
    return 0;
}
