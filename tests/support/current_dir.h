#pragma once
#include <string>

#include "util/fs/current_dir.h"

// The product's scoped current directory, for tests: a folder that cannot be
// entered ends the test instead of letting it run in the wrong place.
class C_current_dir {
public:
    explicit C_current_dir(const std::wstring& folder);

private:
    C_scoped_current_dir scope_;
};
