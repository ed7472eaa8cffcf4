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
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>
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
using ui::qt::MessageBox;
using ui::qt::QtRuntime;
using Keys = std::vector<KeyPress>;

ui::FormDesign twips_design(ui::BorderStyle border, int width, int height) {
    ui::FormDesign design;
    design.caption = "Knopf";
    design.border = border;
    design.client_width_twips = width;
    design.client_height_twips = height;
    return design;
}

void press_enter(MessageBox& box) {
    QTest::keyClick(box.windowHandle(), Qt::Key_Return);
}

// Runs the event loop until `done` holds, closing each message box meanwhile.
void run_until(const std::function<bool()>& done,
               const std::function<void(MessageBox&)>& close = press_enter) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        auto* box = qobject_cast<MessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible()) close(*box);
        if (done()) loop.quit();
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    poll.start(1);
    loop.exec();
    EXPECT_TRUE(done()) << "timed out";
}

// The offscreen platform activates a window only when asked.
void activate(QWidget& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

class QtBackend : public ::testing::Test {
  protected:
    QtBackend() : runtime(std::make_unique<QtRuntime>()) {
        for (const char* name : {"frm_feld", "frm_zwei"}) {
            runtime->register_form(
                name, [name](ui::Runtime& rt) { return std::make_unique<FieldForm>(rt, name); });
        }
    }
    ~QtBackend() override {
        runtime.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    FieldForm& show_field(const char* name = "frm_feld") {
        return *dynamic_cast<FieldForm*>(runtime->show(name));
    }
    FormWindow& window_of(const ui::Form& form) { return *runtime->window(form); }
    // Runs the queued repaint pass (and anything else posted).
    static void settle() { QCoreApplication::processEvents(); }
    // A fish hit: a message box from a timer's handler, closed with Enter unless told.
    void hit(FieldForm& form, const std::function<void(MessageBox&)>& close = press_enter) {
        const int hits = form.hits;
        form.hit_on_tick = true;
        form.tmr_tick.set_interval(1);
        runtime->click(form, "mnu_start");  // the end of a handler arms the wake for it
        run_until([&] { return form.hits > hits; }, close);
        form.tmr_tick.set_interval(0);
    }

    std::unique_ptr<QtRuntime> runtime;
};

TEST_F(QtBackend, BorderStylesGiveFixedWindowsWithClientAreasOfTwipsOverFifteen) {
    const struct {
        ui::BorderStyle border;
        QSize client;
        Qt::WindowType type;
    } rows[] = {
        {ui::BorderStyle::fixed_single, {269, 210}, Qt::Window},
        {ui::BorderStyle::fixed_dialog, {269, 210}, Qt::Dialog},
        {ui::BorderStyle::none, {269, 210}, Qt::SplashScreen},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.border));
        QtRuntime rt;
        rt.register_form("frm_knopf", [&](ui::Runtime& r) {
            return std::make_unique<ButtonForm>(r, twips_design(row.border, 4035, 3150));
        });
        FormWindow& window = *rt.window(*rt.show("frm_knopf"));
        EXPECT_EQ(window.size(), row.client);
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
        const Qt::WindowFlags flags = window.windowFlags();
        const bool frameless = row.border == ui::BorderStyle::none;
        EXPECT_EQ(flags & Qt::WindowType_Mask, row.type);
        EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), frameless);
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), !frameless);
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        // The button sits at its twips / 15 and clicks through the runtime.
        auto* button = window.findChild<QPushButton*>();
        EXPECT_EQ(button->geometry(), QRect(96, 168, 89, 25));
        button->click();
        EXPECT_EQ(dynamic_cast<ButtonForm*>(rt.form("frm_knopf"))->clicks, 1);
    }
    // The game form: 6765 x 5610 twips below its menu bar.
    QtRuntime rt;
    app::register_forms(rt);
    FormWindow& game = *rt.window(*rt.show("frm_main"));
    EXPECT_EQ(game.client_area()->size(), QSize(451, 374));
    EXPECT_GT(game.menu_bar()->height(), 0);
    EXPECT_EQ(game.client_area()->y(), game.menu_bar()->height());
    EXPECT_EQ(game.windowTitle(), "Muranko");
    EXPECT_FALSE(game.windowIcon().isNull());
}

