#pragma once
#include <string>
#include <vector>

// One step of an update as its journal records it, before the step is taken.
// Paths are relative to the installation folder, with backslashes.
enum class journal_step {
    folder,    // a folder is made where there was nothing
    new_file,  // a file is made where there was nothing
    aside,     // the file there is kept among the work folder's originals, by a second name or moved
    done,      // every file is in place: the update is complete
};

struct C_journal_record {
    journal_step step = journal_step::done;
    std::wstring rel;  // empty for `done`
};

// The journal is stored as UTF-16LE text that a text editor opens: a byte-order
// mark and a header line, then one line per record, each ended by CR LF.
std::string journal_start_bytes();
// Adds the stored form of `record` to the end of `out`.
void append_journal_record(const C_journal_record& record, std::string& out);

// Reads a stored journal. A last line without its CR LF is passed over: its
// write did not finish, so the step it announces had not begun; a journal cut
// short in its header, or never written (zeros), likewise holds no record. False when the journal cannot
// be trusted: it is no journal, a line is no record, a path is unsafe (outside
// the installation, or inside the work folder), or a record follows `done`.
bool read_journal_records(const std::string& bytes, std::vector<C_journal_record>& records);
