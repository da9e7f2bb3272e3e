#include "copy_engine/disk_step.h"

#include <mutex>
#include <utility>

namespace {

std::mutex hook_mutex;
disk_step_hook current_hook;

}  // namespace

bool disk_step_allowed(const C_disk_step& step)
{
    const std::lock_guard<std::mutex> lock(hook_mutex);
    return !current_hook || current_hook(step);
}

disk_step_hook set_disk_step_hook(disk_step_hook hook)
{
    const std::lock_guard<std::mutex> lock(hook_mutex);
    std::swap(current_hook, hook);
    return hook;
}
