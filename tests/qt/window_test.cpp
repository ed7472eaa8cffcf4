// The Qt backend against small test forms: window frames, the menu's check marks, painting at the
// scaled place, keys and focus, the close box and the message box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <vector>

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
using ui::qt::MessageBox;
using ui::qt::QtRuntime;
using Keys = std::vector<KeyPress>;

// Runs the event loop until `done` holds, handing each open message box to `close`.
void run_until(const std::function<bool()>& done, const std::function<void(MessageBox&)>& close) {
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

void press_enter(MessageBox& box) {
    QTest::keyClick(box.windowHandle(), Qt::Key_Return);
}

// The offscreen platform activates a window only when asked.
void activate(QWidget& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

void type(FormWindow& window, const std::vector<Qt::Key>& keys) {
    for (const Qt::Key key : keys) QTest::keyClick(window.windowHandle(), key);
}

class QtBackend : public ::testing::Test {
  protected:
    QtBackend() {
        for (const char* name : {"frm_feld", "frm_zwei"}) {
            runtime->register_form(
                name, [name](ui::Runtime& rt) { return std::make_unique<FieldForm>(rt, name); });
        }
        runtime->register_form("frm_knopf", [this](ui::Runtime& rt) {
            return std::make_unique<ButtonForm>(rt, border);
        });
    }
    ~QtBackend() override {
        runtime.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    FieldForm& show_field(const char* name = "frm_feld") {
        return *dynamic_cast<FieldForm*>(runtime->show(name));
    }
    FormWindow& window_of(const ui::Form& form) { return *runtime->window(form); }
    // A fish hit: a message box from a timer's handler, handed to `close`.
    void hit(FieldForm& form, const std::function<void(MessageBox&)>& close = press_enter) {
        const int hits = form.hits;
        form.hit_on_tick = true;
        form.tmr_tick.set_interval(1);
        runtime->click(form, "mnu_start");  // the end of a handler arms the wake for it
        run_until([&] { return form.hits > hits; }, close);
        form.tmr_tick.set_interval(0);
    }

    ui::BorderStyle border = ui::BorderStyle::fixed_single;
    std::unique_ptr<QtRuntime> runtime = std::make_unique<QtRuntime>();
};

TEST_F(QtBackend, BorderStylesGiveFixedWindowsAndTheCloseBoxOfTheLastOneEndsTheProgram) {
    const struct {
        ui::BorderStyle border;
        Qt::WindowType type;
    } rows[] = {{ui::BorderStyle::fixed_single, Qt::Window},
                {ui::BorderStyle::fixed_dialog, Qt::Dialog},
                {ui::BorderStyle::none, Qt::SplashScreen}};
    show_field("frm_zwei");  // so that unloading frm_knopf does not end it all
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.border));
        border = row.border;
        FormWindow& window = window_of(*runtime->show("frm_knopf"));
        EXPECT_EQ(window.size(), QSize(269, 210)) << "twips over fifteen";
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "resizable";
        const Qt::WindowFlags flags = window.windowFlags();
        const bool frameless = row.border == ui::BorderStyle::none;
        EXPECT_EQ(flags & Qt::WindowType_Mask, row.type);
        EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), frameless);
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), !frameless);
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        runtime->unload(*runtime->form("frm_knopf"));
    }
    window_of(show_field()).close();
    EXPECT_EQ(runtime->form("frm_feld"), nullptr);
    EXPECT_FALSE(runtime->ended());
    window_of(*runtime->form("frm_zwei")).close();
    EXPECT_TRUE(runtime->ended());
}

TEST_F(QtBackend, MenuEntriesShowTheModelsCheckMarksAndGreying) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    window.menu_action("mnu_profis")->trigger();
    window.menu_action("mnu_profis")->trigger();  // Qt would clear the mark; the model keeps it
    form.mnu_start.set_enabled(false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.menu_action("mnu_anfanger")->isChecked());
    EXPECT_TRUE(window.menu_action("mnu_profis")->isChecked());
    // Only an entry with a check mark has room for one.
    EXPECT_FALSE(window.menu_action("mnu_anfanger")->isCheckable());
    EXPECT_FALSE(window.menu_action("mnu_start")->isCheckable());
    EXPECT_FALSE(window.menu_action("mnu_start")->isEnabled());
}

