#pragma once
#include <string>

// Files that Windows programs make only with rights or settings a test lacks,
// and that Wine cannot make at all: links to folders and names that differ only
// in letter case. Under Wine they are made by a command of the host system
// (Wine starts a host program given to CreateProcessW); on Windows a link needs
// the right to make one and a twin a case-sensitive folder. Each answers
// whether the result is there, so that a test can skip, saying why.

bool running_on_wine();

// A symbolic link `link` to the folder `target`.
bool make_folder_link(const std::wstring& link, const std::wstring& target);

// The file `name` in `folder` beside one whose name differs only in letter
// case; with a folder part ("Data\a.pak") the twin is that folder, holding
// the file.
bool write_case_twin(const std::wstring& folder, const std::wstring& name, const std::string& bytes);

// Denies everyone the listing of `folder` through its ACL while the object
// lives, and gives the old ACL back after. Wine turns the ACL into the folder's
// Unix mode, which root ignores unless it runs without its file-access
// capabilities (tests/without_root_file_rights.sh runs a test program so).
class C_listing_denied {
public:
    explicit C_listing_denied(const std::wstring& folder);
    ~C_listing_denied();
    C_listing_denied(const C_listing_denied&) = delete;
    C_listing_denied& operator=(const C_listing_denied&) = delete;

    // Whether this process is refused the listing now; otherwise why not, for a skip.
    bool in_effect(std::string& why_not) const;

private:
    std::wstring folder_;
    void* old_security_ = nullptr;  // the folder's security descriptor before, LocalFree'd
    void* old_acl_ = nullptr;       // its DACL, inside old_security_
};
