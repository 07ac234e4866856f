// The window tests need one QApplication for the whole run; they draw on the offscreen platform.
#include "ui/main/EditorMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    // Also when the test list is read without the test environment (CTest's discovery step).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    kvn::ui::quietOffscreenMessages();
    // Nothing a test does may reach the user's own settings or data folder.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
