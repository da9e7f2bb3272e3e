#pragma once
#include <string>

// Makes `folder` the current directory while it lives, then restores the one that
// was current before, so that code reading relative paths ("update.ini",
// "gamedata") sees them as the updater does from its own folder.
class C_scoped_current_dir {
public:
    explicit C_scoped_current_dir(const std::wstring& folder);
    ~C_scoped_current_dir();
    C_scoped_current_dir(const C_scoped_current_dir&) = delete;
    C_scoped_current_dir& operator=(const C_scoped_current_dir&) = delete;

    // False when `folder` could not be entered; the current directory is then unchanged.
    bool entered() const { return entered_; }

private:
    std::wstring previous_;
    bool entered_ = false;
};
