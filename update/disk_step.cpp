#include "update/disk_step.h"

namespace {

disk_step_hook current_hook = nullptr;

}  // namespace

bool disk_step_allowed()
{
    return !current_hook || current_hook();
}

disk_step_hook set_disk_step_hook(disk_step_hook hook)
{
    const disk_step_hook previous = current_hook;
    current_hook = hook;
    return previous;
}
