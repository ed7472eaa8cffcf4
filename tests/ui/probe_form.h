// Test-only forms for the runtime's tests: a form assembled by the test, whose handlers write
// what they do into a journal shared with the test ("tmr_a@150", "load frm_a", ...).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/form.h"
#include "ui/runtime.h"

namespace test {

struct Journal {
    std::vector<std::string> entries;
    void note(std::string entry) { entries.push_back(std::move(entry)); }
};

class ProbeForm : public ui::Form {
  public:
    using Build = std::function<void(ProbeForm&)>;

    ProbeForm(ui::Runtime& runtime, std::string name, Journal& journal, const Build& build)
        : ui::Form(runtime, std::move(name), {}), journal_(journal) {
        if (build) build(*this);
    }
    ~ProbeForm() override {
        // Controls go in reverse order of creation, before the form itself.
        while (!owned_.empty()) owned_.pop_back();
    }

    Journal& journal() const { return journal_; }
    std::int64_t now() const { return runtime().now(); }

    // A timer that notes "NAME@T" each time it fires, then runs `then`.
    ui::Timer& timer(const std::string& name, int interval, bool enabled,
                     std::function<void()> then = {}) {
        auto& t = own(std::make_unique<ui::Timer>(*this, name, interval, enabled));
        t.on_timer = [this, &t, then = std::move(then)] {
            journal_.note(t.name() + "@" + std::to_string(now()));
            if (then) then();
        };
        return t;
    }

    // A menu entry that notes "NAME" when clicked.
    ui::MenuItem& menu(const std::string& name, ui::MenuItem* parent = nullptr, bool enabled = true,
                       std::string caption = "entry") {
        auto& m = own(std::make_unique<ui::MenuItem>(*this, name, std::move(caption), parent, false,
                                                     enabled));
        m.on_click = [this, &m] { journal_.note(m.name()); };
        return m;
    }

    ui::Button& button(const std::string& name) {
        auto& b = own(std::make_unique<ui::Button>(*this, name, ui::Rect{0, 0, 100, 30}, "OK"));
        b.on_click = [this, &b] { journal_.note(b.name()); };
        return b;
    }

    ui::Label& label(const std::string& name, std::string caption, ui::Rect rect = {}) {
        return own(std::make_unique<ui::Label>(*this, name, rect, std::move(caption)));
    }

    ui::Shape& shape(const std::string& name, ui::Rect rect) {
        return own(std::make_unique<ui::Shape>(*this, name, rect, ui::ShapeStyle{}));
    }

    ui::Image& image(const std::string& name, ui::Rect rect, ui::Picture picture,
                     bool visible = true) {
        return own(std::make_unique<ui::Image>(*this, name, rect, picture, visible));
    }

    void Form_Load() override {
        journal_.note("Form_Load " + name());
        if (on_load) on_load();
    }
    void Form_KeyDown(ui::Integer key_code, ui::Integer shift) override {
        (void)shift;
        journal_.note("key " + std::to_string(key_code));
        if (on_key) on_key(key_code);
    }

    std::function<void()> on_load;
    std::function<void(int)> on_key;
    // A form-level variable for the tests to change and declare.
    ui::Integer counter = 0;

  private:
    template <typename T>
    T& own(std::unique_ptr<T> control) {
        T& ref = *control;
        owned_.push_back(std::move(control));
        return ref;
    }

    Journal& journal_;
    std::vector<std::unique_ptr<ui::Control>> owned_;
};

// Registers a probe form under `name`; each load builds a fresh one with `build`.
inline void register_probe(ui::Runtime& runtime, const std::string& name, Journal& journal,
                           ProbeForm::Build build = {}) {
    runtime.register_form(name, [name, &journal, build = std::move(build)](ui::Runtime& rt) {
        return std::make_unique<ProbeForm>(rt, name, journal, build);
    });
}

inline ProbeForm& probe(ui::Runtime& runtime, const std::string& name) {
    return static_cast<ProbeForm&>(*runtime.form(name));
}

// A runtime whose clock the test sets, the way a backend reads a real clock: timers fire only
// when the test calls run_due_timers(), at whatever time the clock then shows.
class ManualRuntime : public ui::Runtime {
  public:
    std::int64_t clock = 0;
    int forms_changed = 0;

    std::int64_t now() const override { return clock; }
    void form_changed(ui::Form& form) override {
        (void)form;
        ++forms_changed;
    }

  protected:
    void show_box(const std::string& text, int style, const std::string& title) override {
        (void)text;
        (void)style;
        (void)title;
    }
    void ring_bell() override {}
};

}  // namespace test
