// The Qt backend against small test forms and the game's own form: window frame and size, the
// menu bar, painting, repaint regions, keys, the close box, the message box and the timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <optional>
#include <vector>

#include "app/forms.h"
#include "tests/qt/window_forms.h"
#include "ui/qt/form_window.h"
#include "ui/qt/keys.h"
#include "ui/qt/message_box.h"
#include "ui/qt/qt_runtime.h"

namespace {

using qt_test::ButtonForm;
using qt_test::FieldForm;
using qt_test::KeyPress;
using ui::qt::FormWindow;
using ui::qt::QtRuntime;

class QtBackend : public ::testing::Test {
  protected:
    QtBackend() : runtime(std::make_unique<QtRuntime>()) {
        runtime->register_form("frm_feld", [](ui::Runtime& rt) {
            return std::make_unique<FieldForm>(rt, "frm_feld");
        });
        runtime->register_form("frm_zwei", [](ui::Runtime& rt) {
            return std::make_unique<FieldForm>(rt, "frm_zwei");
        });
    }
    ~QtBackend() override {
        runtime.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FieldForm& show_field(const char* name = "frm_feld") {
        auto* form = dynamic_cast<FieldForm*>(runtime->show(name));
        EXPECT_NE(form, nullptr);
        return *form;
    }
    FormWindow& window_of(const ui::Form& form) {
        FormWindow* window = runtime->window(form);
        EXPECT_NE(window, nullptr);
        return *window;
    }
    // Runs the queued repaint pass (and anything else posted).
    static void settle() { QCoreApplication::processEvents(); }

    std::unique_ptr<QtRuntime> runtime;
};

ui::FormDesign twips_design(ui::BorderStyle border, int width, int height) {
    ui::FormDesign design;
    design.caption = "Knopf";
    design.border = border;
    design.client_width_twips = width;
    design.client_height_twips = height;
    design.back_color = 0x00FF8080;
    return design;
}

TEST_F(QtBackend, ClientAreaIsTwipsOverFifteenBelowTheMenuBar) {
    FormWindow& window = window_of(show_field());
    ASSERT_NE(window.menu_bar(), nullptr);
    EXPECT_EQ(window.client_area()->size(), QSize(200, 100));
    EXPECT_EQ(window.client_area()->y(), window.menu_bar()->height());
    EXPECT_GT(window.menu_bar()->height(), 0);
    EXPECT_EQ(window.height(), window.menu_bar()->height() + 100);
    EXPECT_EQ(window.windowTitle(), "Feld");
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST_F(QtBackend, BorderStylesGiveFixedWindowsWithoutMinimiseOrMaximise) {
    struct Case {
        ui::BorderStyle border;
        int width_twips, height_twips;
        QSize client;
        Qt::WindowType type;
        bool frameless;
    };
    const Case cases[] = {
        {ui::BorderStyle::fixed_single, 4035, 3150, {269, 210}, Qt::Window, false},
        {ui::BorderStyle::fixed_dialog, 3855, 3060, {257, 204}, Qt::Dialog, false},
        {ui::BorderStyle::none, 3750, 2490, {250, 166}, Qt::SplashScreen, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.border));
        QtRuntime rt;
        rt.register_form("frm_knopf", [&](ui::Runtime& r) {
            return std::make_unique<ButtonForm>(
                r, twips_design(c.border, c.width_twips, c.height_twips));
        });
        FormWindow* window = rt.window(*rt.show("frm_knopf"));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->menu_bar(), nullptr);
        EXPECT_EQ(window->client_area()->size(), c.client);
        EXPECT_EQ(window->size(), c.client);
        EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "resizable";
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, c.type);
        EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), c.frameless);
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), !c.frameless);
        // The button sits at its twips / 15 and clicks through the runtime.
        auto* button = window->findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), QRect(96, 168, 89, 25));
        button->click();
        EXPECT_EQ(dynamic_cast<ButtonForm*>(rt.form("frm_knopf"))->clicks, 1);
    }
}

TEST_F(QtBackend, TheGameFormIs451By374PixelsBelowItsMenuBar) {
    QtRuntime rt;
    app::register_forms(rt);
    ui::Form* form = rt.show("frm_main");
    ASSERT_NE(form, nullptr);
    FormWindow* window = rt.window(*form);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->menu_bar(), nullptr);
    EXPECT_EQ(window->client_area()->size(), QSize(451, 374));
    EXPECT_EQ(window->client_area()->y(), window->menu_bar()->height());
    EXPECT_EQ(window->windowTitle(), "Muranko");
    const QList<QAction*> menus = window->menu_bar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&Spiel");
    EXPECT_EQ(menus[1]->text(), "&?");
}

