#include "ui/runtime.h"

#include <algorithm>

namespace ui {

namespace {
std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// The top 24 bits as a value in [0, 1).
Single from_bits(std::uint64_t bits) {
    return static_cast<Single>(bits >> 40) / static_cast<Single>(1 << 24);
}
}  // namespace

Runtime::Runtime() : scheduler_(*this) {}

Runtime::~Runtime() {
    // Forms (and their timers) go before the scheduler.
    unloaded_.clear();
    loaded_.clear();
}

void Runtime::register_form(std::string name, Factory factory) {
    factories_[std::move(name)] = std::move(factory);
}

bool Runtime::knows_form(std::string_view name) const {
    return factories_.find(name) != factories_.end();
}

std::vector<std::string> Runtime::registered_forms() const {
    std::vector<std::string> names;
    for (const auto& [name, factory] : factories_) names.push_back(name);
    return names;
}

Form* Runtime::show(std::string_view name) {
    if (ended_) return nullptr;
    Form* form = this->form(name);
    if (form == nullptr) {
        const auto factory = factories_.find(name);
        if (factory == factories_.end()) {
            if (strict_) throw UnknownForm(std::string(name));
            note_fault("show of the unknown form " + std::string(name));
            return nullptr;
        }
        loaded_.push_back(factory->second(*this));
        form = loaded_.back().get();
        form_loaded(*form);
        dispatch(*form, [form] { form->Form_Load(); });
        // Form_Load may have unloaded the form or ended the program.
        if (ended_ || !is_loaded(*form)) return nullptr;
    }
    form_shown(*form);
    return form;
}

Form* Runtime::form(std::string_view name) const {
    for (const auto& form : loaded_) {
        if (form->name() == name) return form.get();
    }
    return nullptr;
}

std::vector<Form*> Runtime::forms() const {
    std::vector<Form*> result;
    result.reserve(loaded_.size());
    for (const auto& form : loaded_) result.push_back(form.get());
    return result;
}

bool Runtime::is_loaded(const Form& form) const {
    return std::any_of(loaded_.begin(), loaded_.end(),
                       [&](const auto& loaded) { return loaded.get() == &form; });
}

void Runtime::unload(Form& form) {
    const auto it = std::find_if(loaded_.begin(), loaded_.end(),
                                 [&](const auto& loaded) { return loaded.get() == &form; });
    if (it == loaded_.end()) return;
    form.unloaded_ = true;
    for (Control* control : form.controls()) {
        if (control->kind() == ControlKind::timer) scheduler_.disarm(*static_cast<Timer*>(control));
    }
    unloaded_.push_back(std::move(*it));
    loaded_.erase(it);
    if (depth_ == 0) settle_unloads();
}

void Runtime::settle_unloads() {
    destroy_unloaded();
    if (loaded_.empty()) end();
}

void Runtime::destroy_unloaded() {
    while (!unloaded_.empty()) {
        std::unique_ptr<Form> form = std::move(unloaded_.front());
        unloaded_.erase(unloaded_.begin());
        form_unloading(*form);
        form.reset();
    }
}

void Runtime::end() {
    if (ended_) return;
    ended_ = true;
    scheduler_.clear();
    program_ended();
}

void Runtime::msg_box(std::string_view text, int style, std::string_view title) {
    if (ended_) return;
    if (box_open_) {
        note_fault("message box opened while another was open");
        return;
    }
    box_open_ = true;
    show_box(std::string(text), style, std::string(title));
    box_open_ = false;
}

void Runtime::beep() {
    if (!ended_) ring_bell();
}

void Runtime::randomize() {
    // Mixed in, never replacing the state: draws made in the same clock tick still differ.
    random_state_ ^= clock_reading() * 0xD1342543DE82EF95ULL;
    splitmix64(random_state_);
}

Single Runtime::random_next() {
    if (auto queued = queued_random()) return *queued;
    return from_bits(splitmix64(random_state_));
}

void Runtime::dispatch(Form& form, const std::function<void()>& fn) {
    if (ended_) return;
    struct Running {
        int& depth;
        Form*& slot;
        Form* outer;
        Running(int& d, Form*& s, Form& form) : depth(d), slot(s), outer(s) {
            ++depth;
            slot = &form;
        }
        ~Running() {
            --depth;
            slot = outer;
        }
    };
    {
        Running guard(depth_, running_form_, form);
        fn();
    }
    if (depth_ == 0) {
        settle_unloads();
        settled();
    }
}

bool Runtime::key_down(Form& form, int key_code, int shift) {
    if (ended_ || box_open_ || !is_loaded(form)) return false;
    dispatch(form, [&form, key_code, shift] {
        form.Form_KeyDown(static_cast<Integer>(key_code), static_cast<Integer>(shift));
    });
    return true;
}

bool Runtime::click(Form& form, std::string_view control_name) {
    if (ended_ || box_open_ || !is_loaded(form)) return false;
    Control* control = form.find_control(control_name);
    if (control == nullptr) return false;
    if (control->kind() == ControlKind::menu) {
        auto* item = static_cast<MenuItem*>(control);
        for (const MenuItem* m = item; m != nullptr; m = m->parent()) {
            if (!m->enabled()) return false;
        }
        if (item->is_separator()) return false;
        if (item->on_click) dispatch(form, item->on_click);
        return true;
    }
    if (control->kind() == ControlKind::button) {
        auto* button = static_cast<Button*>(control);
        if (!button->visible()) return false;
        if (button->on_click) dispatch(form, button->on_click);
        return true;
    }
    return false;
}

bool Runtime::close(Form& form) {
    return !box_open_ && window_destroyed(form);
}

bool Runtime::window_destroyed(Form& form) {
    if (ended_ || !is_loaded(form)) return false;
    dispatch(form, [this, &form] { unload(form); });
    return true;
}

bool Runtime::fire_next_due() {
    if (ended_ || box_open_ || depth_ > 0) return false;
    // The first armed timer is the one taken, if it is due.
    const std::optional<std::int64_t> due = scheduler_.next_due();
    Timer* timer = scheduler_.take_due(now());
    if (timer == nullptr) return false;
    if (!is_loaded(timer->form())) {
        note_fault("timer " + timer->name() + " of an unloaded form was due");
        return true;
    }
    struct Firing {
        std::optional<std::int64_t>& slot;
        Firing(std::optional<std::int64_t>& s, std::optional<std::int64_t> due) : slot(s) {
            slot = due;
        }
        ~Firing() { slot.reset(); }
    };
    if (timer->on_timer) {
        Firing firing(firing_due_, due);
        dispatch(timer->form(), timer->on_timer);
    }
    return true;
}

void Runtime::run_due_timers() {
    while (fire_next_due()) {
    }
}

}  // namespace ui
