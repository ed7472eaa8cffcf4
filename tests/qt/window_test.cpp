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
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <vector>

#include "app/forms.h"
#include "tests/qt/window_forms.h"
#include "ui/qt/form_window.h"
#include "ui/qt/keys.h"
#include "ui/qt/message_box.h"
#include "ui/qt/pictures.h"
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
    // The offscreen platform activates a window only when asked.
    static void activate(QWidget& window) {
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static void press_enter(ui::qt::MessageBox& box) {
        QTest::keyClick(box.windowHandle(), Qt::Key_Return);
    }
    // Runs the event loop until `done` holds, closing each message box meanwhile.
    static void run_until(const std::function<bool()>& done,
                          const std::function<void(ui::qt::MessageBox&)>& close = press_enter) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            auto* box = qobject_cast<ui::qt::MessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box->isVisible()) close(*box);
            if (done()) loop.quit();
        });
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        poll.start(1);
        guard.start(3000);
        loop.exec();
        EXPECT_TRUE(done()) << "timed out";
    }
    // A fish hit: a message box from a timer's handler, closed with Enter unless told.
    void hit(FieldForm& form, const std::function<void(ui::qt::MessageBox&)>& close = press_enter) {
        const int hits = form.hits;
        form.hit_on_tick = true;
        form.tmr_tick.set_interval(1);
        runtime->click(form, "mnu_start");  // the end of a handler arms the wake for it
        run_until([&] { return form.hits > hits; }, close);
        form.tmr_tick.set_interval(0);
    }

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
    EXPECT_EQ(region.rectCount(), 1) << "a step redraws one rectangle";

    // A jump redraws the two places, not the field between them.
    form.img_ball.move(-49, 40);
    settle();
    EXPECT_EQ(window.last_update_region().rectCount(), 2);
    EXPECT_FALSE(window.last_update_region().contains(QPoint(24, 50)));
    form.img_ball.move(-49, -48);
    settle();

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
        {Qt::Key_9, 57},     {Qt::Key_F1, 112},    {Qt::Key_F12, 123},   {Qt::Key_Shift, 16},
        {Qt::Key_Alt, 18},   {Qt::Key_Tab, 9},     {Qt::Key_Delete, 46}, {Qt::Key_Adiaeresis, 0},
        {Qt::Key_F13, 0},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ui::qt::virtual_key(row.qt_key), row.code)
            << "Qt key 0x" << std::hex << row.qt_key;
    }
}

TEST_F(QtBackend, EveryKeyReachesTheFormButAltWithAMenusAccessKey) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    activate(window);
    // A modifier reaches the form as a key of its own before the key it modifies.
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::vector<KeyPress> delivered;
        bool opens_menu;
    } table[] = {
        {Qt::Key_Left, Qt::NoModifier, {{37, 0}}, false},
        {Qt::Key_Space, Qt::NoModifier, {{32, 0}}, false},
        {Qt::Key_A, Qt::ShiftModifier, {{16, 1}, {65, 1}}, false},
        {Qt::Key_P, Qt::ControlModifier, {{17, 2}, {80, 2}}, false},
        {Qt::Key_P, Qt::AltModifier, {{18, 4}, {80, 4}}, false},
        {Qt::Key_Left, Qt::AltModifier, {{18, 4}, {37, 4}}, false},
        {Qt::Key_F5, Qt::NoModifier, {{116, 0}}, false},
        {Qt::Key_S, Qt::AltModifier, {{18, 4}}, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << row.key << " " << row.modifiers);
        form.keys.clear();
        QTest::keyClick(window.windowHandle(), static_cast<Qt::Key>(row.key), row.modifiers);
        EXPECT_EQ(form.keys, row.delivered);
        EXPECT_EQ(QApplication::activePopupWidget(),
                  row.opens_menu ? window.menu_action("mnu_spiel")->menu() : nullptr);
    }
    // Auto-repeat arrives as key-downs too.
    form.keys.clear();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_W, Qt::NoModifier, "w", true);
    QCoreApplication::sendEvent(window.windowHandle(), &repeat);
    EXPECT_EQ(form.keys, (std::vector<KeyPress>{KeyPress{87, 0}}));
}

