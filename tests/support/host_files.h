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

// The file `name` in `folder` beside one whose name differs only in letter case.
bool write_case_twin(const std::wstring& folder, const std::wstring& name, const std::string& bytes);
