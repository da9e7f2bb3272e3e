#pragma once
#include <string>

#include "file/error_info.h"

// An error record told as the system tells it, for a message that names the
// reason ("Permission denied", "The system cannot find the path specified"):
// the runtime's text for an errno, the system's own for a Windows code.
std::wstring error_reason(const C_error_info& info);

// The reason for the calling thread's most recent failure, from its error record.
std::wstring last_error_reason();

// The system's text for a Windows error code, without its closing line break.
std::wstring system_error_text(unsigned long code);
