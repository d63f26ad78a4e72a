#include <QApplication>

#include <gtest/gtest.h>

// Widget tests run inside a real QApplication on the offscreen platform, also when
// CTest lists them.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plumo-tests"));
    return RUN_ALL_TESTS();
}
