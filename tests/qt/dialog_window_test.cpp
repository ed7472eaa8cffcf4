// The dialogs in real (offscreen) windows: while one is the active window the game behind it
// gets no keys, and Enter or Space press its focused OK button.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

#include "app/forms.h"
#include "single_player/frm_main.h"
#include "ui/qt/form_window.h"
#include "ui/qt/qt_runtime.h"

namespace {

void send_key(QWidget& window, int key, const QString& text = {}) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(window.windowHandle(), &event);
    }
}

TEST(QtDialogs, TheActiveDialogTakesTheKeysAndItsOkClosesItByEnterOrSpace) {
    ui::qt::QtRuntime rt;
    app::register_forms(rt);
    auto* game = dynamic_cast<single_player::frm_main*>(rt.show("frm_main"));
    ASSERT_NE(game, nullptr);
    const struct {
        const char* entry;
        const char* dialog;
        int key;
        QString text;
    } rows[] = {{"mnu_hilfe", "frm_hilfe", Qt::Key_Return, "\r"},
                {"mnu_Tastaturbelegung", "frm_Tastatur", Qt::Key_Enter, "\r"},
                {"mnu_ueber", "frm_ueber", Qt::Key_Space, " "}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.dialog);
        rt.window(*game)->menu_action(row.entry)->trigger();
        QCoreApplication::processEvents();
        const ui::Form* form = rt.form(row.dialog);
        ASSERT_NE(form, nullptr);
        ui::qt::FormWindow* window = rt.window(*form);
        ASSERT_EQ(QApplication::activeWindow(), window);
        EXPECT_EQ(window->focusWidget(), window->findChild<QPushButton*>());

        send_key(*QApplication::activeWindow(), Qt::Key_Right);
        EXPECT_EQ(game->Richtung, 0) << "the key steered the ball";
        send_key(*window, row.key, row.text);
        EXPECT_EQ(rt.form(row.dialog), nullptr);
    }
    EXPECT_FALSE(rt.ended());
    // Back in the game window the same key steers.
    QApplication::setActiveWindow(rt.window(*game));
    send_key(*QApplication::activeWindow(), Qt::Key_Right);
    EXPECT_NE(game->Richtung, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
