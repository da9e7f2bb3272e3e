#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "update_core/sha256.h"

// The manifest beside update.ini lists every file of gamedata with its size
// and SHA-256, in a form GNU sha256sum checks (`sha256sum -c update.sha256` in
// the update folder): UTF-8 text with LF line ends, lines beginning with "#"
// are comments, and each file takes two lines,
//   # size <bytes, decimal>
//   <64 hex digits> *gamedata/<path with forward slashes>
// sorted by path, so that the same files always give the same bytes.
inline const wchar_t* const MANIFEST_FILE = L"update.sha256";

struct C_manifest_file {
    std::wstring rel;  // below gamedata, backslashes only, every component named
    std::uint64_t size = 0;
    C_sha256_digest digest{};
    int line = 0;  // of its digest line, counted from 1; 0 for a file not read from a manifest
};

enum class manifest_problem {
    none,
    malformed,  // a line that is neither a comment nor a file's, a digest without its size, text not UTF-8
    outside,    // a path that does not stay below gamedata
};

struct C_manifest {
    std::vector<C_manifest_file> files;  // in the manifest's order
    manifest_problem problem = manifest_problem::none;
    int problem_line = 0;  // the first line with the problem
};

// Reads a manifest's bytes. On a problem, `files` holds nothing: the updater
// trusts a manifest whole or not at all. A line may end in CR LF as well.
C_manifest read_manifest(const std::string& bytes);

// The bytes of the manifest of `files` (their `line` is not used). False, with
// `bytes` empty, when a path has no UTF-8 spelling (an unpaired surrogate).
bool write_manifest(std::vector<C_manifest_file> files, std::string& bytes);
