// The dialogs in real (offscreen) windows: their OK button has the keys, and while a dialog is
// the active window the game behind it gets none.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

#include "app/forms.h"
#include "single_player/frm_main.h"
#include "ui/qt/form_window.h"
#include "ui/qt/qt_runtime.h"

namespace {

using ui::qt::FormWindow;
using ui::qt::QtRuntime;

void send_key(QWidget& window, QEvent::Type type, int key, const QString& text = {}) {
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(window.windowHandle(), &event);
}

TEST(QtDialogs, EnterOrSpaceOnTheFocusedOkClosesOnlyTheDialog) {
    const struct {
        int key;
        QString text;
    } keys[] = {{Qt::Key_Return, "\r"}, {Qt::Key_Enter, "\r"}, {Qt::Key_Space, " "}};
    for (const char* dialog : {"frm_hilfe", "frm_Tastatur2", "frm_ueber"}) {
        for (const auto& key : keys) {
            SCOPED_TRACE(::testing::Message() << dialog << " key 0x" << std::hex << key.key);
            QtRuntime rt;
            app::register_forms(rt);
            rt.show("frm_main");
            FormWindow* window = rt.window(*rt.show(dialog));
            ASSERT_NE(window, nullptr);
            auto* ok = window->findChild<QPushButton*>();
            ASSERT_NE(ok, nullptr);
            EXPECT_EQ(window->focusWidget(), ok);
            EXPECT_EQ(ok->text(), "OK");

            send_key(*window, QEvent::KeyPress, key.key, key.text);
            send_key(*window, QEvent::KeyRelease, key.key, key.text);
            EXPECT_EQ(rt.form(dialog), nullptr);
            EXPECT_NE(rt.form("frm_main"), nullptr);
            EXPECT_FALSE(rt.ended());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}

TEST(QtDialogs, AnActiveDialogKeepsTheKeysFromTheGame) {
    QtRuntime rt;
    app::register_forms(rt);
    auto* game = dynamic_cast<single_player::frm_main*>(rt.show("frm_main"));
    ASSERT_NE(game, nullptr);
    FormWindow* game_window = rt.window(*game);
    game_window->menu_action("mnu_Tastaturbelegung")->trigger();
    FormWindow* dialog = rt.window(*rt.form("frm_Tastatur"));
    ASSERT_NE(dialog, nullptr);
    // Shown and activated by the menu entry.
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), dialog);

    send_key(*QApplication::activeWindow(), QEvent::KeyPress, Qt::Key_Right);
    EXPECT_EQ(game->Richtung, 0) << "the key steered the ball";
    EXPECT_NE(rt.form("frm_Tastatur"), nullptr);

    // Back in the game window the same key steers.
    QApplication::setActiveWindow(game_window);
    send_key(*QApplication::activeWindow(), QEvent::KeyPress, Qt::Key_Right);
    EXPECT_NE(game->Richtung, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
