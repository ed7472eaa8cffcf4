#include "ui/qt/form_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#if MURANKO_HAVE_XCB
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#endif

#include "ui/qt/form_view.h"
#include "ui/qt/keys.h"
#include "ui/qt/pictures.h"
#include "ui/runtime.h"

namespace ui::qt {

// The client area: paints the form's model.
class ClientArea : public QWidget {
  public:
    // `painted`: what each control covered when last drawn, kept by the window.
    ClientArea(QWidget* parent, const Form& form, const std::map<const Control*, QRect>& painted)
        : QWidget(parent), form_(&form), painted_(painted) {
        setFixedSize(FormView(form).client_size());
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }
    void detach() { form_ = nullptr; }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        // A click on the playfield ends any use of the menu bar by the keyboard.
        if (auto* window = qobject_cast<FormWindow*>(parentWidget())) window->take_keys();
        QWidget::mousePressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (form_ == nullptr) {
            painter.fillRect(event->rect(), palette().window());
            return;
        }
        FormView(*form_).paint(painter, event->region(), devicePixelRatioF(), palette(), &painted_);
    }

  private:
    const Form* form_;
    const std::map<const Control*, QRect>& painted_;
};

namespace {
Qt::WindowFlags window_flags(const FormDesign& design) {
    const Qt::WindowFlags title_bar = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    switch (design.border) {
        case BorderStyle::none:
            return Qt::SplashScreen | Qt::FramelessWindowHint;
        case BorderStyle::fixed_dialog:
            return Qt::Dialog | title_bar;
        case BorderStyle::fixed_single:
            break;
    }
    // A dialog-type window stays out of the task bar.
    return (design.show_in_taskbar ? Qt::Window : Qt::Dialog) | title_bar;
}

// Asks the window manager to leave the window out of the task bar. Set before the window is
// first mapped: Qt keeps the states it finds there when it adds its own. Only X11 has the
// hint; elsewhere the window type alone decides.
void skip_taskbar(QWidget& window) {
#if MURANKO_HAVE_XCB
    // The offscreen platform offers the X11 interface too, without a connection.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) return;
    const auto atom = [connection](std::string_view name) {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return found;
    };
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const xcb_atom_t skip = atom("_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE) return;
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(window.winId()),
                        state, XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(connection);
#else
    (void)window;
#endif
}

// Adds to `region` what a control that moved from `before` to `now` makes to redraw. A step
// leaves the two rectangles overlapping: their bounding rectangle, barely larger than their
// union, keeps the region to one rectangle (one clip rectangle and one upload instead of up to
// three). A jump redraws the two places alone.
void add_redrawn(QRegion& region, const QRect& before, const QRect& now) {
    const QRect bounds = before.united(now);
    const auto area = [](const QRect& r) { return static_cast<qint64>(r.width()) * r.height(); };
    if (area(bounds) * 2 <= (area(before) + area(now)) * 3) {
        region += bounds;
    } else {
        region += before;
        region += now;
    }
}

QString to_qstring(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace

FormWindow::FormWindow(Form& form)
    : QWidget(nullptr, window_flags(form.design())),
      form_(&form),
      client_(new ClientArea(this, form, painted_)) {
    setObjectName(to_qstring(form.name()));
    setWindowTitle(to_qstring(form.design().caption));
    setWindowIcon(picture_icon(form.design().icon));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Not resizable: the window is exactly the menu bar over the client area.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(client_);

    build_menus();
    build_buttons();
    remember_all_rects();
}

FormWindow::~FormWindow() = default;

void FormWindow::detach() {
    form_ = nullptr;
    client_->detach();
    actions_.clear();
    buttons_.clear();
    painted_.clear();
}

QWidget* FormWindow::client_area() const {
    return client_;
}

void FormWindow::present() {
    if (!shown_before_) {
        shown_before_ = true;
        adjustSize();
        QRect frame(QPoint(), size());
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
        if (form_ != nullptr && !form_->design().show_in_taskbar) skip_taskbar(*this);
    }
    // A window the user minimised comes back in its normal state: on X11 an iconic window is
    // unmapped, and Qt would activate it only once it is mapped again.
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // The focus it will have once activated: the menu bar gives it back after keyboard use.
    if (focusWidget() == nullptr) key_owner()->setFocus(Qt::ActiveWindowFocusReason);
}

QWidget* FormWindow::key_owner() {
    if (form_ != nullptr) {
        for (const Control* control : form_->controls()) {
            if (control->kind() != ControlKind::button) continue;
            QPushButton* push = buttons_.at(static_cast<const Button*>(control));
            if (push->isVisibleTo(this) && push->isEnabled()) return push;
        }
    }
    return this;
}

bool FormWindow::is_button(const QWidget* widget) const {
    return std::any_of(buttons_.begin(), buttons_.end(),
                       [widget](const auto& entry) { return entry.second == widget; });
}

bool FormWindow::menu_in_use() const {
    if (QApplication::activePopupWidget() != nullptr) return true;
    return menu_bar_ != nullptr && menu_bar_->hasFocus() && menu_bar_->activeAction() != nullptr;
}

void FormWindow::take_keys() {
    if (form_ == nullptr || QApplication::activePopupWidget() != nullptr) return;
    if (is_button(focusWidget())) return;
    key_owner()->setFocus(Qt::OtherFocusReason);
}

bool FormWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // Qt gives an activated window back the focus widget it had, which may be the menu bar
    // that was left while it moved through the menus (a message box came up meanwhile).
    if (event->type() == QEvent::WindowActivate) take_keys();
    return handled;
}

void FormWindow::build_menus() {
    // Two levels, as the forms have them: menus on the bar, and their entries.
    std::map<const MenuItem*, QMenu*> menus;
    for (const Control* control : form_->controls()) {
        if (control->kind() != ControlKind::menu) continue;
        const auto* item = static_cast<const MenuItem*>(control);
        QAction* action = nullptr;
        if (item->parent() == nullptr) {
            if (menu_bar_ == nullptr) {
                menu_bar_ = new QMenuBar(this);
                // In the window even where the desktop offers a global menu bar, so that the
                // client area keeps its place below it.
                menu_bar_->setNativeMenuBar(false);
                menu_bar_->installEventFilter(this);
                layout()->setMenuBar(menu_bar_);
            }
            QMenu* menu = menu_bar_->addMenu(to_qstring(item->caption()));
            menus[item] = menu;
            action = menu->menuAction();
        } else {
            const auto parent = menus.find(item->parent());
            if (parent == menus.end()) continue;
            if (item->is_separator()) {
                action = parent->second->addSeparator();
            } else {
                action = parent->second->addAction(to_qstring(item->caption()));
                connect(action, &QAction::triggered, this, [this, item] { menu_chosen(*item); });
            }
        }
        actions_[item] = action;
        sync_action(*item);
    }
}

void FormWindow::sync_action(const MenuItem& item) {
    QAction* action = actions_.at(&item);
    action->setEnabled(item.enabled());
    if (item.parent() == nullptr || item.is_separator()) return;
    // Only a checked entry is checkable, so that the others show no empty check box.
    action->setCheckable(item.checked());
    action->setChecked(item.checked());
}

void FormWindow::menu_chosen(const MenuItem& item) {
    if (form_ == nullptr) return;
    form_->runtime().click(*form_, item.name());
    // Qt toggled a checked entry's check mark by itself; the model alone decides it.
    if (form_ != nullptr) sync_action(item);
}

QAction* FormWindow::menu_action(std::string_view item_name) const {
    for (const auto& [item, action] : actions_) {
        if (item->name() == item_name) return action;
    }
    return nullptr;
}

void FormWindow::build_buttons() {
    for (const Control* control : form_->controls()) {
        if (control->kind() != ControlKind::button) continue;
        const auto* button = static_cast<const Button*>(control);
        auto* push = new QPushButton(to_qstring(button->caption()), client_);
        push->setFont(to_qfont(Font{}));
        // With key preview the form sees the key before the button does.
        push->installEventFilter(this);
        // Enter presses the focused button as Space does, also outside a QDialog.
        push->setAutoDefault(true);
        // The first button has the focus when the window opens.
        if (buttons_.empty()) push->setFocus(Qt::OtherFocusReason);
        connect(push, &QPushButton::clicked, this, [this, button] {
            if (form_ != nullptr) form_->runtime().click(*form_, button->name());
        });
        buttons_[button] = push;
        place_button(*button);
    }
}

void FormWindow::place_button(const Button& button) {
    QPushButton* push = buttons_.at(&button);
    push->setGeometry(FormView(*form_).to_pixels(button.rect()).toRect());
    push->setVisible(button.visible());
}

void FormWindow::remember_all_rects() {
    const FormView view(*form_);
    const qreal dpr = client_->devicePixelRatioF();
    for (const Control* control : form_->controls()) {
        painted_[control] = view.covered(*control, dpr);
    }
}

void FormWindow::apply_changes(const std::vector<Control*>& changed) {
    last_update_ = QRegion();
    if (form_ == nullptr) return;
    const FormView view(*form_);
    const qreal dpr = client_->devicePixelRatioF();
    for (const Control* control : changed) {
        switch (control->kind()) {
            case ControlKind::menu:
                sync_action(*static_cast<const MenuItem*>(control));
                break;
            case ControlKind::button:
                place_button(*static_cast<const Button*>(control));
                break;
            case ControlKind::image:
            case ControlKind::shape:
            case ControlKind::label: {
                QRect& before = painted_[control];
                const QRect now = view.covered(*control, dpr);
                add_redrawn(last_update_, before, now);
                before = now;
                break;
            }
            case ControlKind::timer:
                break;
        }
    }
    // At once: the runtime calls this when an event has been handled, so the paint needs no
    // further turn of the event loop.
    if (!last_update_.isEmpty()) client_->repaint(last_update_);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (form_ == nullptr || form_->runtime().ended()) {
        event->accept();
        return;
    }
    // The runtime unloads the form; the window goes when the form is destroyed.
    event->ignore();
    form_->runtime().close(*form_);
}

bool FormWindow::deliver_key(const QKeyEvent& event) {
    // Alt with a menu's access key never gets here: the menu bar's shortcut takes it first.
    if (form_ == nullptr) return false;
    const int code = virtual_key(event.key());
    if (code == 0) return false;
    form_->runtime().key_down(*form_, code, shift_state(event.modifiers()));
    return true;
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    // While a button has the focus, the form sees keys only with key preview (eventFilter).
    if (!is_button(focusWidget()) && deliver_key(*event)) return;
    QWidget::keyPressEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || form_ == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == menu_bar_) {
        // The menu bar kept the focus after it was used (Qt hands it back only to a widget
        // that had the focus before): the key is the form's, not a menu's access letter.
        if (menu_in_use()) return false;
        take_keys();
        if (focusWidget() == menu_bar_) return false;
        QCoreApplication::sendEvent(focusWidget(), key);
        return true;
    }
    if (form_->key_preview()) deliver_key(*key);
    return QWidget::eventFilter(watched, event);
}

}  // namespace ui::qt
