// Entry point of the widget tests: the program's application object on the offscreen platform.
#include "TestProcess.h"
#include "ui/CommandRegistry.h"
#include "ui/GuardedApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    fl::test::prepareTestProcess();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    fl::GuardedApplication app(argc, argv);
    // A command used under an id the registry does not know, or given twice, fails the test
    // that does it.
    fl::CommandRegistry::setMisuseHandler(
        [](const QString& problem) { ADD_FAILURE() << "command registry: " << problem.toStdString(); });
    // An error that escapes the windows' guard fails the test it happens in.
    app.setObserver([](const QString& message) {
        ADD_FAILURE() << "an error escaped into the event loop: " << message.toStdString();
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
