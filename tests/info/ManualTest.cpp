// The manual documents the program as it is: every command and every window has its page,
// which names them as the program shows them, and the keyboard page lists the shortcuts that
// work. Captions, shortcuts and titles are read from the running program.

#include "Harness.h"

#include "browser/frmZoom.h"
#include "info/HelpBook.h"
#include "info/frmHelp.h"
#include "info/frmSplash.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace fl;
using test::Harness;

namespace {

QString withoutAltMarks(QString caption)
{
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(u'&');
    caption.replace(u'\x01', u'&');
    return caption;
}

bool pageNames(const QString& page, const QString& text) { return help::plainText(page).contains(text); }

struct SeenWindow {
    QString name;
    QString title;
};

// Watches for modal windows while the program runs: records each one, lets `openMore` open
// the windows it opens in turn, then closes it. It keeps watching inside nested dialogs.
class ModalWatch {
public:
    std::function<void(QWidget*)> openMore;
    QList<SeenWindow> seen;

    void start()
    {
        m_on = true;
        tick();
    }
    void stop()
    {
        m_on = false;
        QTest::qWait(40); // the last pending look finds nothing to do
    }

private:
    void tick()
    {
        if (!m_on) return;
        QTimer::singleShot(10, [this] { tick(); });
        QWidget* shown = QApplication::activeModalWidget();
        if (!shown) {
            // A modal window the platform does not count as such (a picture window on the
            // test platform): found among the windows on show.
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isModal()) shown = w;
        }
        if (!shown) return;
        for (const QPointer<QWidget>& done : m_handled)
            if (done == shown) return;
        m_handled.append(shown);
        seen.append({shown->objectName(), shown->windowTitle()});
        QPointer<QWidget> alive = shown;
        if (openMore) openMore(shown);
        if (!alive) return;
        if (auto* dialog = qobject_cast<QDialog*>(shown)) dialog->reject();
        else shown->close();
    }

    bool m_on = false;
    QList<QPointer<QWidget>> m_handled;
};

QSet<QWidget*> visibleWindows()
{
    QSet<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) shown.insert(w);
    return shown;
}

const QByteArray kDownload =
    "Submission ID,Common Name,Scientific Name,Taxonomic Order,Count,State/Province,County,Location ID,Location,"
    "Latitude,Longitude,Date,Time,Protocol,Duration (Min),All Obs Reported,Distance Traveled (km),Area Covered (ha),"
    "Number of Observers,Breeding Code,Observation Details,Checklist Comments,ML Catalog Numbers\n"
    "S1,Hermit Thrush,Catharus guttatus,1,2,CA-ON,,L1,Rondeau,,,2025-05-01,,Traveling,,1,,,1,,,,\n";

} // namespace

TEST(Manual, EveryCommandHasItsPageNamingItsCaptionAndTheKeyboardPageItsWorkingShortcut)
{
    Harness h;
    const CommandRegistry& commands = h.w->commands();
    ASSERT_EQ(commands.ids().size(), std::size(cmd::kAll));
    for (CommandId id : commands.ids()) {
        const QString name = id.name();
        const QString page = help::topicForMenuItem(name);
        ASSERT_TRUE(help::exists(page)) << qPrintable(name) << " has no page";
        const QAction* a = commands.action(id);
        // Menu items by their captions; the bird page's icons by the names they show as tooltips.
        const QString caption = withoutAltMarks(a->text());
        EXPECT_TRUE(pageNames(page, caption)) << qPrintable(page) << " does not name \"" << qPrintable(caption) << '"';
        // A shortcut that works is given where its command is explained.
        if (!a->shortcut().isEmpty() && commands.hasHandler(id)) {
            const QString keys = a->shortcut().toString(QKeySequence::PortableText);
            EXPECT_TRUE(pageNames(page, keys)) << qPrintable(page) << " does not give " << qPrintable(keys);
        }
    }
    // The menus and submenus by their titles: the menus on the page about the main window,
    // a submenu on the page of its items.
    for (QAction* menu : h.w->menuBar()->actions()) {
        EXPECT_TRUE(pageNames("browsing.html", withoutAltMarks(menu->text()))) << qPrintable(menu->text());
        for (QAction* item : menu->menu()->actions()) {
            if (!item->menu()) continue;
            const QString page = help::topicForMenuItem(item->menu()->actions().first()->objectName());
            EXPECT_TRUE(pageNames(page, withoutAltMarks(item->text()))) << qPrintable(item->text());
        }
    }

    // The keyboard page lists the shortcuts that work and no others.
    QStringList working{"F1"}; // help, for every window
    QStringList dead;
    for (const QAction* a : h.w->actions()) {
        if (a->shortcut().isEmpty()) continue;
        (h.w->commands().hasHandler(*cmd::byName(a->objectName())) ? working : dead) << a->shortcut().toString(QKeySequence::PortableText);
    }
    ASSERT_GE(working.size(), 17);
    // The keys in the first column of the page's table.
    static const QRegularExpression row(QStringLiteral("<tr><td>([^<]+)</td>"));
    QStringList listed;
    for (auto m = row.globalMatch(help::html("keyboard.html")); m.hasNext();) listed << m.next().captured(1).trimmed();
    working.sort();
    listed.sort();
    EXPECT_EQ(listed.join(", ").toStdString(), working.join(", ").toStdString());
    for (const QString& keys : dead) EXPECT_FALSE(listed.contains(keys)) << qPrintable(keys) << " does nothing";
}

