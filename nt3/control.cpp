#include "nt3/control.h"

#include "nt3/placement_geometry.h"

namespace NT3 {

C_control::C_control()
{
    // Controls keep their place and size, pinned to the top left, unless told otherwise.
    anchor = ANCHOR_TOP_LEFT;
}

C_control::~C_control()
{
    class_name.clear();
}

}  // namespace NT3
