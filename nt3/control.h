#pragma once
#include <string>

#include "nt3/window_base.h"

namespace NT3 {

// A dialog item wrapped in an object and subclassed with the framework's procedure.
class C_control : public C_window_base {
public:
    C_control();
    ~C_control();

    // The platform window class of the control kind; kept for reference only.
    std::wstring class_name;
};

}  // namespace NT3
