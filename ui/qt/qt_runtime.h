// The runtime of the real program: the real clock, one window per loaded form, the message box
// dialog and the system bell. Construct it after the QApplication and run the application's
// event loop; the runtime quits that loop when the program ends.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

#include "ui/runtime.h"

class QSocketNotifier;

namespace ui::qt {

class FormWindow;

class QtRuntime : public Runtime {
  public:
    QtRuntime();
    ~QtRuntime() override;

    // Milliseconds since the runtime was constructed.
    std::int64_t now() const override;
    // Nanoseconds since the runtime was constructed, on the clock of now() (now() is this
    // divided by 10^6, rounded down). For measuring how late ticks come (benchmarks).
    std::int64_t now_ns() const;
    // Queues one repaint pass for the next turn of the event loop; the pass draws every form
    // that changed meanwhile.
    void form_changed(Form& form) override;

    // The window of a loaded form, or nullptr.
    FormWindow* window(const Form& form) const;
    // The timer that wakes the scheduler: single-shot, precise, due at the earliest due time
    // of the forms' timers, stopped while a message box is open. Where the system has timer
    // file descriptors (Linux), one of them is set for the same due time and usually wakes
    // the scheduler first: QTimer counts whole milliseconds from when it is started, so it
    // fires up to a millisecond after a due time; the descriptor fires at it.
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
    void stop_wake();
    // The wake fired: run the timers that are due, then set it for the next.
    void woken();
    void repaint_pass();
    // Hides the window and deletes it later: the close may come from its own close event.
    void dispose(FormWindow* window);

    std::chrono::steady_clock::time_point start_;
    QTimer wake_;
    std::int64_t wake_due_ = 0;  // the due time the wake was last set for
    int wake_fd_ = -1;           // the timer file descriptor, or -1
    QSocketNotifier* wake_notifier_ = nullptr;
    // Receiver of queued calls; they are dropped if the runtime goes first.
    QObject context_;
    std::map<const Form*, FormWindow*> windows_;
    std::vector<Form*> changed_forms_;
};

}  // namespace ui::qt
