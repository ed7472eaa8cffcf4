// The runtime for tests: a virtual clock that starts at 0 and fires due timers in order as a
// test advances it, message boxes recorded with their time and closed at once (unless a test
// acts while one is open), beeps counted, queued random values, and a log of what happened.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/runtime.h"

namespace ui {

struct BoxRecord {
    std::int64_t time = 0;
    std::string text;
    int style = 0;
    std::string title;
};

class TestRuntime : public Runtime {
  public:
    TestRuntime();

    std::int64_t now() const override { return now_; }
    // Advances the virtual clock by ms, firing every timer that falls due on the way at its due
    // time. Called while a box is open it only moves the clock: the timers that fell due fire
    // once the box has closed.
    void advance(std::int64_t ms);

    // Entry points by form name; false when refused (see Runtime).
    bool key(std::string_view form, int key_code);
    bool click(std::string_view form, std::string_view control);
    bool close(std::string_view form);
    using Runtime::click;
    using Runtime::close;

    // Values random_next() returns first, in order.
    void queue_random(std::vector<Single> values);
    std::size_t queued_random_count() const { return queued_.size(); }

    // Runs while each box is open, before it closes.
    std::function<void(const BoxRecord&)> on_box;

    const std::vector<BoxRecord>& boxes() const { return boxes_; }
    int beeps() const { return beeps_; }
    // One line per event: "@T box ...", "@T beep", "@T load FORM", "@T unload FORM", "@T end".
    const std::vector<std::string>& log() const { return log_; }
    // Receives each log line as it happens.
    std::function<void(const std::string&)> on_log;

    // A control of a loaded form, or nullptr.
    template <typename T>
    T* find(std::string_view form_name, std::string_view control) const {
        Form* f = form(form_name);
        return f ? dynamic_cast<T*>(f->find_control(control)) : nullptr;
    }

  protected:
    void show_box(const std::string& text, int style, const std::string& title) override;
    void ring_bell() override;
    std::optional<Single> queued_random() override;
    void form_loaded(Form& form) override;
    void form_unloading(Form& form) override;
    void program_ended() override;

  private:
    void write_log(std::string line);

    std::int64_t now_ = 0;
    std::deque<Single> queued_;
    std::vector<BoxRecord> boxes_;
    int beeps_ = 0;
    std::vector<std::string> log_;
};

}  // namespace ui
