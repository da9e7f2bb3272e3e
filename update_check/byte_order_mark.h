#pragma once
#include <cstddef>
#include <string>

// The byte-order marks an editor may put before a text saved in Unicode.
enum class byte_order_mark { none, utf8, utf16_le, utf16_be };

byte_order_mark find_byte_order_mark(const std::string& bytes);
std::size_t byte_order_mark_size(byte_order_mark mark);
