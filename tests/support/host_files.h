#pragma once
#include <string>

// Folder states that Windows' own calls cannot make under Wine run as root,
// made for real on the host side.

// Renames `from` to the bare name `to_name` in the same folder with the host's
// own mv, which compares names exactly: on a Linux folder two names that differ
// only in letter case can stand side by side, as on a case-sensitive folder of
// Windows. False when this is not Wine or the rename failed.
bool rename_on_host(const std::wstring& from, const std::wstring& to_name);

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
