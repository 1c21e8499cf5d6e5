#include "Harness.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {
const QStringList kChecklistOrder = {"Canada Goose",    "Wood Duck",           "Mallard",
                                     "Wood Thrush",     "Hermit Thrush",       "American Robin",
                                     "Yellow Warbler",  "Ovenbird",            "Common Yellowthroat",
                                     "Kirtland's Warbler", "Palm Warbler",     "Bay-breasted Warbler"};
}

TEST(MainWindow, StartsWithTheStoredRegionAndItsPanels)
{
    Harness h;
    EXPECT_EQ(h.w->windowTitle(), "Featherlog");
    EXPECT_EQ(h.names(), kChecklistOrder);
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.panel("Region"), "Region : North America");
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 12");
    EXPECT_EQ(h.panel("Life"), "Life List: 0 of 12");
    EXPECT_TRUE(h.w->menuItem("mnuSortList")->isChecked());
    EXPECT_FALSE(h.w->menuItem("mnuSortName")->isChecked());
    EXPECT_EQ(h.platform.hourglassDepth, 0) << "the hourglass is restored after loading";
    EXPECT_GE(h.platform.hourglassShown, 1);
}

TEST(MainWindow, WorldListAndNameSortMarkAtStartup)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 0, regname = 'World', qrySort = ' Order BY Birds.Name', "
               "qryResult = ' AND nothing'");
    });
    EXPECT_EQ(h.names().size(), 12);
    EXPECT_EQ(h.names().first(), "American Robin");
    EXPECT_EQ(h.names().last(), "Yellow Warbler");
    EXPECT_TRUE(h.w->menuItem("mnuSortName")->isChecked());
    EXPECT_FALSE(h.w->menuItem("mnuSortList")->isChecked());
    EXPECT_EQ(h.w->lblStatus->text(), "No Status");
}

