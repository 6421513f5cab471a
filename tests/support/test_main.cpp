// The shared test main: a Qt application object (so the event loop, timers
// and sockets work) and GoogleTest. Tests run offscreen unless told otherwise.

#include <gtest/gtest.h>

#include <QtGlobal>

#ifdef ORLO_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
