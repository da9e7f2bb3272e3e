#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "update/copy_transaction.h"

// Every read asks for one chunk; the bars are updated and the queue pumped once per chunk.
constexpr int COPY_CHUNK_SIZE = 1000000;
// Both progress bars run from 0 to this (per mille).
constexpr int PROGRESS_RANGE = 1000;

// Lists what every script entry stands for, then copies it file by file. False,
// after reporting it, when an entry is no longer found (nothing is copied then)
// or at the first file that could not be copied (everything copied is undone then).
bool copy_update_files();

// What the files of one job share: the chunk buffer, allocated once so that no
// file pays for a megabyte it overwrites at once, the bytes still to copy
// against the job's total, and the transaction that can undo the job.
struct C_copy_run {
    C_copy_run(std::uint64_t total, const std::wstring& dest_dir)
        : buffer(new char[COPY_CHUNK_SIZE]), copy_total(total), bytes_left(total), transaction(dest_dir)
    {
    }

    std::unique_ptr<char[]> buffer;
    std::uint64_t copy_total;
    std::uint64_t bytes_left;
    C_copy_transaction transaction;
};

// Copies gamedata\rel over dest_dir\rel in chunks, showing its progress. On a
// failure it rolls the whole job back before the general failure message.
bool copy_update_file(const std::wstring& rel, C_copy_run& run);
