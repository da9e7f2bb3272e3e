#pragma once
#include <string>
#include <vector>

#include "update_core/manifest.h"

// A manifest's files found by their path below gamedata as the file system
// finds them: letter case ignored, either separator, empty and "." parts
// passed over.
class C_manifest_index {
public:
    // False when two of `files` name the same place; `clash_line` is then the
    // line of the later one, and the index stays empty.
    bool build(std::vector<C_manifest_file> files, int& clash_line);

    // Null when the manifest does not list `rel`.
    const C_manifest_file* find(const std::wstring& rel) const;
    // The position of find's answer in files(), or files().size().
    std::size_t position(const std::wstring& rel) const;

    // In the order of their paths as the file system compares them.
    const std::vector<C_manifest_file>& files() const { return files_; }

private:
    std::vector<C_manifest_file> files_;
};

// `rel` as the index compares it: backslashes, no empty or "." parts.
std::wstring manifest_key(const std::wstring& rel);
