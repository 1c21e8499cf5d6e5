// Entry point of the widget tests: a QApplication on the offscreen platform.
#include "ui/CommandRegistry.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A command used under an id the registry does not know, or given twice, fails the test
    // that does it.
    fl::CommandRegistry::setMisuseHandler(
        [](const QString& problem) { ADD_FAILURE() << "command registry: " << problem.toStdString(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
