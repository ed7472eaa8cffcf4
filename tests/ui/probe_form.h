// Test-only forms for the runtime's tests: a form assembled by the test, whose handlers write
// what they do into a journal shared with the test ("tmr_a@150", "key 32", "mnu_a").
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/runtime.h"

namespace test {

using Journal = std::vector<std::string>;

class ProbeForm : public ui::Form {
  public:
    using Build = std::function<void(ProbeForm&)>;

    ProbeForm(ui::Runtime& runtime, std::string name, Journal& journal, const Build& build)
        : ui::Form(runtime, std::move(name), {}), journal_(journal) {
        if (build) build(*this);
    }
    ~ProbeForm() override {
        while (!owned_.empty()) owned_.pop_back();  // controls before the form
    }

    // A timer that notes "NAME@T" each time it fires, then runs `then`.
    ui::Timer& timer(const std::string& name, int interval, bool enabled,
                     std::function<void()> then = {}) {
        auto& t = own(std::make_unique<ui::Timer>(*this, name, interval, enabled));
        t.on_timer = [this, &t, then = std::move(then)] {
            journal_.push_back(t.name() + "@" + std::to_string(runtime().now()));
            if (then) then();
        };
        return t;
    }
    // A menu entry that notes its name when clicked.
    ui::MenuItem& menu(const std::string& name, ui::MenuItem* parent = nullptr,
                       std::string caption = "entry") {
        auto& m = own(std::make_unique<ui::MenuItem>(*this, name, std::move(caption), parent));
        m.on_click = [this, &m] { journal_.push_back(m.name()); };
        return m;
    }
    ui::Button& button(const std::string& name) {
        auto& b = own(std::make_unique<ui::Button>(*this, name, ui::Rect{0, 0, 100, 30}, "OK"));
        b.on_click = [this, &b] { journal_.push_back(b.name()); };
        return b;
    }
    template <typename T, typename... Args>
    T& add(Args&&... args) {
        return own(std::make_unique<T>(*this, std::forward<Args>(args)...));
    }

    void Form_Load() override {
        journal_.push_back("Form_Load " + name());
        if (on_load) on_load();
    }
    void Form_KeyDown(ui::Integer key_code, ui::Integer) override {
        journal_.push_back("key " + std::to_string(key_code));
    }

    std::function<void()> on_load;
    ui::Integer counter = 0;  // a form-level variable

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

// A runtime whose clock the test sets, as a backend reads a real one: timers fire only when the
// test calls run_due_timers(), at whatever time the clock then shows.
class ManualRuntime : public ui::Runtime {
  public:
    std::int64_t clock = 0;
    int forms_changed = 0;
    std::int64_t now() const override { return clock; }
    void form_changed(ui::Form&) override { ++forms_changed; }

  protected:
    void show_box(const std::string&, int, const std::string&) override {}
    void ring_bell() override {}
};

}  // namespace test
