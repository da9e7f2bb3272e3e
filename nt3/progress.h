#pragma once
#include "nt3/control.h"

namespace NT3 {

// A progress bar ("msctls_progress32").
class Cc_progress : public C_control {
public:
    void set_range(int low, int high);
    void set_pos(int position);
};

}  // namespace NT3
