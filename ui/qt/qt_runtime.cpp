#include "ui/qt/qt_runtime.h"

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>

#include "ui/qt/form_window.h"
#include "ui/qt/message_box.h"

namespace ui::qt {

QtRuntime::QtRuntime() {
#ifndef NDEBUG
    set_strict(true);
#endif
    clock_.start();
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake_, &QTimer::timeout, &context_, [this] {
        run_due_timers();
        arm_wake();
    });
}

QtRuntime::~QtRuntime() {
    // The windows go before the forms they show.
    for (auto& [form, window] : windows_) delete window;
    windows_.clear();
}

std::int64_t QtRuntime::now() const {
    return clock_.elapsed();
}

std::uint64_t QtRuntime::clock_reading() const {
    const auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count());
}

void QtRuntime::arm_wake() {
    const auto due = scheduler().next_due();
    // No timer fires while a box is open; the close of the box settles and re-arms.
    if (!due || box_open() || ended()) {
        wake_.stop();
        return;
    }
    wake_.start(std::chrono::milliseconds(std::max<std::int64_t>(0, *due - now())));
}

void QtRuntime::settled() {
    arm_wake();
}

void QtRuntime::show_box(const std::string& text, int style, const std::string& title) {
    wake_.stop();
    MessageBox box(QString::fromStdString(text), style, QString::fromStdString(title));
    box.exec();
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

void QtRuntime::program_ended() {
    wake_.stop();
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
    if (changed_forms_.size() == 1) {
        QMetaObject::invokeMethod(
            &context_, [this] { repaint_pass(); }, Qt::QueuedConnection);
    }
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
