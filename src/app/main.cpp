// Featherlog: a field guide and bird-watching log for the birds of North America.

#include "state/AppState.h"
#include "state/Startup.h"
#include "app/Wiring.h"
#include "browser/frmDisplay.h"
#include "info/HelpKey.h"
#include "info/frmHelp.h"
#include "info/frmSplash.h"
#include "media/CdCommandInterpreter.h"
#include "platform/QtPlatform.h"
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
    platform.setHelpViewer([](const QString& topic) { fl::showHelpWindow(topic); });
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

    const std::unique_ptr<fl::frmDisplay> window = fl::createMainWindow(ctx);
    platform.setParentWindow(window.get());
    // F1: the page of the window in use, or of the command that opened it.
    fl::installHelpKey(platform, [w = window.get()] { return w->commands().running(); });
    try {
        // The splash covers the loading; the main window shows when it closes.
        fl::loadBehindSplash([&] { window->Form_Load(); },
                             [&] {
                                 // Without a window manager to maximise it, the window still fills the screen.
                                 window->setGeometry(window->screen()->availableGeometry());
                                 window->showMaximized();
                             });
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    return app.exec();
}
