#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "copy_engine/disk_step.h"

struct C_recorded_step {
    disk_change change = disk_change::write;
    std::wstring path;
    std::wstring from;
    std::uint64_t offset = 0;
    std::string data;
};

// Records every step on disk that the copy announces while the object lives,
// and refuses every step from the `stop_at`-th (from 0) on, as a killed process
// makes no more. One at a time: the seam runs its hook for one step at a time.
class C_disk_steps {
public:
    static constexpr std::size_t NEVER = static_cast<std::size_t>(-1);

    explicit C_disk_steps(std::size_t stop_at = NEVER);
    ~C_disk_steps();
    C_disk_steps(const C_disk_steps&) = delete;
    C_disk_steps& operator=(const C_disk_steps&) = delete;

    // Whether a step was refused.
    bool stopped() const { return stopped_; }
    // The steps made, in order.
    const std::vector<C_recorded_step>& steps() const { return steps_; }

private:
    std::size_t stop_at_;
    bool stopped_ = false;
    std::vector<C_recorded_step> steps_;
    disk_step_hook previous_;
};

// One line for a step, for a test's message.
std::string describe_step(const C_recorded_step& step);
