#pragma once
#include <string>

// Makes `folder` the current directory while it lives, then restores the one
// that was current before, so that code reading relative paths ("update.ini",
// "gamedata") sees them as the updater does from its own folder. A folder that
// cannot be entered ends the test instead of letting it run in the wrong place.
class C_current_dir {
public:
    explicit C_current_dir(const std::wstring& folder);
    ~C_current_dir();
    C_current_dir(const C_current_dir&) = delete;
    C_current_dir& operator=(const C_current_dir&) = delete;

private:
    std::wstring previous_;
};