// The entries of the first menu: "-" a separator, "[x]" checked, "(...)" greyed.
std::string entries(const FormWindow& window) {
    std::string text;
    for (const QAction* a : window.menu_bar()->actions()[0]->menu()->actions()) {
        std::string entry = a->isSeparator() ? "-" : a->text().toStdString();
        if (a->isChecked()) entry = "[x]" + entry;
        if (!a->isEnabled()) entry = "(" + entry + ")";
        // Only a checked entry shows a check box at all, and no entry has a shortcut.
        if (a->isCheckable() != a->isChecked() || !a->shortcut().isEmpty()) entry += "?";
        text += (text.empty() ? "" : "|") + entry;
    }
    return text;
}

TEST_F(QtBackend, TheMenuBarFollowsTheMenuEntries) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    ASSERT_EQ(window.menu_bar()->actions().size(), 2);
    EXPECT_EQ(window.menu_bar()->actions()[1]->text(), "&?");
    EXPECT_EQ(entries(window), "S&tart|-|[x]Anfänger|Profis|(Gesperrt)");
    window.menu_action("mnu_profis")->trigger();
    window.menu_action("mnu_profis")->trigger();  // Qt would clear the mark; the model keeps it
    form.mnu_start.set_enabled(false);
    settle();
    EXPECT_EQ(entries(window), "(S&tart)|-|Anfänger|[x]Profis|(Gesperrt)");
    form.mnu_start.set_enabled(true);
    settle();
    window.menu_action("mnu_start")->trigger();
    EXPECT_EQ(form.starts, 1);
}

TEST_F(QtBackend, PaintsTheModelAtItsScaledPlaceAndRedrawsOnlyWhatChanged) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    form.img_ball.set_visible(false);
    form.img_fisch.set_visible(false);
    form.lbl_zaehler.set_visible(false);
    settle();
    const QImage shot = window.client_area()->grab().toImage();
    const QColor back(0x00, 0x00, 0xC0), fill(0xFF, 0, 0), border(0, 0xFF, 0);
    // The shape spans units 0..30 on both axes: pixels 100..150 across, 50..75 down.
    const std::vector<std::pair<QPoint, QColor>> probes = {
        {{2, 2}, back},      {{99, 60}, back},    {{150, 60}, back},   {{120, 49}, back},
        {{120, 75}, back},   {{100, 60}, border}, {{149, 60}, border}, {{120, 50}, border},
        {{120, 74}, border}, {{101, 51}, fill},   {{148, 73}, fill}};
    for (const auto& [at, color] : probes)
        EXPECT_EQ(shot.pixelColor(at), color) << at.x() << "," << at.y();

    // From (-50, -50) to (-49, -48): 16.7 px, 8.3 px -> about 18.3 px, 10 px; 14 x 9 pixels.
    form.img_ball.set_visible(true);
    form.img_fisch.set_visible(true);
    settle();
    form.img_ball.move(-49, -48);
    settle();
    const QRegion region = window.last_update_region();
    EXPECT_TRUE(region.contains(QRect(17, 8, 14, 9))) << "old place";
    EXPECT_TRUE(region.contains(QRect(18, 10, 14, 9))) << "new place";
    EXPECT_LE(region.boundingRect().width(), 19);
    EXPECT_LE(region.boundingRect().height(), 15);
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
    form.lbl_zaehler.set_visible(true);
    settle();
    form.lbl_zaehler.set_caption("-100");
    settle();
    const QRect text = window.last_update_region().boundingRect();
    EXPECT_LE(text.left(), 9);
    EXPECT_GE(text.width(), 20);
    EXPECT_LE(text.width(), 40);
}

