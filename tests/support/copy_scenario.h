#pragma once
#include <string>
#include <vector>

#include "copy_engine/copy_transaction.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"

// An installation of a few files (one hidden and system, one read-only that
// the update leaves alone) and an update that replaces some (one named in
// another letter case than it is stored), makes others in new folders, copies
// two files twice and removes three, emptying two folders: what the tests of
// the copy engine stop, cut short and undo at every step.
class C_copy_scenario {
public:
    C_copy_scenario();

    std::wstring dest() const { return temp_ / L"game"; }
    std::wstring source() const { return temp_ / L"gamedata"; }
    const C_temp_dir& temp() const { return temp_; }

    // Lays the installation out afresh as it was before the update.
    void install_old_files() const;
    // The copy of the whole update into it.
    C_copy_outcome apply() const;

    struct C_state {
        C_tree files;
        C_tree details;  // attributes and times
    };
    C_state state() const;

    std::vector<C_copy_item> files;
    std::vector<std::wstring> removed;
    C_state before;
    C_state after;  // the installation once updated

private:
    C_temp_dir temp_;
};
