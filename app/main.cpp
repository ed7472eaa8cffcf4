// The program: the forms on the Qt runtime, starting on the start form.
#include <QApplication>
#include <cstdlib>
#include <optional>

#include "app/forms.h"
#include "ui/qt/display.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qt_runtime.h"

int main(int argc, char** argv) {
    ui::qt::QtRuntime::prepare_platform();
    std::optional<ui::qt::DisplayCheck> display_check(std::in_place, "muranko", argc, argv);
    QApplication app(argc, argv);
    display_check.reset();
    // The program's icon, which its message boxes carry too.
    QApplication::setWindowIcon(ui::qt::picture_icon(ui::Picture::fish_purple));
    // The runtime ends the program: when the last form is closed, or at once on End.
    QApplication::setQuitOnLastWindowClosed(false);

    ui::qt::QtRuntime runtime;
    app::register_forms(runtime);
    runtime.show(app::kStartForm);
    // Nothing to show and nothing that would ever quit the event loop.
    if (runtime.forms().empty() && !runtime.ended()) return EXIT_FAILURE;
    return QApplication::exec();
}
