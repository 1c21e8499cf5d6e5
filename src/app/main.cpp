// Featherlog: a field guide and bird-watching log for the birds of North America.

#include "AppState.h"
#include "Startup.h"
#include "browser/frmDisplay.h"
#include "media/CdCommandInterpreter.h"
#include "platform/QtPlatform.h"
#include "ui/Commands.h"
#include "ui/Context.h"

#include <QApplication>
#include <QScreen>
#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Featherlog"));

    fl::AppState state;
    state.appFolder = QCoreApplication::applicationDirPath();
    fl::QtPlatform platform;
    platform.setHelpFolder(state.appFolder);
    platform.setCdDevice(std::make_unique<fl::CdCommandInterpreter>(state.appFolder));
    fl::Context ctx{state, platform, nullptr};

    auto fail = [&](const QString& message) {
        platform.messageBox(message, QStringLiteral("Featherlog"), fl::Platform::Buttons::Ok,
                            fl::Platform::Icon::Critical);
        return 1;
    };
    try {
        fl::openAndLoadOptions(state);
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }

    fl::frmDisplay window(ctx);
    platform.setParentWindow(&window);
    fl::connectCommands(ctx);
    try {
        window.Form_Load();
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    // Without a window manager to maximise it, the window still fills the screen.
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    return app.exec();
}
