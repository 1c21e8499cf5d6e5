// Entry point of the widget tests: a QApplication on the offscreen platform.
#include "TestProcess.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    fl::test::prepareTestProcess();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