TEST_F(QtBackend, MenuBarFollowsTheMenuEntries) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    const QList<QAction*> menus = window.menu_bar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&Spiel");
    EXPECT_EQ(menus[1]->text(), "&?");
    EXPECT_EQ(menus[1]->menu()->actions().size(), 1);

    struct Entry {
        QString text;  // empty for a separator
        bool separator, checked, enabled;
    };
    const auto expect_entries = [&](const std::vector<Entry>& expected) {
        const QList<QAction*> actions = menus[0]->menu()->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            const QAction* action = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(action->isSeparator(), expected[i].separator);
            if (expected[i].separator) continue;
            EXPECT_EQ(action->text(), expected[i].text);
            EXPECT_EQ(action->isChecked(), expected[i].checked);
            // Only a checked entry shows a check box at all.
            EXPECT_EQ(action->isCheckable(), expected[i].checked);
            EXPECT_EQ(action->isEnabled(), expected[i].enabled);
            EXPECT_TRUE(action->shortcut().isEmpty());
        }
    };
    expect_entries({{"S&tart", false, false, true},
                    {"", true, false, true},
                    {"Anfänger", false, true, true},
                    {"Profis", false, false, true},
                    {"Gesperrt", false, false, false}});

    window.menu_action("mnu_profis")->trigger();
    settle();
    expect_entries({{"S&tart", false, false, true},
                    {"", true, false, true},
                    {"Anfänger", false, false, true},
                    {"Profis", false, true, true},
                    {"Gesperrt", false, false, false}});

    // Choosing the checked entry again: Qt would clear its mark, the model keeps it.
    window.menu_action("mnu_profis")->trigger();
    settle();
    EXPECT_TRUE(window.menu_action("mnu_profis")->isChecked());

    form.mnu_start.set_enabled(false);
    settle();
    EXPECT_FALSE(window.menu_action("mnu_start")->isEnabled());
    form.mnu_start.set_enabled(true);
    settle();
    window.menu_action("mnu_start")->trigger();
    EXPECT_EQ(form.starts, 1);
}

TEST_F(QtBackend, PaintsTheModelAtItsScaledPlace) {
    FieldForm& form = show_field();
    form.img_ball.set_visible(false);
    form.img_fisch.set_visible(false);
    form.lbl_zaehler.set_visible(false);
    settle();
    const QImage shot = window_of(form).client_area()->grab().toImage();
    const QColor back(0x00, 0x00, 0xC0), fill(0xFF, 0, 0), border(0, 0xFF, 0);
    // The shape spans units 0..30 on both axes: pixels 100..150 across, 50..75 down.
    const struct {
        QPoint at;
        QColor color;
    } probes[] = {
        {{2, 2}, back},      {{99, 60}, back},    {{150, 60}, back},   {{120, 49}, back},
        {{120, 75}, back},   {{100, 60}, border}, {{149, 60}, border}, {{120, 50}, border},
        {{120, 74}, border}, {{101, 51}, fill},   {{148, 73}, fill},
    };
    for (const auto& probe : probes) {
        SCOPED_TRACE(::testing::Message() << probe.at.x() << "," << probe.at.y());
        EXPECT_EQ(shot.pixelColor(probe.at), probe.color);
    }
}

TEST_F(QtBackend, MovingOneSpriteRedrawsOnlyAroundIt) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    settle();

    // From (-50, -50) to (-49, -48): 16.7 px, 8.3 px -> about 18.3 px, 10 px; 14 x 9 pixels.
    form.img_ball.move(-49, -48);
    settle();
    const QRegion region = window.last_update_region();
    EXPECT_TRUE(region.contains(QRect(17, 8, 14, 9))) << "old place";
    EXPECT_TRUE(region.contains(QRect(18, 10, 14, 9))) << "new place";
    EXPECT_LE(region.boundingRect().width(), 14 + 2 + 2 + 1);
    EXPECT_LE(region.boundingRect().height(), 9 + 2 + 2 + 2);
    EXPECT_FALSE(region.contains(QPoint(175, 91))) << "the other sprite";

    // A counter that grows redraws its old and its wider new text.
    form.lbl_zaehler.set_caption("-100");
    settle();
    const QRect text = window.last_update_region().boundingRect();
    EXPECT_LE(text.left(), 9);
    EXPECT_GE(text.width(), 20);
    EXPECT_LE(text.width(), 40);

    // Hiding redraws the old place; nothing else changed.
    form.img_fisch.set_visible(false);
    settle();
    EXPECT_TRUE(window.last_update_region().contains(QPoint(175, 91)));
    EXPECT_FALSE(window.last_update_region().contains(QPoint(20, 10)));
}

