#pragma once
#include <string>

// The updater opens HKEY_LOCAL_MACHINE\Software\ followed by #REG_PATH. A value
// copied from the registry editor, or one that names the root key, "Software"
// or the 32-bit view itself, therefore names a key no installer made, and
// every player is told the game is not installed.

// What is wrong with the value's form, with the key the updater opens and the
// value it should be where one is left; empty when the form is fine.
std::wstring reg_path_problem(const std::wstring& reg_path);
