// The form runtime: which forms exist, the entry points through which keys, clicks, window
// closes and the clock reach the forms, and the platform services the game code calls
// (message boxes, the beep, random numbers). A backend derives from it: the Qt backend shows
// real windows on the real clock, TestRuntime runs on a virtual clock with no window.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form.h"
#include "ui/scheduler.h"
#include "ui/types.h"

namespace ui {

// Thrown by a strict runtime when code shows a form that nobody registered.
class UnknownForm : public std::invalid_argument {
  public:
    explicit UnknownForm(const std::string& name)
        : std::invalid_argument("no form is named " + name), name_(name) {}
    const std::string& name() const { return name_; }

  private:
    std::string name_;
};

// Message box styles.
inline constexpr int kBoxOk = 0;
inline constexpr int kBoxRightAligned = 0x80000;

class Runtime {
  public:
    using Factory = std::function<std::unique_ptr<Form>(Runtime&)>;

    Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;
    virtual ~Runtime();

    // --- Forms -------------------------------------------------------------------------
    void register_form(std::string name, Factory factory);
    // Registers a form class under the name it gives itself (its kName).
    template <typename F>
    void register_form() {
        register_form(F::kName, [](Runtime& rt) { return std::make_unique<F>(rt); });
    }
    // Registers a form class under another name; the class takes its name when it is built.
    // Each name is a form of its own, loaded and unloaded on its own.
    template <typename F>
    void register_form(const std::string& name) {
        register_form(name, [name](Runtime& rt) { return std::make_unique<F>(rt, name); });
    }
    bool knows_form(std::string_view name) const;
    // The names of the registered forms, sorted.
    std::vector<std::string> registered_forms() const;
    // Loads the form if it is not loaded (running its Form_Load), shows it and brings it to
    // the front. Returns nullptr once the program ended. Showing a form nobody registered is
    // a fault: a strict runtime throws UnknownForm, any other notes it and shows nothing.
    Form* show(std::string_view name);
    // The loaded form of that name, or nullptr.
    Form* form(std::string_view name) const;
    // Loaded forms in the order they were loaded.
    std::vector<Form*> forms() const;
    // Unloads the form: its timers stop now, and it is destroyed once the running handler has
    // returned. The next show loads it afresh. The program ends once the running handler has
    // returned and no form is left loaded.
    void unload(Form& form);
    // Ends the program at once: no handler runs afterwards.
    void end();
    bool ended() const { return ended_; }

    // --- Services for the game code ------------------------------------------------------
    // Modal for the whole program; returns when the box is closed. No timer fires meanwhile.
    void msg_box(std::string_view text, int style, std::string_view title);
    void beep();
    // Mixes a reading of the clock into the generator's state.
    void randomize();
    // A value in [0, 1) made from 24 random bits.
    Single random_next();

    // --- Clock and entry points for backends and tests ------------------------------------
    // Milliseconds of this runtime's clock.
    virtual std::int64_t now() const = 0;
    Scheduler& scheduler() { return scheduler_; }
    // Each returns false when the event was refused: the program ended, a box is open, the
    // form is not loaded, or (click) no enabled menu entry or button of that name exists.
    bool key_down(Form& form, int key_code, int shift = 0);
    bool click(Form& form, std::string_view control_name);
    // The window's close box: unloads the form and runs none of its handlers. The program
    // ends when no form is left.
    bool close(Form& form);
    // The form's window was destroyed by another program (a window manager, a tool): the form
    // is unloaded as by its close box, also while a message box is open, since its window is
    // gone either way. The program ends when no form is left. False when the program ended or
    // the form was not loaded.
    bool window_destroyed(Form& form);
    // Fires the timer due first if it is due at or before now(); false when none fired.
    bool fire_next_due();
    // Fires every timer due now, in order.
    void run_due_timers();
    bool box_open() const { return box_open_; }
    // The form whose handler runs now (the innermost one while a handler shows another form),
    // or nullptr between events: a message box belongs to it.
    Form* running_form() const { return running_form_; }
    // While a timer's handler runs: the due time it fired for, in milliseconds of now(), so
    // that a backend's lateness can be measured (benchmarks); nullopt outside timer handlers.
    std::optional<std::int64_t> firing_due() const { return firing_due_; }
    // A strict runtime throws on a value a control refuses (tests and debug builds).
    bool strict() const { return strict_; }
    void set_strict(bool strict) { strict_ = strict; }
    // Breaches of the runtime's own rules seen so far (for the fuzz harness); empty when sound.
    const std::vector<std::string>& faults() const { return faults_; }

    // Called by Form when the first of its controls changes since the backend took them.
    virtual void form_changed(Form& form) { (void)form; }

  protected:
    // Shows the modal box; returns when the user closed it.
    virtual void show_box(const std::string& text, int style, const std::string& title) = 0;
    virtual void ring_bell() = 0;
    // A reading of the clock for randomize().
    virtual std::uint64_t clock_reading() const { return static_cast<std::uint64_t>(now()); }
    // A queued value that random_next() returns before drawing (tests); none by default.
    virtual std::optional<Single> queued_random() { return std::nullopt; }

    // Notifications for the backend.
    virtual void form_loaded(Form& form) { (void)form; }
    virtual void form_shown(Form& form) { (void)form; }
    virtual void form_unloading(Form& form) { (void)form; }
    virtual void program_ended() {}
    // After every event handled at the top level: due timers may have changed.
    virtual void settled() {}

    // Runs fn, a handler of `form`, as one event: a destroyed or ended program runs nothing;
    // forms unloaded by the handler are destroyed once it returns.
    void dispatch(Form& form, const std::function<void()>& fn);
    bool is_loaded(const Form& form) const;
    int depth() const { return depth_; }

  private:
    void destroy_unloaded();
    // Destroys the unloaded forms; ends the program when none is left loaded.
    void settle_unloads();
    void note_fault(std::string what) { faults_.push_back(std::move(what)); }

    Scheduler scheduler_;
    std::map<std::string, Factory, std::less<>> factories_;
    std::vector<std::unique_ptr<Form>> loaded_;
    std::vector<std::unique_ptr<Form>> unloaded_;  // destroyed when the handler returns
    bool ended_ = false;
    bool box_open_ = false;
    bool strict_ = false;
    int depth_ = 0;
    Form* running_form_ = nullptr;
    std::optional<std::int64_t> firing_due_;
    std::uint64_t random_state_ = 0x853C49E6748FEA9BULL;
    std::vector<std::string> faults_;
};

}  // namespace ui