TEST(MainWindow, MenusCarryTheirCaptionsShortcutsAndFirstState)
{
    Harness h;
    const struct {
        const char* name;
        const char* caption;
        const char* shortcut;
    } items[] = {
        {"mnuFilePlay", "&Play Song", "F4"},       {"mnuFileImage", "Add New &Image", "Ctrl+I"},
        {"mnuFileSighting", "&Enter Sighting Details", "Ctrl+E"}, {"mnuFileWeb", "Add Web Page &Link", "Ctrl+L"},
        {"mnuquit", "E&xit", "Ctrl+Q"},            {"mnuViewFirst", "&First bird", "F5"},
        {"mnuViewPrevious", "&Previous Bird", "F6"}, {"mnuViewNext", "&Next Bird", "F7"},
        {"mnuViewLast", "&Last Bird", "F8"},       {"mnuViewDetails", "&Sighting Details", "Ctrl+S"},
        {"mnuEditList", "&Region Checklists", "Ctrl+H"}, {"mnuSearchRegion", "Search &Region", "Ctrl+R"},
        {"mnuSearchBird", "Find All &Birds", "Ctrl+B"}, {"mnuSearchName", "Search By &Name", "Ctrl+N"},
        {"mnuSearchClass", "Search By Classi&fication", "Ctrl+F"}, {"mnuSearchWizard", "Search &Wizard", "Ctrl+W"},
        {"mnuSortName", "By &Name", ""},           {"mnuMissingRare", "&Exclude Rarities", ""},
        {"mnuHelpAbout", "&About Featherlog", ""},  {"mnuReportLife", "&Life List Report", ""},
    };
    for (const auto& i : items) {
        QAction* a = h.w->menuItem(i.name);
        ASSERT_NE(a, nullptr) << i.name;
        EXPECT_EQ(a->text(), i.caption) << i.name;
        EXPECT_EQ(a->shortcut().toString(), i.shortcut) << i.name;
    }
    EXPECT_EQ(h.w->menuItem("mnuSearchMissing")->text(), "S&how Missing Sightings");
    EXPECT_EQ(h.w->menuItem("mnuSearchSort")->text(), "Sort &Options");
    EXPECT_FALSE(h.enabled("mnuFileWeb")) << "never enabled";
    EXPECT_FALSE(h.enabled("mnuFilePlayCD")) << "the CD option is off";
    EXPECT_TRUE(h.enabled("mnuSearchRegion"));
    // Menus in order.
    QStringList menus;
    for (QAction* a : h.w->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&View", "&Searches", "&Reports", "&Help"}));
}

TEST(MainWindow, ToolbarButtonsHaveKeysTooltipsAndNames)
{
    Harness h;
    QStringList keys;
    for (QAction* a : h.w->Toolbar1->actions())
        if (QWidget* button = h.w->Toolbar1->widgetForAction(a); button && !button->objectName().isEmpty()
            && button->objectName() != "cmbNames")
            keys << button->objectName();
    EXPECT_EQ(keys, (QStringList{"Back", "Next", "Region", "All", "Name", "Class", "Wizard", "Add", "View", "Play",
                                 "CDSong", "Links"}));
    EXPECT_EQ(h.w->toolButton("Region")->toolTip(), "Search Region");
    EXPECT_EQ(h.w->toolButton("View")->toolTip(), "Sighting Info");
    for (QAction* a : h.w->Toolbar1->actions()) {
        if (!a->objectName().isEmpty()) {
            EXPECT_FALSE(a->text().isEmpty()) << "accessible name of " << qPrintable(a->objectName());
        }
    }
    for (QToolButton* icon : h.w->img) {
        EXPECT_FALSE(icon->accessibleName().isEmpty());
        EXPECT_FALSE(icon->toolTip().isEmpty());
    }
    EXPECT_FALSE(h.w->toolButton("Links")->icon().isNull()) << "buttons carry their pictures";
}

TEST(MainWindow, NextAndPreviousBeepAtTheEndsAndStay)
{
    Harness h;
    h.run("mnuViewPrevious");
    EXPECT_EQ(h.platform.beeps, 1);
    EXPECT_EQ(h.shown(), "Canada Goose");
    h.w->Toolbar1_ButtonClick("Next");
    EXPECT_EQ(h.shown(), "Wood Duck");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 2 of 12");
    h.run("mnuViewLast");
    EXPECT_EQ(h.shown(), "Bay-breasted Warbler");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 12 of 12");
    h.w->Toolbar1_ButtonClick("Next");
    EXPECT_EQ(h.platform.beeps, 2);
    EXPECT_EQ(h.shown(), "Bay-breasted Warbler");
    h.w->Toolbar1_ButtonClick("Back");
    EXPECT_EQ(h.shown(), "Palm Warbler");
    h.run("mnuViewFirst");
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.platform.beeps, 2);
}

TEST(MainWindow, FirstAndLastOnTheirOwnEntryDoNotShowAgain)
{
    Harness h;
    h.db().execute("UPDATE Birds SET Name = 'Renamed' WHERE ID = 3"); // the page would change if re-run
    h.run("mnuViewFirst");
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.w->lblName[4]->text(), " (Branta canadensis)");
}

TEST(MainWindow, OneRowResult)
{
    Harness h([](test::TestFolder& f) {
        f.exec("DELETE FROM Checklists WHERE Reg_ID = 1 AND Bird_ID <> 5");
    });
    EXPECT_EQ(h.names(), QStringList{"Hermit Thrush"});
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 1");
    h.run("mnuViewNext");
    h.run("mnuViewPrevious");
    EXPECT_EQ(h.platform.beeps, 2);
    EXPECT_EQ(h.shown(), "Hermit Thrush");
}

