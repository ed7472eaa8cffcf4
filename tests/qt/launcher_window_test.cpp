// The launcher's shot in a real (offscreen) window: drawn as a circle.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
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