// The ways by which the menu bar could take the keyboard for good when a box came, and the
// events after which the keys must be the form's again.
TEST_F(QtBackend, KeysComeBackToTheFormAfterTheMenuBarHadTheKeyboard) {
    enum class Then { box, click_on_field, activate_again };
    const auto open_spiel_by_mouse = [](FormWindow& w) {
        const QRect title = w.menu_bar()->actionGeometry(w.menu_action("mnu_spiel"));
        QTest::mouseClick(w.menu_bar(), Qt::LeftButton, {}, title.center());
    };
    const auto esc_in_menu = [] {
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu->windowHandle(), Qt::Key_Escape);
    };
    const struct {
        const char* way_in;
        std::function<void(FormWindow&)> enter;
        Then then;
    } table[] = {
        {"Alt alone", [](FormWindow& w) { QTest::keyClick(w.windowHandle(), Qt::Key_Alt); },
         Then::box},
        {"Alt+S, Esc",
         [&](FormWindow& w) {
             QTest::keyClick(w.windowHandle(), Qt::Key_S, Qt::AltModifier);
             esc_in_menu();
         },
         Then::box},
        {"click Spiel, Esc",
         [&](FormWindow& w) {
             open_spiel_by_mouse(w);
             esc_in_menu();
         },
         Then::box},
        {"menu left open", open_spiel_by_mouse, Then::box},
        {"Alt alone", [](FormWindow& w) { QTest::keyClick(w.windowHandle(), Qt::Key_Alt); },
         Then::click_on_field},
        {"menu bar left with the focus", [](FormWindow& w) { w.menu_bar()->setFocus(); },
         Then::activate_again},
    };
    show_field("frm_zwei");  // so that unloading frm_feld after each row does not end it all
    for (const auto& row : table) {
        SCOPED_TRACE(row.way_in);
        FieldForm& form = show_field();
        FormWindow& window = window_of(form);
        activate(window);
        row.enter(window);
        switch (row.then) {
            case Then::box:
                hit(form);
                break;
            case Then::click_on_field:
                ASSERT_TRUE(window.menu_bar()->hasFocus());
                QTest::mouseClick(window.client_area(), Qt::LeftButton, {}, QPoint(20, 20));
                break;
            case Then::activate_again:
                activate(window_of(show_field("frm_zwei")));
                activate(window);
                EXPECT_EQ(window.focusWidget(), &window);
                break;
        }
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        form.keys.clear();
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_S, Qt::Key_P, Qt::Key_Escape}) {
            QTest::keyClick(window.windowHandle(), key);
        }
        EXPECT_EQ(form.keys, (std::vector<KeyPress>{{40, 0}, {83, 0}, {80, 0}, {27, 0}}));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "S opened the menu";
        runtime->unload(form);
        settle();
    }
}

TEST_F(QtBackend, AButtonKeepsTheKeysAfterABoxOrAClickAndTheFormSeesThemOnlyWithPreview) {
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
        FormWindow& window = *rt.window(*form);
        activate(window);
        bool closed = false;
        QTimer::singleShot(0, [&] {
            rt.msg_box("Hallo", ui::kBoxOk, "Info");
            closed = true;
        });
        run_until([&] { return closed; });
        QTest::mouseClick(window.client_area(), Qt::LeftButton, {}, QPoint(5, 5));
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Right}) {
            QTest::keyClick(window.windowHandle(), key);
        }
        EXPECT_EQ(form->clicks, 2) << "Enter and Space press the button";
        const std::vector<KeyPress> previewed{{13, 0}, {32, 0}, {39, 0}};
        EXPECT_EQ(form->keys, preview ? previewed : std::vector<KeyPress>{});
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

TEST_F(QtBackend, ABoxSitsOverTheWindowOfTheFormThatOpenedItAndClosesByEnterEscOrCloseBox) {
    QApplication::setWindowIcon(ui::qt::picture_icon(ui::Picture::shell_open));
    FieldForm& form = show_field("frm_feld");
    FormWindow& owner = window_of(form);
    owner.move(40, 60);
    // Another form is active when the box comes from frm_feld's timer.
    FormWindow& other = window_of(show_field("frm_zwei"));
    activate(other);
    const struct {
        const char* how;
        std::function<void(ui::qt::MessageBox&)> close;
    } table[] = {
        {"Enter", press_enter},
        {"Esc",
         [](ui::qt::MessageBox& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Escape); }},
        {"close box", [](ui::qt::MessageBox& box) { box.close(); }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.how);
        const ui::qt::MessageBox* seen = nullptr;
        hit(form, [&](ui::qt::MessageBox& box) {
            if (seen == nullptr) {
                seen = &box;
                EXPECT_EQ(box.parentWidget(), &owner);
                EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
                const QPoint offset = box.frameGeometry().center() - owner.frameGeometry().center();
                EXPECT_LE(offset.manhattanLength(), 2) << "not centred over its window";
                EXPECT_EQ(box.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
            }
            row.close(box);
        });
        EXPECT_NE(seen, nullptr);
        EXPECT_EQ(form.hits, &row - table + 1) << "the box stayed open";
    }
    // Opened outside any handler, a box belongs to the active form.
    activate(other);
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<ui::qt::MessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->parentWidget(), &other);
        checked = true;
        box->accept();
    });
    runtime->msg_box("Schade", ui::kBoxOk, "Game Over");
    EXPECT_TRUE(checked);
    QApplication::setWindowIcon(QIcon());
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