TEST(QtKeys, VirtualKeyCodes) {
    const struct {
        int qt_key;
        int code;
    } table[] = {
        {Qt::Key_Left, 37},  {Qt::Key_Up, 38},     {Qt::Key_Right, 39},  {Qt::Key_Down, 40},
        {Qt::Key_Space, 32}, {Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
        {Qt::Key_A, 65},     {Qt::Key_P, 80},      {Qt::Key_Z, 90},      {Qt::Key_0, 48},
        {Qt::Key_9, 57},     {Qt::Key_F1, 0},      {Qt::Key_Shift, 0},   {Qt::Key_Adiaeresis, 0},
        {Qt::Key_Tab, 0},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ui::qt::virtual_key(row.qt_key), row.code)
            << "Qt key 0x" << std::hex << row.qt_key;
    }
}

TEST_F(QtBackend, KeysReachTheFormAsVirtualKeyCodes) {
    FieldForm& form = show_field();
    QWindow* handle = window_of(form).windowHandle();
    ASSERT_NE(handle, nullptr);
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        bool repeat;
        std::optional<KeyPress> delivered;
    } table[] = {
        {Qt::Key_Left, Qt::NoModifier, "", false, KeyPress{37, 0}},
        {Qt::Key_Space, Qt::NoModifier, " ", false, KeyPress{32, 0}},
        {Qt::Key_A, Qt::ShiftModifier, "A", false, KeyPress{65, 1}},
        {Qt::Key_W, Qt::NoModifier, "w", true, KeyPress{87, 0}},
        {Qt::Key_P, Qt::ControlModifier, "", false, KeyPress{80, 2}},
        {Qt::Key_S, Qt::AltModifier, "s", false, std::nullopt},
        {Qt::Key_F5, Qt::NoModifier, "", false, std::nullopt},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.key);
        form.keys.clear();
        QKeyEvent event(QEvent::KeyPress, row.key, row.modifiers, row.text, row.repeat);
        QCoreApplication::sendEvent(handle, &event);
        if (row.delivered) {
            EXPECT_EQ(form.keys, std::vector<KeyPress>{*row.delivered});
        } else {
            EXPECT_TRUE(form.keys.empty());
        }
    }
}

TEST_F(QtBackend, KeysReachTheFormAgainAfterTheMenuBarHadTheKeyboard) {
    FieldForm& form = show_field();
    // The offscreen platform activates no window by itself.
    QApplication::setActiveWindow(&window_of(form));
    QWindow* handle = window_of(form).windowHandle();
    ASSERT_NE(handle, nullptr);
    const auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, key, modifiers);
        QCoreApplication::sendEvent(handle, &event);
    };
    // Alt alone puts the menu bar in keyboard mode; Esc leaves it.
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    ASSERT_NE(window_of(form).focusWidget(), &window_of(form));
    send(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    form.keys.clear();
    send(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(form.keys, (std::vector<KeyPress>{KeyPress{40, 0}}));
}

TEST_F(QtBackend, AFocusedButtonHidesKeysFromTheFormUnlessItPreviews) {
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview);
        QtRuntime rt;
        rt.register_form("frm_knopf", [](ui::Runtime& r) {
            return std::make_unique<ButtonForm>(
                r, twips_design(ui::BorderStyle::fixed_single, 4035, 3150));
        });
        auto* form = dynamic_cast<ButtonForm*>(rt.show("frm_knopf"));
        ASSERT_NE(form, nullptr);
        form->set_key_preview(preview);
        FormWindow* window = rt.window(*form);
        window->findChild<QPushButton*>()->setFocus();
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(window->windowHandle(), &event);
        const std::vector<KeyPress> expected =
            preview ? std::vector<KeyPress>{{39, 0}} : std::vector<KeyPress>{};
        EXPECT_EQ(form->keys, expected);
    }
}

