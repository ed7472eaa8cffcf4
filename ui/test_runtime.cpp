#include "ui/test_runtime.h"

#include <algorithm>

namespace ui {

TestRuntime::TestRuntime() {
    set_strict(true);
}

void TestRuntime::advance(std::int64_t ms) {
    const std::int64_t target = now_ + std::max<std::int64_t>(ms, 0);
    if (box_open() || depth() > 0) {
        now_ = target;
        return;
    }
    while (!ended()) {
        const auto due = scheduler().next_due();
        // A box opened by a handler may have moved the clock past the target meanwhile.
        if (!due || *due > std::max(target, now_)) break;
        now_ = std::max(now_, *due);
        // A due timer that is refused would never leave the schedule: stop rather than spin.
        if (!fire_next_due()) break;
    }
    now_ = std::max(now_, target);
}

bool TestRuntime::key(std::string_view form_name, int key_code) {
    Form* f = form(form_name);
    return f != nullptr && key_down(*f, key_code);
}

bool TestRuntime::click(std::string_view form_name, std::string_view control) {
    Form* f = form(form_name);
    return f != nullptr && Runtime::click(*f, control);
}

bool TestRuntime::close(std::string_view form_name) {
    Form* f = form(form_name);
    return f != nullptr && Runtime::close(*f);
}

void TestRuntime::queue_random(std::vector<Single> values) {
    queued_.insert(queued_.end(), values.begin(), values.end());
}

void TestRuntime::show_box(const std::string& text, int style, const std::string& title) {
    boxes_.push_back(BoxRecord{now_, text, style, title});
    write_log("box " + quoted(text) + " " + std::to_string(style) + " " + quoted(title));
    if (on_box) on_box(boxes_.back());
}

void TestRuntime::ring_bell() {
    ++beeps_;
    write_log("beep");
}

std::optional<Single> TestRuntime::queued_random() {
    if (queued_.empty()) return std::nullopt;
    const Single value = queued_.front();
    queued_.pop_front();
    return value;
}

void TestRuntime::form_loaded(Form& form) {
    write_log("load " + form.name());
}

void TestRuntime::form_unloading(Form& form) {
    write_log("unload " + form.name());
}

void TestRuntime::program_ended() {
    write_log("end");
}

void TestRuntime::write_log(std::string line) {
    line = "@" + std::to_string(now_) + " " + line;
    if (on_log) on_log(line);
    log_.push_back(std::move(line));
}

}  // namespace ui
