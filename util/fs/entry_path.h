#pragma once
#include <string>

// A #COPY_FILE entry names a file or folder relative to the update's source
// folder, and the same relative place below the installation. The platform
// takes both the backslash and the forward slash as separators.

// The entry with each forward slash turned into a backslash, the only separator
// the path helpers know.
std::wstring entry_to_relative_path(const std::wstring& entry);

// True when the entry could address something outside the folder it is joined
// to: it is absolute or rooted (a leading separator, "\\server" included), it
// has a colon anywhere (a drive, or an alternate data stream), or one of its
// components is "..". Two dots followed by more dots or spaces count as ".."
// too, since the platform may trim those away.
bool entry_is_unsafe(const std::wstring& entry);

// True when a component of `rel` ends in a dot or a space: the platform trims
// those from a name it is given, so Windows cannot hold such a file under its
// own name (a release made on another system may have one).
bool path_has_trimmed_name(const std::wstring& rel);

// The first component of `rel` that Windows takes for a device rather than a
// file: CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 (the superscript
// digits too), CONIN$ and CONOUT$, in any letter case and with any extension
// ("aux.dat"), blanks before the dot included. Empty when there is none.
std::wstring path_device_name(const std::wstring& rel);