TEST_F(QtBackend, PaintsTheModelAtItsScaledPlaceAndRedrawsOnlyAroundAStep) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    form.img_ball.set_visible(false);
    QCoreApplication::processEvents();
    const QImage shot = window.client_area()->grab().toImage();
    const QColor back(0x00, 0x00, 0xC0), fill(0xFF, 0, 0), border_color(0, 0xFF, 0);
    // The shape spans units 0..30 on both axes: pixels 100..150 across, 50..75 down.
    const std::vector<std::pair<QPoint, QColor>> probes = {
        {{99, 60}, back},          {{150, 60}, back},         {{120, 49}, back}, {{120, 75}, back},
        {{100, 60}, border_color}, {{120, 74}, border_color}, {{101, 51}, fill}, {{148, 73}, fill}};
    for (const auto& [at, color] : probes)
        EXPECT_EQ(shot.pixelColor(at), color) << at.x() << "," << at.y();
    // From (-50, -50) to (-49, -48): 16.7 px, 8.3 px -> about 18.3 px, 10 px; 14 x 9 pixels.
    form.img_ball.set_visible(true);
    QCoreApplication::processEvents();
    form.img_ball.move(-49, -48);
    QCoreApplication::processEvents();
    const QRegion region = window.last_update_region();
    EXPECT_TRUE(region.contains(QRect(17, 8, 14, 9))) << "old place";
    EXPECT_TRUE(region.contains(QRect(18, 10, 14, 9))) << "new place";
    EXPECT_EQ(region.rectCount(), 1);
    EXPECT_LE(region.boundingRect().width() * region.boundingRect().height(), 19 * 15);
}

TEST_F(QtBackend, AMinimisedWindowShownAgainComesBackActive) {
    FormWindow& window = window_of(show_field());
    activate(window_of(show_field("frm_zwei")));
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    show_field();
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST_F(QtBackend, AWindowDestroyedByAnotherProgramUnloadsItsFormAndAnswersItsBox) {
    FieldForm& form = show_field();
    const auto field = window_of(form).internalWinId();
    FormWindow& window = window_of(show_field("frm_zwei"));
    form.hit_on_tick = true;
    form.tmr_tick.set_interval(1);
    runtime->click(form, "mnu_start");
    run_until([&] { return runtime->form("frm_feld") == nullptr; },
              [&](MessageBox& box) {
                  runtime->native_window_destroyed(box.internalWinId());
                  runtime->native_window_destroyed(field);
              });
    runtime->native_window_destroyed(window.internalWinId());
    EXPECT_TRUE(runtime->ended());
}

TEST(QtKeys, VirtualKeyCodes) {
    const std::vector<std::pair<int, int>> table = {
        {Qt::Key_Left, 37},  {Qt::Key_Up, 38},     {Qt::Key_Right, 39},  {Qt::Key_Down, 40},
        {Qt::Key_Space, 32}, {Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
        {Qt::Key_A, 65},     {Qt::Key_Z, 90},      {Qt::Key_0, 48},      {Qt::Key_F1, 112},
        {Qt::Key_Shift, 16}, {Qt::Key_Alt, 18},    {Qt::Key_Delete, 46}, {Qt::Key_Adiaeresis, 0}};
    for (const auto& [qt_key, code] : table)
        EXPECT_EQ(ui::qt::virtual_key(qt_key), code) << "Qt key 0x" << std::hex << qt_key;
}

TEST_F(QtBackend, EveryKeyReachesTheFormButAltWithAMenusAccessKey) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    activate(window);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Keys delivered;  // a modifier arrives as a key of its own first
    } table[] = {
        {Qt::Key_P, Qt::ControlModifier, {{17, 2}, {80, 2}}},
        {Qt::Key_Left, Qt::AltModifier, {{18, 4}, {37, 4}}},
        {Qt::Key_S, Qt::AltModifier, {{18, 4}}},  // opens the menu
    };
    for (const auto& row : table) {
        form.keys.clear();
        QTest::keyClick(window.windowHandle(), row.key, row.modifiers);
        EXPECT_EQ(form.keys, row.delivered) << row.key;
    }
    ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "Alt+S opened no menu";
    QApplication::activePopupWidget()->close();
}

