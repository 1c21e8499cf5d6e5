// Entry point of the widget tests: the program's application object on the offscreen platform.
#include "TestProcess.h"
#include "ui/GuardedApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    fl::test::prepareTestProcess();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    fl::GuardedApplication app(argc, argv);
    // An error that escapes the windows' guard fails the test it happens in.
    app.setObserver([](const QString& message) {
        ADD_FAILURE() << "an error escaped into the event loop: " << message.toStdString();
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
