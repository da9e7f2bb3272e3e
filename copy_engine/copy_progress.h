#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// What the copy tells its owner as it goes, on the owner's thread, so that a
// window can show it and stay answering. Every call may do nothing.
class C_copy_progress {
public:
    // A file's copy begins; `rel` is its path relative to both copy folders.
    virtual void file_begun(const std::wstring& rel);
    // A chunk was copied: the current file's bytes so far out of its size, and
    // the job's bytes so far out of its total.
    virtual void bytes_copied(std::uint64_t file_done, std::uint64_t file_size, std::uint64_t done,
                              std::uint64_t total);
    // Every so many steps that copy no bytes: putting files in place, undoing.
    virtual void working();
    // Each chunk of the current file as it is read, before it is written, for
    // a check of its content; after the last, whether the file read may take
    // its place. Without a check, every file may.
    virtual void chunk_read(const void* data, std::size_t size);
    virtual bool content_matches();

protected:
    ~C_copy_progress() = default;
};

// Tells nothing to no one.
class C_quiet_progress final : public C_copy_progress {
public:
    ~C_quiet_progress() = default;
};