TEST(MainWindow, EmptyResultClearsThePageAndTheNextSearchRestoresIt)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET Reg_ID = 4, regname = 'Point Pelee'"); });
    EXPECT_TRUE(h.names().isEmpty());
    EXPECT_EQ(h.panel("Hits"), "Search Results : 0 of 0");
    EXPECT_EQ(h.shown(), "");
    EXPECT_FALSE(h.enabled("mnuFileSighting"));
    EXPECT_FALSE(h.buttonEnabled("Add"));
    EXPECT_FALSE(h.enabled("mnuFileImage"));
    EXPECT_TRUE(h.w->txtData->isReadOnly());
    h.run("mnuViewNext");
    h.run("mnuViewFirst");
    h.run("mnuViewLast");
    EXPECT_EQ(h.platform.beeps, 1) << "Next beeps on an empty list; First and Last do nothing";

    h.state.Reg_ID = 1;
    h.run("mnuSearchBird");
    EXPECT_EQ(h.names().size(), 12);
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_TRUE(h.enabled("mnuFileSighting"));
    EXPECT_FALSE(h.w->txtData->isReadOnly());
}

TEST(MainWindow, SortCommandsMoveTheMarkStoreTheClauseAndRebuild)
{
    Harness h;
    h.run("mnuMissingRare"); // any other list first
    h.run("mnuSortName");
    EXPECT_TRUE(h.w->menuItem("mnuSortName")->isChecked());
    EXPECT_FALSE(h.w->menuItem("mnuSortList")->isChecked());
    EXPECT_EQ(h.scalar("SELECT qrySort FROM Options").toString(), " Order BY Birds.Name");
    EXPECT_EQ(h.names().first(), "American Robin");
    EXPECT_EQ(h.names().size(), 12);
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");
    h.run("mnuSortList");
    EXPECT_EQ(h.scalar("SELECT qrySort FROM Options").toString(), " Order By Birds.sortOrder");
    EXPECT_EQ(h.names(), kChecklistOrder);
    EXPECT_TRUE(h.w->menuItem("mnuSortList")->isChecked());
    EXPECT_EQ(h.platform.hourglassDepth, 0);
}

TEST(MainWindow, ToolbarKeysDispatchAndUnknownKeysDoNothing)
{
    Harness h;
    QStringList ran;
    for (const char* item : {"mnuSearchRegion", "mnuSearchBird", "mnuSearchName", "mnuSearchClass", "mnuSearchWizard",
                             "mnuFileSighting", "mnuViewDetails", "mnuFilePlay", "mnuFilePlayCD", "mnuViewLinks"})
        h.w->setCommand(item, [&ran, item] { ran << item; });
    for (const char* key : {"Region", "All", "Name", "Class", "Wizard", "Add", "View", "Play", "CDSong", "Links"})
        h.w->Toolbar1_ButtonClick(key);
    EXPECT_EQ(ran, (QStringList{"mnuSearchRegion", "mnuSearchBird", "mnuSearchName", "mnuSearchClass",
                                "mnuSearchWizard", "mnuFileSighting", "mnuViewDetails", "mnuFilePlay",
                                "mnuFilePlayCD", "mnuViewLinks"}))
        << "disabled menu items still run from their buttons";
    ran.clear();
    for (const char* key : {"back", "NEXT", "Bogus", ""}) h.w->Toolbar1_ButtonClick(key);
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.platform.beeps, 0);
}

TEST(MainWindow, ShortcutsReachTheirCommands)
{
    Harness h;
    h.w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.w.get()));
    h.w->activateWindow();
    QTest::keyClick(h.w.get(), Qt::Key_F7);
    EXPECT_EQ(h.shown(), "Wood Duck");
    QTest::keyClick(h.w.get(), Qt::Key_F8);
    EXPECT_EQ(h.shown(), "Bay-breasted Warbler");
    QTest::keyClick(h.w.get(), Qt::Key_F6);
    EXPECT_EQ(h.shown(), "Palm Warbler");
    QTest::keyClick(h.w.get(), Qt::Key_F5);
    EXPECT_EQ(h.shown(), "Canada Goose");
}

