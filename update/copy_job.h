#pragma once
#include <cstdint>
#include <string>

// Every read asks for one chunk; the bars are updated and the queue pumped once per chunk.
constexpr int COPY_CHUNK_SIZE = 1000000;
// Both progress bars run from 0 to this (per mille).
constexpr int PROGRESS_RANGE = 1000;

// Lists what every script entry stands for, then copies it file by file. False,
// after reporting it, when an entry is no longer found (nothing is copied then)
// or at the first file that could not be copied.
bool copy_update_files();

// Copies gamedata\rel over dest_dir\rel in chunks, showing its progress.
// `bytes_left` counts down the whole job's bytes, against `copy_total`.
bool copy_update_file(const std::wstring& rel, std::uint64_t& bytes_left, std::uint64_t copy_total);
