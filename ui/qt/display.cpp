#include "ui/qt/display.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace ui::qt {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category, file, function;
    int line;
    QString text;
};

std::string program_name;
QtMessageHandler previous_handler = nullptr;
std::vector<HeldMessage> held;

[[noreturn]] void no_display(const std::string& why) {
    std::fprintf(stderr, "%s: no display to open a window on: %s\n", program_name.c_str(),
                 why.c_str());
    std::fflush(stderr);
    // Straight out: the platform is half set up, and Qt would abort once this returns.
    std::_Exit(EXIT_FAILURE);
}

// "DISPLAY=:1 is not reachable, WAYLAND_DISPLAY is not set".
std::string unreachable() {
    std::string named, unnamed;
    int count = 0;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const QByteArray value = qgetenv(variable);
        if (value.isEmpty()) {
            unnamed = std::string(", ") + variable + " is not set";
            continue;
        }
        named += (count++ > 0 ? " and " : "") + std::string(variable) + "=" + value.toStdString();
    }
    return named + (count > 1 ? " are" : " is") + " not reachable" + unnamed;
}

void hold_platform_messages(QtMsgType type, const QMessageLogContext& context,
                            const QString& text) {
    if (type == QtFatalMsg) no_display(unreachable());
    const std::string category = context.category != nullptr ? context.category : "";
    if (category.rfind("qt.qpa", 0) != 0) {
        previous_handler(type, context, text);
        return;
    }
    held.push_back({type, category, context.file != nullptr ? context.file : "",
                    context.function != nullptr ? context.function : "", context.line, text});
}

// The platform Qt is asked for: "-platform NAME" on the command line, else QT_QPA_PLATFORM.
QString requested_platform(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0) {
            return QString::fromLocal8Bit(argv[i + 1]);
        }
    }
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

}  // namespace

DisplayCheck::DisplayCheck(const char* program, int argc, char** argv) {
    program_name = program;
    const QString platform = requested_platform(argc, argv);
    const bool needs_display =
        platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    if (!needs_display) return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        no_display("neither DISPLAY nor WAYLAND_DISPLAY is set");
    }
    previous_handler = qInstallMessageHandler(hold_platform_messages);
}

DisplayCheck::~DisplayCheck() {
    if (previous_handler == nullptr) return;
    qInstallMessageHandler(previous_handler);
    // The platform started after all (say, on its second choice): its warnings stand.
    for (const HeldMessage& m : held) {
        const QMessageLogContext context(m.file.c_str(), m.line, m.function.c_str(),
                                         m.category.c_str());
        previous_handler(m.type, context, m.text);
    }
    held.clear();
    previous_handler = nullptr;
}

}  // namespace ui::qt
