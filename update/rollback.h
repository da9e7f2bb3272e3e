#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "update/journal_record.h"

// Where an update keeps its bookkeeping below the installation folder: the
// journal, the files it replaced and the file being written before it takes
// the place of one. The n-th file set aside (from 0, in the journal's order of
// `aside` records) is kept as originals\<n / 1000>\<n>: few names to a folder,
// so that making one never means looking through thousands, as a folder of
// the installation may hold.
struct C_work_place {
    static constexpr std::size_t ORIGINALS_PER_FOLDER = 1000;

    explicit C_work_place(const std::wstring& dest_dir);

    std::wstring original(std::size_t n) const;
    std::wstring original_folder(std::size_t n) const;

    std::wstring dest_dir;
    std::wstring folder;
    std::wstring journal;
    std::wstring originals;
    std::wstring incoming;
};

// Undoes the records, the last first, and goes on past a step that fails so
// that as much as can be is put back. Every undo may be run again: one that was
// itself interrupted is completed by running it once more. Deletes only what the
// records show the update made. True when every step is undone.
bool undo_journal_records(const C_work_place& place, const std::vector<C_journal_record>& records);

// After a complete update: deletes the first `count` originals, all that its
// records set aside. True when none is left.
bool discard_originals(const C_work_place& place, std::size_t count);

// Removes the file being written, the emptied folders of originals, then the
// journal, then the work folder when nothing else is in it. False, with the journal kept, while any
// file is left among the originals.
bool remove_work_place(const C_work_place& place);

enum class installation_recovery {
    none,         // no update had stopped halfway
    rolled_back,  // an interrupted update was undone now
    completed,    // a complete update had its bookkeeping still there; removed now
    failed,       // a journal that cannot be rolled back: left as it is, with the originals
};

// Looks for what an earlier run of the update left in the installation folder
// `dest_dir` and brings the installation to a whole state.
installation_recovery recover_installation(const std::wstring& dest_dir);
