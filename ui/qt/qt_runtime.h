// The runtime of the real program: the real clock, one window per loaded form, the message box
// dialog and the system bell. Call prepare_platform() before constructing the QApplication,
// construct the runtime after it and run the application's event loop; the runtime quits that
// loop when the program ends.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "ui/runtime.h"

class QAbstractNativeEventFilter;
class QSocketNotifier;

namespace ui::qt {

class FormWindow;

class QtRuntime : public Runtime {
  public:
    // Settings of the window system that must be made before the QApplication exists. The
    // program repaints a few small rectangles per tick: sent over the X connection they cost
    // less than through shared memory, where every paint that overlaps the last one first waits
    // for a round trip to the server (two more wake-ups per paint).
    static void prepare_platform();

    QtRuntime();
    ~QtRuntime() override;

    // Milliseconds since the runtime was constructed.
    std::int64_t now() const override;
    // Nanoseconds since the runtime was constructed, on the clock of now() (now() is this
    // divided by 10^6, rounded down). For measuring how late ticks come (benchmarks).
    std::int64_t now_ns() const;
    // Remembers a changed form. The changes are drawn when the event that made them has been
    // handled: after a key or a click, or once every timer due at a wake-up has fired (one
    // paint per window for all of them); otherwise on the next turn of the event loop.
    void form_changed(Form& form) override;

    // The window of a loaded form, or nullptr.
    FormWindow* window(const Form& form) const;
    // The due time the clock's one wake-up is set for: the earliest due time of the timers
    // that have a handler; nullopt when none is armed, while a message box is open, and once
    // the program ended. The wake-up is a timer file descriptor where the system has them
    // (Linux): it fires at the due time itself, and all timers due by then fire in that one
    // wake-up. Elsewhere a precise QTimer, which counts whole milliseconds from when it is
    // started, fires up to a millisecond after it.
    std::optional<std::int64_t> wake_due() const { return wake_due_; }
    // Another program destroyed the native window `id` (on X11 the runtime watches for this
    // itself): a form's window unloads its form; the open message box's counts as answered.
    void native_window_destroyed(unsigned long id);

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
    // Draws every form changed since the last pass (a backend that shows its own message box
    // calls it first, so that the windows show what led to the box).
    void repaint_pass();

  private:
    void arm_wake();
    void stop_wake();
    // The wake-up came: run every timer that is due, draw what they changed, set the next.
    void woken();
    // Hides the window and deletes it later: the close may come from its own close event.
    void dispose(FormWindow* window);

    std::chrono::steady_clock::time_point start_;
    std::optional<std::int64_t> wake_due_;
    bool waking_ = false;       // inside woken(): its end draws and re-arms
    bool pass_queued_ = false;  // a repaint pass waits for the event loop
    int wake_fd_ = -1;          // the timer file descriptor, or -1
    QSocketNotifier* wake_notifier_ = nullptr;
    QTimer wake_timer_;  // where there is no timer file descriptor
    // Receiver of queued calls; they are dropped if the runtime goes first.
    QObject context_;
    std::map<const Form*, FormWindow*> windows_;
    // Tells native_window_destroyed() of destroyed windows; nullptr where none can be watched.
    std::unique_ptr<QAbstractNativeEventFilter> destroy_watch_;
    std::vector<Form*> changed_forms_;
};

}  // namespace ui::qt
