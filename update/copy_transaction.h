#pragma once
#include <string>

#include "file/file.h"
#include "update/journal_file.h"
#include "update/rollback.h"

// The copy's changes to the installation as one unit: each is recorded in the
// journal before it is made, and files that are replaced are moved aside below
// the work folder rather than overwritten, so that a failed or interrupted copy
// can be undone to the last byte. Recording costs one journal write per step;
// nothing is flushed before the end.
class C_copy_transaction {
public:
    explicit C_copy_transaction(const std::wstring& dest_dir) : place_(dest_dir) {}
    C_copy_transaction(const C_copy_transaction&) = delete;
    C_copy_transaction& operator=(const C_copy_transaction&) = delete;

    // Makes the work folder and its journal. False, with nothing changed, when
    // they cannot be made or the work folder holds originals already.
    bool begin();

    // Opens `dest` for the new content of `rel` (relative to the installation),
    // after the steps that make this undoable: missing folders are made, and a
    // file already there is moved aside, under its stored name, which the new
    // file takes over. A file that cannot be opened for writing (in use,
    // read-only) is refused before it is moved. False, with nothing of this file
    // changed, when the destination cannot be written.
    bool open_destination(const std::wstring& rel, C_file& dest);

    // Records, durably, that every file is in place; then lets go of the
    // originals and the work folder. False when that cannot be recorded: the
    // copy has failed then and is to be rolled back.
    bool commit();

    // Puts the installation back as it was before `begin`, and removes the work
    // folder. False when it could not: the work folder keeps the journal and the
    // originals not yet put back.
    bool roll_back();

    const std::wstring& work_folder() const { return place_.folder; }
    const std::wstring& journal_path() const { return place_.journal; }

private:
    bool make_folders(const std::wstring& folder_rel);
    bool make_original_folder(const std::wstring& folder_rel);
    bool open_replacing(const std::wstring& rel, C_file& dest);
    bool read_records(std::vector<C_journal_record>& records) const;

    C_work_place place_;
    C_journal_writer journal_;
    bool begun_ = false;
    // The last folders known to exist, so that the files of one folder look once.
    std::wstring made_folder_;
    std::wstring made_original_folder_;
    bool original_folder_known_ = false;
};
