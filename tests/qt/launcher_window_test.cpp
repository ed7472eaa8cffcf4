// The launcher and the splash in real (offscreen) windows: their frames and sizes,
// auto-repeated keys on the launcher, and the shot drawn as a circle.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWindow>
#include <cstdlib>

#include "app/forms.h"
#include "launcher/frm_menu.h"
#include "ui/qt/form_window.h"
#include "ui/qt/qt_runtime.h"

namespace {

using ui::qt::FormWindow;
using ui::qt::QtRuntime;

class QtLauncher : public ::testing::Test {
  protected:
    QtLauncher() { app::register_forms(rt); }
    ~QtLauncher() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QtRuntime rt;
};

TEST_F(QtLauncher, LauncherIsAFixedDialogAndTheSplashHasNoFrame) {
    const struct {
        const char* form;
        QString title;
        Qt::WindowType type;
        bool frameless;
        QSize client;
    } rows[] = {
        {"frm_menu", "Menu", Qt::Dialog, false, {428, 392}},
        {"frm_start", "Muranko", Qt::SplashScreen, true, {250, 166}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.form);
        FormWindow* window = rt.window(*rt.show(row.form));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), row.title);
        EXPECT_EQ(window->menu_bar(), nullptr);
        EXPECT_EQ(window->size(), row.client);
        EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "resizable";
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, row.type);
        EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), row.frameless);
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), !row.frameless);
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    }
}

TEST_F(QtLauncher, EveryAutoRepeatedKeyDownStepsTheSprite) {
    auto* menu = dynamic_cast<launcher::frm_menu*>(rt.show(app::kStartForm));
    ASSERT_NE(menu, nullptr);
    QWindow* handle = rt.window(*menu)->windowHandle();
    ASSERT_NE(handle, nullptr);
    // One real press, then four repeats of the held key.
    for (int i = 0; i < 5; ++i) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), i > 0);
        QCoreApplication::sendEvent(handle, &event);
    }
    EXPECT_EQ(menu->img_menuUFO.top(), -21);
}

TEST_F(QtLauncher, TheShotIsARoundBlackDot) {
    auto* menu = dynamic_cast<launcher::frm_menu*>(rt.show(app::kStartForm));
    ASSERT_NE(menu, nullptr);
    // 9 x 6 pixels of box at (10, 280), clear of the other controls: the circle fills the
    // shorter side, centred.
    menu->shp_schuss.move(-50 + 10 * 15 / 64.34994f, -50 + 280 * 15 / 58.94973f);
    menu->shp_schuss.set_visible(true);
    QCoreApplication::processEvents();
    QWidget* client = rt.window(*menu)->client_area();
    const QImage image = client->grab(QRect(0, 270, 30, 30)).toImage();
    QRect dark;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            // Mostly black on the dark blue (antialiased edges count from half dark).
            if (qBlue(image.pixel(x, y)) < 96) dark |= QRect(x, 270 + y, 1, 1);
        }
    }
    // Not the 9 x 6 oval of the whole box; a pixel of slack for the antialiased edges.
    EXPECT_LE(std::abs(dark.width() - dark.height()), 1) << dark.width() << "x" << dark.height();
    EXPECT_LE(dark.width(), 7);
    EXPECT_LE((dark.center() - QRect(10, 280, 9, 6).center()).manhattanLength(), 1);
}

}  // namespace
