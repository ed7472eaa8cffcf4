#include "ui/scheduler.h"

#include <algorithm>

#include "ui/controls.h"
#include "ui/runtime.h"

namespace ui {

std::optional<std::int64_t> Scheduler::next_due() const {
    if (armed_.empty()) return std::nullopt;
    return armed_.front()->due_;
}

std::optional<std::int64_t> Scheduler::next_handled_due() const {
    for (const Timer* timer : armed_) {
        if (timer->on_timer) return timer->due_;
    }
    return std::nullopt;
}

Timer* Scheduler::take_due(std::int64_t now) {
    if (armed_.empty() || armed_.front()->due_ > now) return nullptr;
    Timer* timer = armed_.front();
    armed_.erase(armed_.begin());
    const std::int64_t next = timer->due_ + timer->interval_;
    if (next <= now) {
        timer->countdown_start_ = now;
        timer->due_ = now + timer->interval_;
    } else {
        timer->countdown_start_ = timer->due_;
        timer->due_ = next;
    }
    insert_sorted(*timer);
    return timer;
}

void Scheduler::clear() {
    for (Timer* timer : armed_) timer->scheduled_ = false;
    armed_.clear();
}

void Scheduler::add(Timer& timer) {
    timer.sequence_ = next_sequence_++;
    if (timer.armed()) arm(timer);
}

void Scheduler::remove(Timer& timer) {
    disarm(timer);
}

void Scheduler::arm(Timer& timer) {
    disarm(timer);
    timer.countdown_start_ = runtime_.now();
    timer.due_ = timer.countdown_start_ + timer.interval_;
    insert_sorted(timer);
}

void Scheduler::disarm(Timer& timer) {
    if (!timer.scheduled_) return;
    armed_.erase(std::find(armed_.begin(), armed_.end(), &timer));
    timer.scheduled_ = false;
}

void Scheduler::retime(Timer& timer) {
    const std::int64_t due = timer.countdown_start_ + timer.interval_;
    if (timer.scheduled_ && due == timer.due_) return;
    disarm(timer);
    timer.due_ = due;
    insert_sorted(timer);
}

void Scheduler::insert_sorted(Timer& timer) {
    const auto place = std::find_if(armed_.begin(), armed_.end(), [&](const Timer* other) {
        return timer.due_ != other->due_ ? timer.due_ < other->due_
                                         : timer.sequence_ < other->sequence_;
    });
    armed_.insert(place, &timer);
    timer.scheduled_ = true;
}

}  // namespace ui
