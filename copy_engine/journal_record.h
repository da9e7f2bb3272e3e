#pragma once
#include <string>
#include <vector>

#include "copy_engine/file_stamp.h"

// One step of an update as its journal records it. The journal holds the whole
// plan before the installation changes: one record per step, each naming what
// it puts in place (its staged file or folder, by stamp) and, for a file it
// replaces or removes, the file that was there. Paths are relative to the installation
// folder, with backslashes.
enum class journal_step {
    folder,    // a folder made in the work folder is put where there was nothing
    new_file,  // a file made in the work folder is put where there was nothing
    replace,   // a file made in the work folder takes the place of the file there, which is kept
    remove,    // the file there is set aside in the work folder, and goes with it once the update is complete
    done,      // every step is taken and made durable: the update is complete
};

// Which stamps a step's record carries. A new kind of step says here what it
// records; the stored form and its reader follow.
bool step_places_item(journal_step step);
bool step_keeps_original(journal_step step);

struct C_journal_record {
    journal_step step = journal_step::done;
    std::wstring rel;         // empty for `done`
    C_file_stamp placed;      // what the step puts at `rel`, where it places something
    C_file_stamp original;    // the file that was at `rel`, where the step keeps it (replaces or removes it)
};

// A journal read back: the installation it belongs to (its folder's volume and
// index) and its records, the n-th step (from 0) being records[n].
struct C_journal {
    C_file_stamp installation;
    std::vector<C_journal_record> records;
};

// The journal is stored as UTF-16LE text that a text editor opens: a byte-order
// mark and a header of two lines (the format, the installation), then one line
// per record, each ended by CR LF.
std::string journal_header_bytes(const C_file_stamp& installation);
// Adds the stored form of `record` to the end of `out`.
void append_journal_record(const C_journal_record& record, std::string& out);

enum class journal_reading {
    unwritten,  // nothing of it reached the disk beyond part of its header: no record, no installation
    trusted,
    untrusted,  // no journal of an update, or one that names an unsafe path
};

// Reads a stored journal. A last line without its CR LF is passed over: its
// write did not finish, and zeros after the last line are what the system
// gives for data that never reached the disk. A journal cannot be trusted when
// it is no journal, a line is no record, a path is unsafe (outside the
// installation, or inside the work folder), or a record follows `done`; it then
// holds no records.
journal_reading read_journal_records(const std::string& bytes, C_journal& journal);
