#pragma once
#include <string>

#include "nt3/control.h"

namespace NT3 {

// A static text control.
class Cc_static : public C_control {
public:
    Cc_static();

    // Shows the text with every line feed turned into a carriage return and line feed.
    void set_text(const std::wstring& text);
};

}  // namespace NT3
