#include "ui/qt/qt_runtime.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>

#if defined(__linux__)
#include <sys/timerfd.h>
#include <unistd.h>
#endif

#if MURANKO_HAVE_XCB
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#endif

#include "ui/qt/form_window.h"
#include "ui/qt/message_box.h"

namespace ui::qt {

namespace {
#if MURANKO_HAVE_XCB
// Passes on the X server's word that a window was destroyed. Qt takes no notice of a top-level
// window destroyed by another client (a tool, a window manager that crashed): without this its
// form would count as open for good, and the program would never end.
class DestroyWatch : public QAbstractNativeEventFilter {
  public:
    explicit DestroyWatch(std::function<void(unsigned long)> destroyed)
        : destroyed_(std::move(destroyed)) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override {
        (void)result;
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY) {
            destroyed_(static_cast<const xcb_destroy_notify_event_t*>(message)->window);
        }
        return false;
    }

  private:
    std::function<void(unsigned long)> destroyed_;
};
#endif
}  // namespace

void QtRuntime::prepare_platform() {
    // A setting the user made stays.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

QtRuntime::QtRuntime() {
#ifndef NDEBUG
    set_strict(true);
#endif
    start_ = std::chrono::steady_clock::now();
#if MURANKO_HAVE_XCB
    // Queued: the form is unloaded from the event loop, not from inside Qt's event dispatch.
    destroy_watch_ = std::make_unique<DestroyWatch>([this](unsigned long id) {
        QMetaObject::invokeMethod(
            &context_, [this, id] { native_window_destroyed(id); }, Qt::QueuedConnection);
    });
    QCoreApplication::instance()->installNativeEventFilter(destroy_watch_.get());
#endif
#if defined(__linux__)
    // On the steady clock's own clock, so that a due time converts exactly.
    wake_fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (wake_fd_ >= 0) {
        wake_notifier_ = new QSocketNotifier(wake_fd_, QSocketNotifier::Read, &context_);
        QObject::connect(wake_notifier_, &QSocketNotifier::activated, &context_, [this] {
            // Clears the readiness; how often it expired does not matter.
            std::uint64_t expirations = 0;
            [[maybe_unused]] const auto n = read(wake_fd_, &expirations, sizeof expirations);
            woken();
        });
        return;
    }
#endif
    wake_timer_.setSingleShot(true);
    wake_timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake_timer_, &QTimer::timeout, &context_, [this] { woken(); });
}

QtRuntime::~QtRuntime() {
    if (destroy_watch_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(destroy_watch_.get());
    }
    // The windows go before the forms they show.
    for (auto& [form, window] : windows_) delete window;
    windows_.clear();
#if defined(__linux__)
    if (wake_fd_ >= 0) {
        delete wake_notifier_;
        ::close(wake_fd_);
    }
#endif
}

std::int64_t QtRuntime::now() const {
    return now_ns() / 1'000'000;
}

std::int64_t QtRuntime::now_ns() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                                start_)
        .count();
}

void QtRuntime::woken() {
    // The wake-up is spent; an early one (none is due yet) is simply set again.
    wake_due_.reset();
    waking_ = true;
    run_due_timers();
    waking_ = false;
    repaint_pass();
    arm_wake();
}

std::uint64_t QtRuntime::clock_reading() const {
    const auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count());
}