TEST_F(QtBackend, CloseBoxUnloadsTheFormAndTheLastOneEndsTheProgram) {
    const FieldForm* first = &show_field("frm_feld");
    const FieldForm* second = &show_field("frm_zwei");
    FormWindow* first_window = runtime->window(*first);
    QPointer<FormWindow> watched(first_window);

    first_window->close();
    EXPECT_EQ(runtime->form("frm_feld"), nullptr);
    EXPECT_EQ(runtime->window(*first), nullptr);
    EXPECT_FALSE(first_window->isVisible());
    EXPECT_FALSE(runtime->ended());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull()) << "the window is deleted once the close has returned";

    runtime->window(*second)->close();
    EXPECT_EQ(runtime->form("frm_zwei"), nullptr);
    EXPECT_TRUE(runtime->ended());
}

TEST_F(QtBackend, MessageBoxHasOneOkButtonNoIconAndAlignsByStyle) {
    FieldForm& form = show_field();
    form.tmr_tick.set_interval(50);
    show_field();  // showing re-arms the wake-up, as the end of every handler does
    ASSERT_TRUE(runtime->wake_due().has_value());

    const struct {
        int style;
        Qt::Alignment alignment;
    } table[] = {{0, Qt::AlignLeft}, {ui::kBoxRightAligned, Qt::AlignRight}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.style);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<ui::qt::MessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    if (auto* dialog = qobject_cast<QDialog*>(widget)) dialog->reject();
                }
                FAIL() << "no modal box";
            }
            seen = true;
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(box->windowTitle(), "Game Over");
            EXPECT_EQ(box->text_label().text(), "Schade, schade");
            EXPECT_EQ(box->text_label().alignment() & Qt::AlignHorizontal_Mask, row.alignment);
            const auto buttons = box->findChildren<QAbstractButton*>();
            ASSERT_EQ(buttons.size(), 1);
            EXPECT_EQ(buttons[0]->text().remove('&'), "OK");
            EXPECT_TRUE(buttons[0]->icon().isNull()) << "a picture on the button";
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                EXPECT_TRUE(label->pixmap().isNull()) << "an icon";
            }
            EXPECT_FALSE(runtime->wake_due().has_value()) << "timers fire while a box is open";
            buttons[0]->click();
        });
        runtime->msg_box("Schade, schade", row.style, "Game Over");
        EXPECT_TRUE(seen);
    }
}

TEST_F(QtBackend, TheWakeUpFiresTheFormsTimers) {
    FieldForm& form = show_field();
    form.tmr_tick.set_interval(5);
    show_field();
    ASSERT_TRUE(runtime->wake_due().has_value());
    EXPECT_LE(*runtime->wake_due() - runtime->now(), 5);

    QEventLoop loop;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(2000);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (form.ticks >= 3) loop.quit();
    });
    poll.start(1);
    loop.exec();
    EXPECT_GE(form.ticks, 3);
    EXPECT_TRUE(runtime->wake_due().has_value()) << "re-armed for the next tick";
}

// Counts the paint events of a widget.
class PaintCount : public QObject {
  public:
    explicit PaintCount(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(QtBackend, TimersDueTogetherFireInOrderInOneWakeUpAndOnePaint) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    settle();
    std::vector<int> fired;
    form.tmr_tick.on_timer = [&] {
        fired.push_back(1);
        form.img_ball.move(form.img_ball.left() + 5, form.img_ball.top());
    };
    form.tmr_zwei.on_timer = [&] {
        fired.push_back(2);
        form.img_fisch.move(form.img_fisch.left() - 5, form.img_fisch.top());
    };
    // Armed within one millisecond, so that both are due at the same time; the later created
    // timer is armed first.
    std::int64_t armed_at = 0;
    do {
        form.tmr_zwei.set_interval(0);
        form.tmr_tick.set_interval(0);
        armed_at = runtime->now();
        form.tmr_zwei.set_interval(30);
        form.tmr_tick.set_interval(30);
    } while (runtime->now() != armed_at);
    show_field();
    settle();
    PaintCount count(*window.client_area());

    QEventLoop loop;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(2000);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!fired.empty()) loop.quit();
    });
    poll.start(1);
    loop.exec();
    settle();
    EXPECT_EQ(fired, (std::vector<int>{1, 2})) << "both in one wake-up, in creation order";
    EXPECT_EQ(count.paints, 1) << "both moves in one paint";
}

TEST_F(QtBackend, ATimerWithoutHandlerDoesNotWakeTheLoop) {
    FieldForm& form = show_field();
    form.tmr_zwei.set_interval(5);
    show_field();
    EXPECT_FALSE(runtime->wake_due().has_value());
    form.tmr_tick.set_interval(50);
    show_field();
    ASSERT_TRUE(runtime->wake_due().has_value());
    EXPECT_GE(*runtime->wake_due() - runtime->now(), 40);
}

}  // namespace
