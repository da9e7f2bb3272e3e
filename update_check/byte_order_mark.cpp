#include "update_check/byte_order_mark.h"

byte_order_mark find_byte_order_mark(const std::string& bytes)
{
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return byte_order_mark::utf8;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return byte_order_mark::utf16_le;
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return byte_order_mark::utf16_be;
    return byte_order_mark::none;
}

std::size_t byte_order_mark_size(byte_order_mark mark)
{
    switch (mark) {
    case byte_order_mark::utf8: return 3;
    case byte_order_mark::utf16_le:
    case byte_order_mark::utf16_be: return 2;
    case byte_order_mark::none: break;
    }
    return 0;
}
