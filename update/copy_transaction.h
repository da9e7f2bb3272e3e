#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "file/file.h"
#include "update/journal_file.h"
#include "update/rollback.h"

// The copy's changes to the installation as one unit: each is recorded in the
// journal before it is made, and files that are replaced are kept below the
// work folder rather than overwritten, so that a failed or interrupted copy
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
    // file already there is kept among the originals. Where the volume allows,
    // the original is kept by a second name (a hard link) and the new content
    // is written in the work folder, to take the original's place when it is
    // whole; elsewhere the original is moved aside and the new file made in its
    // place under its stored name. Either way no data is copied, and a file
    // that cannot be opened for writing (in use, read-only) is refused before
    // anything is done to it. False, with nothing of this file changed, when
    // the destination cannot be written.
    bool open_destination(const std::wstring& rel, C_file& dest);

    // Closes `dest`, opened by open_destination, and puts it in place. False
    // when it could not be written in full or put in place: the copy has failed
    // then and is to be rolled back.
    bool finish_destination(C_file& dest);

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
    bool open_replacing(const std::wstring& rel, C_file& dest);
    bool make_original_folder();

    C_work_place place_;
    C_journal_writer journal_;
    bool begun_ = false;
    // The last folder known to exist, so that the files of one folder look once.
    std::wstring made_folder_;
    std::size_t asides_ = 0;  // files kept among the originals so far
    // Where the file being written goes once it is whole; empty while it is
    // written in place.
    std::wstring pending_;
};

// Whether originals may be kept by a second name. Volumes without hard links
// (FAT32, exFAT) refuse it and get the move aside; tests turn it off to take
// that way on volumes that have them. Returns the previous setting.
bool allow_hard_links(bool allowed);
