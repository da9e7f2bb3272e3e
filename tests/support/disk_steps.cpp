#include "support/disk_steps.h"

#include "support/utf8_text.h"

C_disk_steps::C_disk_steps(std::size_t stop_at) : stop_at_(stop_at)
{
    previous_ = set_disk_step_hook([this](const C_disk_step& step) {
        if (steps_.size() >= stop_at_) {
            stopped_ = true;
            return false;
        }
        C_recorded_step recorded;
        recorded.change = step.change;
        recorded.path = step.path;
        if (step.from) recorded.from = *step.from;
        recorded.offset = step.offset;
        if (step.data) recorded.data.assign(static_cast<const char*>(step.data), step.size);
        steps_.push_back(std::move(recorded));
        return true;
    });
}

C_disk_steps::~C_disk_steps()
{
    set_disk_step_hook(previous_);
}

std::string describe_step(const C_recorded_step& step)
{
    static const char* const names[] = {"make folder",   "make file",   "make link", "rename", "remove file",
                                        "remove folder", "set details", "write",     "sync"};
    std::string text = names[static_cast<int>(step.change)];
    text += " " + to_utf8(step.path);
    if (!step.from.empty()) text += " from " + to_utf8(step.from);
    if (step.change == disk_change::write) {
        text += " (" + std::to_string(step.data.size()) + " bytes at " + std::to_string(step.offset) + ")";
    }
    return text;
}
