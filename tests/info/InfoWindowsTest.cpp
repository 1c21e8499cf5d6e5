#include "Harness.h"

#include "info/frmAbout.h"
#include "info/frmCredit.h"
#include "info/frmSplash.h"
#include "ui/ImageList.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace fl;
using test::Harness;

namespace {

QString sourceFile(const char* name)
{
    QFile f(QStringLiteral(FEATHERLOG_SOURCE_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// What the main window shows, to see that an information window leaves it alone.
QStringList mainWindowState(Harness& h)
{
    QStringList s = h.names();
    s << h.shown() << QString::number(h.page().list()->currentIndex()) << h.page().description()->toPlainText();
    for (const char* p : {"Region", "Type", "Hits", "Life"}) s << h.panel(p);
    return s;
}

QStringList visibleTopLevels(const char* objectName)
{
    QStringList found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(objectName) && w->isVisible()) found << w->objectName();
    return found;
}

template <typename Dialog>
void closeWithOk(Harness& h, CommandId command, const std::function<void(Dialog&)>& check)
{
    const QStringList before = mainWindowState(h);
    const qint64 options = h.scalar("SELECT count(*) FROM Options").toLongLong();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr) << qPrintable(command.name()) << " shows its window modally";
        seen = true;
        check(*d);
        d->cmdOK->click();
    });
    h.run(command);
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "OK closed it";
    EXPECT_EQ(mainWindowState(h), before);
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Options").toLongLong(), options);
    EXPECT_TRUE(h.platform.messages.isEmpty());
}

} // namespace

TEST(InfoWindows, AboutShowsOurNameVersionLicenceAndContactCreditsOurSources)
{
    Harness h;
    h.run(cmd::mnuViewNext);
    closeWithOk<frmAbout>(h, cmd::mnuHelpAbout, [&h](frmAbout& d) {
        EXPECT_EQ(d.windowTitle(), "About Featherlog");
        EXPECT_EQ(d.lblTitle->text(), "Featherlog");
        EXPECT_EQ(d.lblVersion->text(), QStringLiteral("Version " PROJECT_VERSION_TEXT)) << "the build's version";
        EXPECT_EQ(d.cmdOK->text(), "&OK");
        EXPECT_FALSE(d.picIcon->pixmap().isNull());
        EXPECT_TRUE(d.lblCopyright->text().contains("The Featherlog developers"));
        EXPECT_TRUE(d.lblDisclaimer->text().contains("MIT License"));
        EXPECT_TRUE(d.lblContact->text().contains("repository"));
        EXPECT_TRUE(d.lblData->text().endsWith("is kept in\n" + QDir::toNativeSeparators(h.state.dataFolder)))
            << qPrintable(d.lblData->text());
        EXPECT_TRUE(d.lblData->text().contains("Images, Songs, CD and Backups"));
        EXPECT_TRUE(d.lblData->textInteractionFlags() & Qt::TextSelectableByMouse) << "the folder can be copied";
    });
    // The notice matches the licence that comes with the sources.
    const QString licence = sourceFile("LICENSE");
    EXPECT_TRUE(licence.startsWith("MIT License"));
    EXPECT_TRUE(licence.contains("Copyright (c) 2026 The Featherlog developers"));

    // The credits name our sources honestly.
    h.run(cmd::mnuViewLast);
    closeWithOk<frmCredit>(h, cmd::mnuHelpCredits, [](frmCredit& d) {
        EXPECT_EQ(d.windowTitle(), "Featherlog Credits");
        EXPECT_EQ(d.windowIcon().pixmap(32).toImage(), ImageList1::icon(20).pixmap(32).toImage()) << "icon 20";
        EXPECT_FALSE(d.picCredit->pixmap().isNull());
        EXPECT_FALSE(d.lblThanks->text().isEmpty());
        QString all;
        for (QLabel* l : d.lblSource) all += l->text() + u'\n';
        EXPECT_TRUE(all.contains("7th edition, through its 65th Supplement (2024)"));
        EXPECT_TRUE(all.contains("eBird/Clements Checklist of Birds of the World, v2025"));
        EXPECT_TRUE(all.contains("Institute for Bird Populations"));
        EXPECT_TRUE(all.contains("silhouette"));
        EXPECT_TRUE(all.contains("No bird pictures or recorded songs come with Featherlog"));
    });
    // The editions named in the credits are the ones the sample data follows.
    EXPECT_TRUE(sourceFile("README.md").contains("7th edition, through its 65th Supplement (2024)"));
    EXPECT_TRUE(sourceFile("README.md").simplified().contains("eBird/Clements taxonomy v2025"));
}

TEST(InfoWindows, SplashCoversTheLoadingThenTheMainWindowShows)
{
    test::TestFolder folder;
    AppState s;
    ScriptedPlatform p;
    Context ctx{s, p, nullptr};
    s.dataFolder = folder.path();
    openAndLoadOptions(s);
    const auto window = createMainWindow(ctx);
    frmDisplay& w = *window;
    QStringList splashDuringLoad;
    QString versionDuringLoad;
    bool mainVisibleDuringLoad = true;
    bool shown = false;
    loadBehindSplash(
        [&] {
            splashDuringLoad = visibleTopLevels("frmSplash");
            for (QWidget* t : QApplication::topLevelWidgets())
                if (auto* splash = qobject_cast<frmSplash*>(t)) versionDuringLoad = splash->lblVersion->text();
            mainVisibleDuringLoad = w.isVisible();
            w.Form_Load();
        },
        [&] {
            shown = true;
            EXPECT_TRUE(visibleTopLevels("frmSplash").isEmpty()) << "the splash closes first";
            w.show();
        });
    EXPECT_EQ(splashDuringLoad, QStringList{"frmSplash"});
    EXPECT_EQ(versionDuringLoad, QStringLiteral("Version " PROJECT_VERSION_TEXT));
    EXPECT_FALSE(mainVisibleDuringLoad);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(test::MainWindowPage(&w).birdName().isEmpty()) << "the first species is on show";
    for (QWidget* t : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<frmSplash*>(t), nullptr);
    w.close();
}

TEST(InfoWindows, FailedLoadingClosesTheSplashBeforeTheErrorIsShownAndItHasNoCaption)
{
    bool shown = false;
    try {
        loadBehindSplash([] { throw std::runtime_error("The database is damaged."); }, [&] { shown = true; });
        ADD_FAILURE() << "the error reaches the caller";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "The database is damaged.");
        EXPECT_TRUE(visibleTopLevels("frmSplash").isEmpty()) << "nothing hides the error message";
    }
    EXPECT_FALSE(shown);

    // The splash has no caption and shows our texts.
    frmSplash splash;
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.lblProductName->text(), "Featherlog");
    EXPECT_TRUE(splash.lblCopyright->text().contains("The Featherlog developers"));
    EXPECT_FALSE(splash.picLogo->pixmap().isNull());
}
