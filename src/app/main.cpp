// Featherlog: a field guide and bird-watching log for the birds of North America.

#include "state/AppState.h"
#include "state/CommandLine.h"
#include "state/DataFolder.h"
#include "state/Startup.h"
#include "records/UpgradeBackup.h"
#include "app/TerminationSignals.h"
#include "app/Wiring.h"
#include "browser/frmDisplay.h"
#include "info/HelpKey.h"
#include "info/InfoTexts.h"
#include "info/frmHelp.h"
#include "info/frmSplash.h"
#include "media/CdCommandInterpreter.h"
#include "sightings/DataSafety.h"
#include "platform/QtPlatform.h"
#include "ui/Context.h"
#include "ui/GuardedApplication.h"

#include <QApplication>
#include <QScopeGuard>
#include <QScreen>
#include <cstdio>
#include <exception>

#ifndef FEATHERLOG_APP_ID
#error "FEATHERLOG_APP_ID must be defined by the build"
#endif

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList list;
    for (int i = 1; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace

int main(int argc, char** argv)
{
    // --help and --version answer before any window exists, so that they work without a display.
    const fl::CommandLine early = fl::parseCommandLine(argumentsOf(argc, argv));
    if (early.action == fl::CommandLine::Action::Help) {
        std::fputs(qUtf8Printable(fl::commandLineHelp()), stdout);
        return 0;
    }
    if (early.action == fl::CommandLine::Action::Version) {
        std::printf("Featherlog %s\n", qUtf8Printable(fl::info::version()));
        return 0;
    }

    fl::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Featherlog"));
    QApplication::setApplicationVersion(fl::info::version());
    QGuiApplication::setDesktopFileName(QStringLiteral(FEATHERLOG_APP_ID));
    // The windowing system's own options are gone from the arguments now; what is left is ours.
    const fl::CommandLine options = fl::parseCommandLine(QApplication::arguments().mid(1));
    if (options.action == fl::CommandLine::Action::Error) {
        std::fprintf(stderr, "featherlog: %s\nTry 'featherlog --help' for more information.\n",
                     qUtf8Printable(options.error));
        return 2;
    }
    fl::endRunOnTerminationSignals();

    // Where the user's data is, decided in one place; the folder is made ready on first use.
    const fl::RunFolders folders = fl::settleRunFolders(QCoreApplication::applicationDirPath(), options.dataFolder);
    fl::AppState state;
    state.dataFolder = folders.data;
    state.shareFolder = folders.share;

    fl::QtPlatform platform;
    platform.setHelpFolder(state.shareFolder);
    platform.setHelpViewer([&platform](const QString& topic) { fl::showHelpWindow(platform, topic); });
    platform.setCdDevice(std::make_unique<fl::CdCommandInterpreter>(state.dataFolder));
    fl::Context ctx{state, platform, nullptr};
    // An error that escapes the guard is told through the platform while it is there.
    app.setPlatform(&platform);
    const auto platformGone = qScopeGuard([&app] { app.setPlatform(nullptr); });

    auto fail = [&](const QString& message) {
        std::fprintf(stderr, "featherlog: %s\n", qUtf8Printable(message));
        platform.messageBox(message, QStringLiteral("Featherlog"), fl::Platform::Buttons::Ok,
                            fl::Platform::Icon::Critical);
        return 1;
    };
    if (!folders.problem.isEmpty()) return fail(folders.problem);
    // A file of an older version is backed up into Backups before it is brought up to date.
    if (!fl::openDatabaseAtStart(ctx, [&state](fl::db::Database& db, int fromVersion) {
            fl::backupBeforeUpgrade(db, state.dataFolder, fromVersion);
        }))
        return 1;

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
    if (!fl::terminationRequested()) fl::checkDataAfterStart(ctx);
    const int result = fl::terminationRequested() ? 0 : app.exec();
    // Ended by the session rather than by the user: the window's exit steps run all the same.
    if (window->isVisible()) window->close();
    return result;
}
