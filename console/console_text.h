#pragma once
#include <string>

enum class std_stream { output, error };

// Writes text to the process's standard output or error: as Unicode text when
// the stream is a console, as UTF-8 bytes when it is redirected to a file or
// a pipe. Answers whether everything was written.
bool write_text(std_stream stream, const std::wstring& text);
