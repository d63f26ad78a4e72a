#include <QApplication>

#include <gtest/gtest.h>

// Widget tests run inside a real QApplication (the offscreen platform is set by CTest).
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plumo-tests"));
    return RUN_ALL_TESTS();
}