TEST(QtKeys, VirtualKeyCodes) {
    const std::vector<std::pair<int, int>> table = {
        {Qt::Key_Left, 37},  {Qt::Key_Up, 38},     {Qt::Key_Right, 39},  {Qt::Key_Down, 40},
        {Qt::Key_Space, 32}, {Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
        {Qt::Key_A, 65},     {Qt::Key_P, 80},      {Qt::Key_Z, 90},      {Qt::Key_0, 48},
        {Qt::Key_9, 57},     {Qt::Key_F1, 112},    {Qt::Key_F12, 123},   {Qt::Key_Shift, 16},
        {Qt::Key_Alt, 18},   {Qt::Key_Tab, 9},     {Qt::Key_Delete, 46}, {Qt::Key_Adiaeresis, 0},
        {Qt::Key_F13, 0}};
    for (const auto& [qt_key, code] : table) {
        EXPECT_EQ(ui::qt::virtual_key(qt_key), code) << "Qt key 0x" << std::hex << qt_key;
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
        Keys delivered;
    } table[] = {
        {Qt::Key_Left, Qt::NoModifier, {{37, 0}}},
        {Qt::Key_A, Qt::ShiftModifier, {{16, 1}, {65, 1}}},
        {Qt::Key_P, Qt::ControlModifier, {{17, 2}, {80, 2}}},
        {Qt::Key_Left, Qt::AltModifier, {{18, 4}, {37, 4}}},
        {Qt::Key_F5, Qt::NoModifier, {{116, 0}}},
        {Qt::Key_S, Qt::AltModifier, {{18, 4}}},  // opens the menu
    };
    for (const auto& row : table) {
        form.keys.clear();
        QTest::keyClick(window.windowHandle(), static_cast<Qt::Key>(row.key), row.modifiers);
        EXPECT_EQ(form.keys, row.delivered) << row.key << " " << row.modifiers;
    }
    EXPECT_EQ(QApplication::activePopupWidget(), window.menu_action("mnu_spiel")->menu());
    QApplication::activePopupWidget()->close();
    // Auto-repeat arrives as key-downs too.
    form.keys.clear();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_W, Qt::NoModifier, "w", true);
    QCoreApplication::sendEvent(window.windowHandle(), &repeat);
    EXPECT_EQ(form.keys, (Keys{{87, 0}}));
}

// The ways by which the menu bar could take the keyboard for good when a box came, and the
// events after which the keys must be the form's again.
TEST_F(QtBackend, KeysComeBackToTheFormAfterTheMenuBarHadTheKeyboard) {
    enum class Then { box, click_on_field, activate_again };
    const auto alt = [](FormWindow& w) { QTest::keyClick(w.windowHandle(), Qt::Key_Alt); };
    const auto open_spiel_by_mouse = [](FormWindow& w) {
        const QRect title = w.menu_bar()->actionGeometry(w.menu_action("mnu_spiel"));
        QTest::mouseClick(w.menu_bar(), Qt::LeftButton, {}, title.center());
    };
    const auto esc_in_menu = [] {
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
    };
    const struct {
        const char* way_in;
        std::function<void(FormWindow&)> enter;
        Then then;
    } table[] = {
        {"Alt alone", alt, Then::box},
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
        {"Alt alone", alt, Then::click_on_field},
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
        if (row.then == Then::box) hit(form);
        if (row.then == Then::click_on_field) {
            ASSERT_TRUE(window.menu_bar()->hasFocus());
            QTest::mouseClick(window.client_area(), Qt::LeftButton, {}, QPoint(20, 20));
        }
        if (row.then == Then::activate_again) {
            activate(window_of(show_field("frm_zwei")));
            activate(window);
            EXPECT_EQ(window.focusWidget(), &window);
        }
        form.keys.clear();
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_S, Qt::Key_P, Qt::Key_Escape}) {
            QTest::keyClick(window.windowHandle(), key);
        }
        EXPECT_EQ(form.keys, (Keys{{40, 0}, {83, 0}, {80, 0}, {27, 0}}));
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
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Right, Qt::Key_P}) {
            QTest::keyClick(window.windowHandle(), key);
        }
        EXPECT_EQ(form->clicks, 2) << "Enter and Space press the button";
        EXPECT_EQ(form->keys, (preview ? Keys{{13, 0}, {32, 0}, {39, 0}, {80, 0}} : Keys{}));
    }
}