TEST(MainWindow, ResizeFollowsTheWindowAndMinimisingChangesNothing)
{
    Harness h;
    const int dpi = h.w->logicalDpiY();
    auto tw = [dpi](int t) { return twipsToPixels(t, dpi); };
    h.w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.w.get()));
    const int heightBefore = h.w->picCont[0]->height();
    const int txtBefore = h.w->txtData->height();
    // The window's outer size (with its frame) is what the layout follows.
    const QSize frame = h.w->frameGeometry().size() - h.w->size();
    auto resizeOuter = [&](int widthTwips, int heightTwips) {
        h.w->resize(tw(widthTwips) - frame.width(), tw(heightTwips) - frame.height());
        h.w->Form_Resize();
    };
    resizeOuter(10000, 4000);
    EXPECT_EQ(h.w->picCont[0]->height(), heightBefore) << "heights stay below 5000 twips";
    EXPECT_EQ(h.w->txtData->height(), txtBefore);
    EXPECT_NEAR(h.w->picCont[1]->width(), tw(10000 - 4695 - 600), 2);
    EXPECT_NEAR(h.w->Picture1->width(), tw(10000 - 4695 - 600 - 200), 2);
    EXPECT_NEAR(h.w->picCont[1]->x(), tw(4695 + 300), 2);
    EXPECT_NEAR(h.w->lblName[1]->x() + h.w->lblName[1]->width(), tw(10000 - 300), 2);

    resizeOuter(12000, 9000);
    const int inner = h.w->height() - h.w->menuBar()->height();
    EXPECT_NEAR(h.w->picCont[0]->height(), inner - tw(1620) - tw(500), 2);
    EXPECT_EQ(h.w->picCont[1]->height(), h.w->picCont[0]->height());
    // The seasonal chart's band (600) sits above the description.
    EXPECT_NEAR(h.w->txtData->height(), h.w->picCont[0]->height() - tw(700 + 600), 2);

    const QRect before = h.w->picCont[1]->geometry();
    h.w->showMinimized();
    h.w->Form_Resize();
    EXPECT_EQ(h.w->picCont[1]->geometry(), before);
}

TEST(MainWindow, ToolbarButtonIsTheActionOfItsMenuItem)
{
    Harness h;
    const struct {
        const char* key;
        const char* item;
    } pairs[] = {{"Back", "mnuViewPrevious"}, {"Next", "mnuViewNext"},     {"Region", "mnuSearchRegion"},
                 {"All", "mnuSearchBird"},    {"Name", "mnuSearchName"},   {"Class", "mnuSearchClass"},
                 {"Wizard", "mnuSearchWizard"}, {"Add", "mnuFileSighting"}, {"View", "mnuViewDetails"},
                 {"Play", "mnuFilePlay"},     {"CDSong", "mnuFilePlayCD"}, {"Links", "mnuViewLinks"}};
    for (const auto& p : pairs) {
        QAction* item = h.w->menuItem(p.item);
        ASSERT_NE(item, nullptr) << p.item;
        EXPECT_EQ(h.w->toolButton(p.key), item) << p.key;
        auto* button = h.w->Toolbar1->findChild<QToolButton*>(p.key);
        ASSERT_NE(button, nullptr) << p.key;
        EXPECT_EQ(button->defaultAction(), item) << p.key;
    }

    // One state for both: disabling the command disables the menu item and the button.
    h.w->commands().setEnabled("mnuSearchBird", false);
    auto* all = h.w->Toolbar1->findChild<QToolButton*>("All");
    EXPECT_FALSE(h.enabled("mnuSearchBird"));
    EXPECT_FALSE(all->isEnabled());
    QTest::mouseClick(all, Qt::LeftButton);
    EXPECT_EQ(h.panel("Type"), "Find : All Birds") << "nothing ran";
    h.w->commands().setEnabled("mnuSearchBird", true);
    EXPECT_TRUE(all->isEnabled());

    // The CD-song button shares the state of its menu item too.
    h.stubCommands({"mnuFilePlayCD"});
    EXPECT_FALSE(h.enabled("mnuFilePlayCD"));
    EXPECT_FALSE(h.w->Toolbar1->findChild<QToolButton*>("CDSong")->isEnabled());
}

