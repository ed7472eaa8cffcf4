// The timers' schedule. A timer is armed while enabled with an interval above 0; its
// countdown starts when it becomes armed and again each time it fires. Ticks follow an
// absolute schedule (last due time plus the interval); a timer that falls more than one
// interval behind fires once and takes up its schedule from the present. Timers due at the
// same time fire in the order they were created. Times are milliseconds of the runtime's clock.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace ui {

class Runtime;
class Timer;

class Scheduler {
  public:
    explicit Scheduler(Runtime& runtime) : runtime_(runtime) {}

    // The earliest due time of all armed timers.
    std::optional<std::int64_t> next_due() const;
    // The earliest due time of the armed timers that have a handler. A timer without one has
    // no effect when it fires, so a backend's clock need not wake for it; it fires, to no
    // effect, when a wake for another timer finds it due.
    std::optional<std::int64_t> next_handled_due() const;
    // The armed timer that fires next if it is due at or before `now`, else nullptr. The
    // timer's schedule is advanced as if it had fired; the caller then runs its handler.
    Timer* take_due(std::int64_t now);
    // Disarms every timer (the program ended).
    void clear();
    std::size_t armed_count() const { return armed_.size(); }

  private:
    friend class Timer;
    friend class Runtime;
    void add(Timer& timer);
    void remove(Timer& timer);
    void arm(Timer& timer);
    void disarm(Timer& timer);
    // An armed timer got a new interval: its countdown goes on from where it started.
    void retime(Timer& timer);

    Runtime& runtime_;
    std::uint64_t next_sequence_ = 0;
    // Armed timers, kept sorted by (due time, creation order).
    std::vector<Timer*> armed_;
    void insert_sorted(Timer& timer);
};

}  // namespace ui
