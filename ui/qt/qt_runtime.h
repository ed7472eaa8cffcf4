// The runtime of the real program: the real clock, one window per loaded form, the message box
// dialog and the system bell. Construct it after the QApplication and run the application's
// event loop; the runtime quits that loop when the program ends.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <map>
#include <vector>

#include "ui/runtime.h"

namespace ui::qt {

class FormWindow;

class QtRuntime : public Runtime {
  public:
    QtRuntime();
    ~QtRuntime() override;

    // Milliseconds since the runtime was constructed.
    std::int64_t now() const override;
    // Queues one repaint pass for the next turn of the event loop; the pass draws every form
    // that changed meanwhile.
    void form_changed(Form& form) override;

    // The window of a loaded form, or nullptr.
    FormWindow* window(const Form& form) const;
    // The one timer that wakes the scheduler: single-shot, precise, due at the earliest due
    // time of the forms' timers, stopped while a message box is open.
    const QTimer& wake_timer() const { return wake_; }

  protected:
    void show_box(const std::string& text, int style, const std::string& title) override;
    void ring_bell() override;
    // Nanoseconds of the steady clock.
    std::uint64_t clock_reading() const override;
    void form_loaded(Form& form) override;
    void form_shown(Form& form) override;
    void form_unloading(Form& form) override;
    void program_ended() override;
    void settled() override;

  private:
    void arm_wake();
    void repaint_pass();
    // Hides the window and deletes it later: the close may come from its own close event.
    void dispose(FormWindow* window);

    QElapsedTimer clock_;
    QTimer wake_;
    // Receiver of queued calls; they are dropped if the runtime goes first.
    QObject context_;
    std::map<const Form*, FormWindow*> windows_;
    std::vector<Form*> changed_forms_;
};

}  // namespace ui::qt
