#pragma once
#include <string>
#include <vector>

#include "update_check/check_findings.h"

// The script as bytes, where the decoded text hides what went wrong: a
// byte-order mark, bytes that code page 932 does not define (one finding per
// line), and the byte where reading stops early (Ctrl-Z in text mode, a zero
// byte for the decoder) with more after it.
std::vector<C_check_finding> review_script_bytes(const std::string& bytes);