TEST(MainWindow, EveryMenuItemHasAHandlerOrIsDisabled)
{
    Harness h;
    QList<QMenu*> menus = h.w->menuBar()->findChildren<QMenu*>();
    QSet<QString> items;
    for (QMenu* menu : menus) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || a->menu()) continue;
            items << a->objectName();
            const QString name = a->objectName();
            EXPECT_TRUE(h.w->commands().hasHandler(name) || !a->isEnabled())
                << qPrintable(name) << " is enabled but nothing handles it";
            // Asking cannot enable a command that nothing handles.
            h.w->commands().setEnabled(name, true);
            if (!h.w->commands().hasHandler(name)) {
                EXPECT_FALSE(a->isEnabled()) << qPrintable(name);
            }
        }
    }
    EXPECT_EQ(items.size(), 46) << "every item of the five menus was seen";
}

namespace {
// The Alt letter of a caption: the character after a single "&" ("&&" is a plain ampersand).
QChar altLetter(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

// Every item of `menu` (submenus by their titles) has an Alt letter that no other item of the
// same menu has; the submenus are checked the same way.
void expectDistinctAltLetters(const QMenu* menu, int& menusChecked)
{
    ++menusChecked;
    QHash<QChar, QString> owner;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const QChar letter = altLetter(a->text());
        EXPECT_FALSE(letter.isNull()) << qPrintable(a->text()) << " has no Alt letter";
        if (letter.isNull()) continue;
        EXPECT_FALSE(owner.contains(letter))
            << "in " << qPrintable(menu->title()) << ", " << qPrintable(a->text()) << " and "
            << qPrintable(owner.value(letter)) << " share Alt+" << qPrintable(QString(letter));
        owner.insert(letter, a->text());
        if (a->menu()) expectDistinctAltLetters(a->menu(), menusChecked);
    }
}
} // namespace

TEST(MainWindow, NoTwoItemsOfAMenuShareAnAltLetter)
{
    Harness h;
    QHash<QChar, QString> titles;
    int menusChecked = 0;
    for (QAction* a : h.w->menuBar()->actions()) {
        const QChar letter = altLetter(a->text());
        EXPECT_FALSE(titles.contains(letter)) << qPrintable(a->text());
        titles.insert(letter, a->text());
        ASSERT_NE(a->menu(), nullptr);
        expectDistinctAltLetters(a->menu(), menusChecked);
    }
    EXPECT_EQ(menusChecked, 7) << "five menus and the two submenus of Searches";

    // The letters given at first stay; the records items took letters left free.
    for (const auto& [item, caption] : std::initializer_list<std::pair<const char*, const char*>>{
             {"mnuFileImage", "Add New &Image"},      {"mnuFileImageDelete", "&Remove Current Image"},
             {"mnuquit", "E&xit"},                    {"mnuViewLast", "&Last Bird"},
             {"mnuFileImport", "I&mport eBird Data..."}, {"mnuFileExport", "Export Si&ghtings..."},
             {"mnuFileBackup", "&Back Up Database..."}, {"mnuFileRestore", "Restore &From Backup..."},
             {"mnuViewLog", "Si&ghtings Log"}})
        EXPECT_EQ(h.w->menuItem(item)->text().toStdString(), caption) << item;
}

TEST(MainWindow, AnAltLetterRunsItsItemFromTheOpenMenu)
{
    Harness h;
    QStringList ran;
    for (const char* item : {"mnuViewLast", "mnuViewLog", "mnuFileImage", "mnuFileImport"})
        h.w->setCommand(item, [&ran, item] { ran << item; });
    h.w->show();
    QApplication::setActiveWindow(h.w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(h.w.get()));
    auto pressIn = [&](const char* menuName, char letter) {
        auto* menu = h.w->menuBar()->findChild<QMenu*>(menuName);
        menu->popup(QPoint(0, 0));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::keyClick(menu, letter);
        menu->hide();
    };
    pressIn("mnuView", 'l');
    pressIn("mnuView", 'g');
    pressIn("mnuFile", 'i');
    pressIn("mnuFile", 'm');
    EXPECT_EQ(ran, (QStringList{"mnuViewLast", "mnuViewLog", "mnuFileImage", "mnuFileImport"}))
        << "one press of the letter runs its item";
}
