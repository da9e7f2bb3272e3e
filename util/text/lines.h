#pragma once
#include <string>
#include <vector>

// Appends the pieces of `text` between line feeds to `lines`, empty ones included;
// the line feeds are dropped and every other character (CR too) stays.
void split_lines(const std::wstring& text, std::vector<std::wstring>& lines);
