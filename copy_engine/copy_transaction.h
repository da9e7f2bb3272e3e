#pragma once
#include <string>
#include <vector>

#include "copy_engine/copy_failure.h"
#include "copy_engine/copy_progress.h"
#include "update_core/copy_entry.h"

// Every read asks for this many bytes, and progress is told once per chunk.
constexpr int COPY_CHUNK_SIZE = 1000000;

struct C_copy_outcome {
    C_copy_failure failure;          // none: the update is complete, and durable
    // After a failure: whether the installation is as it was, with the work
    // folder gone. Otherwise the work folder keeps the journal and the old
    // files, and the next start finishes the rollback.
    bool restored = true;
    std::vector<std::wstring> kept;  // after a failure: files the rollback found changed by someone else, and left
};

// Copies `files` (paths relative to both folders) from `source_dir` into the
// installation folder `dest_dir` and removes the files `removed` of it (paths
// relative to it, names as stored; one that is not there is passed over), all
// or nothing, so that a failure, a killed
// process or a power cut leaves the installation as it was or complete (the
// README's "all or nothing" tells the order and what each sync buys):
//   1. the work folder is made, writable by administrators and SYSTEM only,
//      with a journal whose header names the installation, synced;
//   2. every new file is written in the work folder, and every folder the
//      update makes is made there, while the installation is untouched; each
//      step of the plan is recorded with the stamp of what it will put in place
//      and of the file it replaces or removes; the staged files are synced, on
//      threads of their own, then the journal;
//   3. the staged items take their places, each replaced file kept in the work
//      folder by a second name (or moved there where the volume has no hard
//      links), its permissions, attributes, streams and creation time passed
//      to the file that replaces it when that was staged; each removed file is
//      moved into the work folder; the journal is synced;
//   4. "done" is recorded and synced; folders that the removals left empty,
//      the kept files and the work folder go.
// A failure is rolled back before this returns, all handles closed first.
C_copy_outcome copy_into_installation(const std::wstring& source_dir, const std::wstring& dest_dir,
                                      const std::vector<C_copy_item>& files, const std::vector<std::wstring>& removed,
                                      C_copy_progress& progress);

// Whether replaced files may be kept by a second name. Volumes without hard
// links refuse it and get the move aside (this switch turns itself off there);
// tests turn it off to take that way on volumes that have them. Returns the
// previous setting.
bool allow_hard_links(bool allowed);