TEST_F(QtBackend, CloseBoxUnloadsTheFormAndTheLastOneEndsTheProgram) {
    const FieldForm* first = &show_field("frm_feld");
    const FieldForm* second = &show_field("frm_zwei");
    FormWindow* first_window = runtime->window(*first);
    first_window->close();
    EXPECT_EQ(runtime->form("frm_feld"), nullptr);
    EXPECT_EQ(runtime->window(*first), nullptr);
    EXPECT_FALSE(first_window->isVisible());
    EXPECT_FALSE(runtime->ended());
    runtime->window(*second)->close();
    EXPECT_TRUE(runtime->ended());
}

TEST_F(QtBackend, AModalBoxHasOneOkButtonNoIconAlignsByStyleAndHoldsTheTimers) {
    FieldForm& form = show_field();
    form.tmr_tick.set_interval(50);
    show_field();  // showing re-arms the wake-up, as the end of every handler does
    ASSERT_TRUE(runtime->wake_due().has_value());
    for (const int style : {0, ui::kBoxRightAligned}) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<MessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(box->windowTitle(), "Game Over");
            EXPECT_EQ(box->text_label().text(), "Schade, schade");
            EXPECT_EQ(box->text_label().alignment() & Qt::AlignHorizontal_Mask,
                      style == 0 ? Qt::AlignLeft : Qt::AlignRight);
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
        runtime->msg_box("Schade, schade", style, "Game Over");
        EXPECT_TRUE(seen) << style;
    }
}

TEST_F(QtBackend, ABoxSitsOverTheWindowOfTheFormThatOpenedItAndClosesByEnterEscOrCloseBox) {
    QApplication::setWindowIcon(ui::qt::picture_icon(ui::Picture::shell_open));
    FieldForm& form = show_field("frm_feld");
    FormWindow& owner = window_of(form);
    owner.move(40, 60);
    FormWindow& other = window_of(show_field("frm_zwei"));
    activate(other);  // another form is active when the box comes from frm_feld's timer
    const std::vector<std::function<void(MessageBox&)>> closes = {
        press_enter,
        [](MessageBox& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Escape); },
        [](MessageBox& box) { box.close(); },
    };
    for (std::size_t i = 0; i < closes.size(); ++i) {
        const MessageBox* seen = nullptr;
        hit(form, [&](MessageBox& box) {
            if (seen == nullptr) {
                seen = &box;
                EXPECT_EQ(box.parentWidget(), &owner);
                const QPoint offset = box.frameGeometry().center() - owner.frameGeometry().center();
                EXPECT_LE(offset.manhattanLength(), 2) << "not centred over its window";
                EXPECT_EQ(box.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
            }
            closes[i](box);
        });
        EXPECT_EQ(form.hits, static_cast<int>(i) + 1) << "the box stayed open";
    }
    // Opened outside any handler, a box belongs to the active form.
    activate(other);
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<MessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->parentWidget(), &other);
        box->accept();
    });
    runtime->msg_box("Schade", ui::kBoxOk, "Game Over");
    QApplication::setWindowIcon(QIcon());
}

// Counts the paint events of a widget.
class PaintCount : public QObject {
  public:
    explicit PaintCount(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(QtBackend, TimersDueTogetherFireInOrderInOneWakeUpAndOnePaint) {
    FieldForm& form = show_field();
    // A timer without a handler wakes nothing.
    form.tmr_zwei.set_interval(5);
    show_field();
    EXPECT_FALSE(runtime->wake_due().has_value());
    form.tmr_zwei.set_interval(0);
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
    PaintCount count(*window_of(form).client_area());
    run_until([&] { return !fired.empty(); });
    settle();
    EXPECT_EQ(fired, (std::vector<int>{1, 2})) << "both in one wake-up, in creation order";
    EXPECT_EQ(count.paints, 1) << "both moves in one paint";
    run_until([&] { return fired.size() >= 6; });
    EXPECT_TRUE(runtime->wake_due().has_value()) << "re-armed for the next tick";
}

}  // namespace