TEST(Manual, EveryWindowHasItsPageNamingItsTitle)
{
    Harness h([](test::TestFolder& f) {
        // A sighting for the life list, so that its window opens in both modes.
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site, notes) "
               "VALUES (1, 3, '2024-05-01', '', 1, 0, 0, 0, 'Marsh', '')");
        f.exec("UPDATE Birds SET LifeList = 1 WHERE ID = 3");
        // A picture, for the window that shows it whole.
        QDir(f.path()).mkpath("Images");
        QImage picture(2000, 1500, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(f.path() + "/Images/goose.png"));
        f.exec("INSERT INTO images VALUES (3, 'goose.png', 'Adult, spring')");
    });
    const QString download = h.folder.path() + "/MyEBirdData.csv";
    {
        QFile file(download);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kDownload);
    }
    QList<SeenWindow> windows{{h.w->objectName(), h.w->windowTitle()}};

    // Every command, with the windows it opens, and those these open in turn.
    ModalWatch watch;
    watch.openMore = [](QWidget* w) {
        if (w->objectName() == u"frmEditReg") {
            w->findChild<QRadioButton*>("optRegion(1)")->click();
            w->findChild<QPushButton*>("cmdEdit")->click(); // the checklist editor
        } else if (w->objectName() == u"frmURL") {
            w->findChild<QPushButton*>("cmdAdd")->click(); // adding a link
        }
    };
    watch.start();
    for (CommandId id : h.w->commands().ids()) {
        if (id == cmd::mnuquit) continue;
        if (id == cmd::mnuFileImport) h.platform.files.push_back(download);
        const QSet<QWidget*> before = visibleWindows();
        h.w->runCommand(id);
        // Windows that stay open beside the main window.
        for (QWidget* w : visibleWindows() - before) {
            windows.append({w->objectName(), w->windowTitle()});
            w->close();
        }
    }
    h.run(cmd::mnuSearchBird);
    h.w->selectSpeciesByName("Canada Goose");
    ASSERT_EQ(h.shown(), "Canada Goose");
    h.page().icon(3)->click(); // its picture, whole
    watch.stop();
    windows += watch.seen;

    // The windows that no command of the test platform opens: the help window and the splash.
    frmHelp* helpWindow = showHelpWindow(h.platform, help::kContents);
    windows.append({helpWindow->objectName(), helpWindow->windowTitle()});
    delete helpWindow;
    frmSplash splash;
    windows.append({splash.objectName(), splash.windowTitle()});

    // Names from the data that titles show: they are no part of what the page names.
    QStringList dataNames;
    for (const char* sql : {"SELECT Name FROM Regions", "SELECT Name FROM Birds", "SELECT Title FROM images"}) {
        auto rs = h.db().openRecordset(QString::fromLatin1(sql), db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) dataNames << rs.field(0).toString();
    }
    for (const help::Page& p : help::pages()) dataNames << p.title;
    std::sort(dataNames.begin(), dataNames.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });

    QSet<QString> names;
    for (const SeenWindow& w : windows) names.insert(w.name);
    for (const char* expected : {"frmDisplay", "frmRegion", "frmName", "frmClass", "frmWizard", "frmSight", "frmStatus",
                                 "frmEditReg", "frmChecklist", "frmURL", "frmWeblink", "frmOptions", "frmAbout",
                                 "frmCredit", "frmSightingsLog", "frmImportPreview", "frmZoom", "frmHelp", "frmSplash"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected << " was not seen";

    static const QRegularExpression edges(QStringLiteral("^[\\s()\\-]+|[\\s()\\-]+$"));
    for (const SeenWindow& w : windows) {
        const QString page = help::topicForWindow(w.name);
        EXPECT_NE(page, help::kContents) << qPrintable(w.name) << " has no page of its own";
        ASSERT_TRUE(help::exists(page)) << qPrintable(w.name);
        QString title = w.title;
        for (const QString& d : dataNames) title.remove(d);
        title.remove(edges);
        if (title.isEmpty()) continue; // a title made of names only (the whole picture)
        EXPECT_TRUE(pageNames(page, title)) << qPrintable(page) << " does not name the window \"" << qPrintable(title)
                                            << "\" (" << qPrintable(w.name) << ')';
    }
}
