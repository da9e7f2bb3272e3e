#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 (FIPS 180-4), the digest an update's manifest gives for each file.
using C_sha256_digest = std::array<std::uint8_t, 32>;

// Takes the data in pieces of any size, so that a file is hashed chunk by
// chunk as it is read.
class C_sha256 {
public:
    C_sha256() { restart(); }

    void add(const void* data, std::size_t size);
    // The digest of everything added since the start; the object starts over.
    C_sha256_digest finish();

private:
    void restart();

    std::uint32_t state_[8];
    std::uint8_t pending_[64];  // the part of a block added so far
    std::size_t pending_size_ = 0;
    std::uint64_t total_ = 0;  // bytes added
};

// Whether this processor has the SHA instructions (x86's SHA extensions),
// which hash several times faster than the portable rounds.
bool sha_instructions_available();
// Whether they are used where available; on by default. Tests and the
// benchmark turn them off to check and time the portable rounds. Returns the
// previous setting.
bool use_sha_instructions(bool allowed);

// 64 lowercase hexadecimal digits.
std::string digest_to_hex(const C_sha256_digest& digest);
// Reads 64 hexadecimal digits in either case; false for anything else.
bool digest_from_hex(const char* hex, std::size_t size, C_sha256_digest& digest);