void QtRuntime::arm_wake() {
    const auto due = scheduler().next_handled_due();
    // No timer fires while a box is open; the close of the box settles and re-arms.
    if (!due || box_open() || ended()) {
        stop_wake();
        return;
    }
    // Asked after every event: a wake already set for that due time stays as it is.
    if (wake_due_ == due) return;
    wake_due_ = due;
#if defined(__linux__)
    if (wake_fd_ >= 0) {
        const auto at = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            (start_ + std::chrono::milliseconds(*due)).time_since_epoch())
                            .count();
        itimerspec wake_at{};
        // A time already past fires at once; only 0 would disarm it.
        wake_at.it_value.tv_sec =
            static_cast<time_t>(std::max<std::int64_t>(at, 1) / 1'000'000'000);
        wake_at.it_value.tv_nsec = static_cast<long>(std::max<std::int64_t>(at, 1) % 1'000'000'000);
        timerfd_settime(wake_fd_, TFD_TIMER_ABSTIME, &wake_at, nullptr);
        return;
    }
#endif
    wake_timer_.start(std::chrono::milliseconds(std::max<std::int64_t>(0, *due - now())));
}

void QtRuntime::stop_wake() {
    if (!wake_due_) return;
    wake_due_.reset();
#if defined(__linux__)
    if (wake_fd_ >= 0) {
        const itimerspec disarmed{};
        timerfd_settime(wake_fd_, 0, &disarmed, nullptr);
        return;
    }
#endif
    wake_timer_.stop();
}

void QtRuntime::settled() {
    // Inside a wake-up, its end draws and re-arms once for all the timers it runs.
    if (waking_) return;
    repaint_pass();
    arm_wake();
}

void QtRuntime::show_box(const std::string& text, int style, const std::string& title) {
    stop_wake();
    repaint_pass();
    // The box belongs to the window of the form whose handler opened it, else to the active one.
    FormWindow* owner = running_form() != nullptr ? window(*running_form()) : nullptr;
    if (owner == nullptr || !owner->isVisible()) {
        owner = qobject_cast<FormWindow*>(QApplication::activeWindow());
    }
    MessageBox box(QString::fromStdString(text), style, QString::fromStdString(title), owner);
    box.exec();
    // Whatever held the keyboard when the box came (the menu bar, say), the forms get it back.
    for (auto& [form, w] : windows_) w->take_keys();
}

void QtRuntime::ring_bell() {
    QApplication::beep();
}

FormWindow* QtRuntime::window(const Form& form) const {
    const auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second;
}

void QtRuntime::form_loaded(Form& form) {
    if (window(form) == nullptr) windows_[&form] = new FormWindow(form);
}

void QtRuntime::form_shown(Form& form) {
    form_loaded(form);
    window(form)->present();
    arm_wake();
}

void QtRuntime::form_unloading(Form& form) {
    std::erase(changed_forms_, &form);
    const auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    dispose(it->second);
    windows_.erase(it);
}

void QtRuntime::dispose(FormWindow* window) {
    window->detach();
    window->hide();
    window->deleteLater();
}

void QtRuntime::native_window_destroyed(unsigned long id) {
    // Else the box would wait for an answer that can never come, and hold every window.
    auto* box = qobject_cast<MessageBox*>(QApplication::activeModalWidget());
    if (box != nullptr && box->internalWinId() == id) box->reject();
    // Our own windows are destroyed only after their form is gone.
    for (Form* form : forms()) {
        const FormWindow* w = window(*form);
        if (w != nullptr && w->internalWinId() == id) {
            window_destroyed(*form);
            return;
        }
    }
}

void QtRuntime::program_ended() {
    stop_wake();
    changed_forms_.clear();
    for (auto& [form, window] : windows_) dispose(window);
    windows_.clear();
    // Queued, so that the running handler returns first, and so that an end before the event
    // loop started still quits it.
    QMetaObject::invokeMethod(
        &context_, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

void QtRuntime::form_changed(Form& form) {
    if (std::find(changed_forms_.begin(), changed_forms_.end(), &form) != changed_forms_.end()) {
        return;
    }
    changed_forms_.push_back(&form);
    // Changes made by an event of the runtime are drawn when it settles; others (a form's
    // model changed from outside, as tests do) on the next turn of the event loop.
    if (waking_ || depth() > 0 || pass_queued_) return;
    pass_queued_ = true;
    QMetaObject::invokeMethod(
        &context_,
        [this] {
            pass_queued_ = false;
            repaint_pass();
        },
        Qt::QueuedConnection);
}

void QtRuntime::repaint_pass() {
    std::vector<Form*> forms;
    forms.swap(changed_forms_);
    for (Form* form : forms) {
        // Taken even without a window, so that the form reports its next change again.
        const std::vector<Control*> changed = form->take_changes();
        if (FormWindow* w = window(*form)) w->apply_changes(changed);
    }
}

}  // namespace ui::qt
