#pragma once
#include <string>

// While an update runs, the installation folder holds one folder of the
// update's own, the work folder: the journal of its steps, the new files and
// folders it makes before they take their places, and the files they replace
// or remove, kept until the update is complete or rolled back. Nothing an
// update ships may land there.
extern const wchar_t* const UPDATE_WORK_FOLDER;

// Whether `rel`, a path relative to the installation folder (either separator),
// is the work folder or lies below it, as the file system compares names: letter
// case ignored, and trailing dots and spaces dropped as the platform trims them.
bool lands_in_work_folder(const std::wstring& rel);