// The ways by which the menu bar could keep the keyboard for good, and the ways the form takes
// the keys back: after a box, a click on the playfield, or when its window is active again.
TEST_F(QtBackend, KeysComeBackToTheFormAfterAMenuByABoxAClickOrAnotherWindow) {
    const auto alt = [](FormWindow& w) { QTest::keyClick(w.windowHandle(), Qt::Key_Alt); };
    const auto open_spiel = [](FormWindow& w) {
        const QRect title = w.menu_bar()->actionGeometry(w.menu_action("mnu_spiel"));
        QTest::mouseClick(w.menu_bar(), Qt::LeftButton, {}, title.center());
    };
    const auto esc_in_menu = [] {
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
    };
    const std::vector<std::pair<const char*, std::function<void(FormWindow&)>>> ways_in = {
        {"Alt alone", alt},
        {"Alt+S, Esc",
         [&](FormWindow& w) {
             QTest::keyClick(w.windowHandle(), Qt::Key_S, Qt::AltModifier);
             esc_in_menu();
         }},
        {"click Spiel, Esc",
         [&](FormWindow& w) {
             open_spiel(w);
             esc_in_menu();
         }},
        {"menu left open", open_spiel},
        {"focus left on the menu bar", [](FormWindow& w) { w.menu_bar()->setFocus(); }},
    };
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    const std::vector<std::pair<const char*, std::function<void()>>> ways_out = {
        {"a box", [&] { hit(form); }},
        {"a click", [&] { QTest::mouseClick(window.client_area(), Qt::LeftButton); }},
        {"another window and back",
         [&] {
             activate(window_of(show_field("frm_zwei")));
             activate(window);
         }},
    };
    for (const auto& [way_in, enter] : ways_in) {
        for (const auto& [way_out, leave] : ways_out) {
            // These close an open menu first: the window sees neither.
            if (std::string_view(way_in) == "menu left open" && way_out != ways_out[0].first)
                continue;
            SCOPED_TRACE(std::string(way_in) + ", then " + way_out);
            activate(window);
            enter(window);
            leave();
            EXPECT_EQ(window.focusWidget(), &window);
            form.keys.clear();
            type(window, {Qt::Key_Down, Qt::Key_S, Qt::Key_P, Qt::Key_Escape});
            EXPECT_EQ(form.keys, (Keys{{40, 0}, {83, 0}, {80, 0}, {27, 0}}));
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "S opened the menu";
        }
    }
}

TEST_F(QtBackend, WhileTheMenuBarIsInUseItHasTheKeys) {
    FieldForm& form = show_field();
    FormWindow& window = window_of(form);
    activate(window);
    QTest::keyClick(window.windowHandle(), Qt::Key_Alt);
    form.keys.clear();
    type(window, {Qt::Key_Right, Qt::Key_Down});
    EXPECT_EQ(form.keys, Keys{});
    ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "Down opened no menu";
    QApplication::activePopupWidget()->close();
}

TEST_F(QtBackend, AButtonKeepsTheKeysAfterABoxOrAClickAndTheFormSeesThemOnlyWithPreview) {
    show_field("frm_zwei");  // so that unloading frm_knopf does not end it all
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview);
        auto* form = dynamic_cast<ButtonForm*>(runtime->show("frm_knopf"));
        form->set_key_preview(preview);
        FormWindow& window = window_of(*form);
        activate(window);
        bool closed = false;
        QTimer::singleShot(0, [&] {
            runtime->msg_box("Hallo", ui::kBoxOk, "Info");
            closed = true;
        });
        run_until([&] { return closed; }, press_enter);
        QTest::mouseClick(window.client_area(), Qt::LeftButton, {}, QPoint(5, 5));
        type(window, {Qt::Key_Return, Qt::Key_Space, Qt::Key_Right, Qt::Key_P});
        EXPECT_EQ(form->clicks, 2) << "Enter and Space press the button";
        EXPECT_EQ(form->keys, (preview ? Keys{{13, 0}, {32, 0}, {39, 0}, {80, 0}} : Keys{}));
        runtime->unload(*form);
    }
}

// A box from frm_feld's timer while frm_zwei is the active window.
TEST_F(QtBackend, ABoxSitsOverItsFormsWindowHasOneOkButtonAlignsLeftAndHoldsTheTimers) {
    FieldForm& form = show_field();
    FormWindow& owner = window_of(form);
    activate(window_of(show_field("frm_zwei")));
    hit(form, [&](MessageBox& box) {
        EXPECT_EQ(box.parentWidget(), &owner);
        EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box.windowTitle(), "Treffer");
        EXPECT_EQ(box.text_label().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        EXPECT_FALSE(runtime->wake_due().has_value()) << "timers fire while a box is open";
        const auto buttons = box.findChildren<QAbstractButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons[0]->text().remove('&'), "OK");
        EXPECT_NEAR(buttons[0]->mapTo(&box, buttons[0]->rect().center()).x(), box.width() / 2, 2);
        EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        buttons[0]->click();
    });
    hit(form, [](MessageBox& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Escape); });
    hit(form, [](MessageBox& box) { box.close(); });
    // A box outside any handler stops the wake-up that a running timer had set.
    form.tmr_tick.set_interval(50);
    show_field();  // showing arms the wake-up, as the end of every handler does
    ASSERT_TRUE(runtime->wake_due().has_value());
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(runtime->wake_due().has_value()) << "timers fire while a box is open";
        qobject_cast<MessageBox*>(QApplication::activeModalWidget())->accept();
    });
    runtime->msg_box("Schade", ui::kBoxOk, "Game Over");
}

}  // namespace
