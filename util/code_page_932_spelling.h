#pragma once
#include <string>

// The bytes that spell `text` in code page 932, the code page update scripts
// are read in. False when a character has no spelling there: a near substitute
// (the best-fit "e" for "é", "\" for "¥") counts as none, since the updater would
// read back another name.
bool spell_in_code_page_932(const std::wstring& text, std::string& bytes);
