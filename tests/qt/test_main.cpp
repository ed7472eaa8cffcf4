// The window tests need one QApplication for the whole run (QT_QPA_PLATFORM=offscreen).
#include <gtest/gtest.h>

#include <QApplication>

namespace {
QtMessageHandler default_handler = nullptr;

// The offscreen platform warns that it cannot raise windows, on every show.
void quiet_platform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    default_handler(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
    // Never real windows, also when the test list is read without CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    default_handler = qInstallMessageHandler(quiet_platform);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
