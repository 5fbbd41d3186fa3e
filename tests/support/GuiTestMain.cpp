// The main of the GUI tests: a QApplication on the platform QT_QPA_PLATFORM names (offscreen
// when it names none), made through the program's own start-up, then every test.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QString>
#include <cstdlib>

#include "platform/core/Application.h"

namespace {

QtMessageHandler QtDefault = nullptr;

// The offscreen platform says so every time a host is raised or masked; nothing to see.
void QuietHandler(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    if (Text.startsWith(QLatin1String("This plugin does not support"))) return;
    QtDefault(Type, Context, Text);
}

}  // namespace

int main(int argc, char** argv) {
    QtDefault = qInstallMessageHandler(QuietHandler);
    const char* Platform = std::getenv("QT_QPA_PLATFORM");
    if (!Platform || !*Platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Pixel sizes must not depend on the machine's settings.
    unsetenv("QT_FONT_DPI");
    unsetenv("QT_SCALE_FACTOR");
    unsetenv("QT_SCREEN_SCALE_FACTORS");
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(argc, argv, true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
