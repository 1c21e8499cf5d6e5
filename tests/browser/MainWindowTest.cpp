#include "Harness.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QFile>
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

// The documented menus and toolbar (MenuTable.txt), read once.
struct MenuTable {
    QStringList menus; // the menus' lines, as menuLines() writes them
    struct Button {
        QString key, tooltip, command;
    };
    QList<Button> buttons;
};

MenuTable readMenuTable()
{
    MenuTable table;
    QFile file(QStringLiteral(MENU_TABLE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "cannot read " << MENU_TABLE;
        return table;
    }
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#')) continue;
        const QStringList f = line.split(u'\t');
        if (f[0] == "button") table.buttons.append({f.value(1), f.value(2), f.value(3)});
        else table.menus << line;
    }
    return table;
}

// The lines of the window's menu bar in the table's form.
void addMenuLines(const QMenu* menu, QStringList& lines)
{
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << "separator\t" + a->objectName();
        } else if (a->menu()) {
            lines << "submenu\t" + a->menu()->objectName() + "\t" + a->text();
            addMenuLines(a->menu(), lines);
            lines << "end";
        } else {
            const QString shortcut = a->shortcut().toString();
            lines << "item\t" + a->objectName() + "\t" + a->text() + "\t" + (shortcut.isEmpty() ? "-" : shortcut);
        }
    }
}

QStringList menuLines(frmDisplay& w)
{
    QStringList lines;
    for (const QAction* a : w.menuBar()->actions()) {
        lines << "menu\t" + a->menu()->objectName() + "\t" + a->text();
        addMenuLines(a->menu(), lines);
    }
    return lines;
}

const QStringList kChecklistOrder = {"Canada Goose",    "Wood Duck",           "Mallard",
                                     "Wood Thrush",     "Hermit Thrush",       "American Robin",
                                     "Yellow Warbler",  "Ovenbird",            "Common Yellowthroat",
                                     "Kirtland's Warbler", "Palm Warbler",     "Bay-breasted Warbler"};
}

TEST(MainWindow, StartsWithTheStoredRegionAndItsPanelsAndStepsThroughTheList)
{
    Harness h;
    EXPECT_EQ(h.w->windowTitle(), "Featherlog");
    EXPECT_EQ(h.names(), kChecklistOrder);
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.panel("Region"), "Region : North America");
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 12");
    EXPECT_EQ(h.panel("Life"), "Life List: 0 of 12");
    EXPECT_TRUE(h.w->menuItem(cmd::mnuSortList)->isChecked());
    EXPECT_FALSE(h.w->menuItem(cmd::mnuSortName)->isChecked());
    EXPECT_EQ(h.platform.hourglassDepth, 0) << "the hourglass is restored after loading";
    EXPECT_GE(h.platform.hourglassShown, 1);

    // Next and Previous beep at the ends and stay.
    h.run(cmd::mnuViewPrevious);
    EXPECT_EQ(h.platform.beeps, 1);
    EXPECT_EQ(h.shown(), "Canada Goose");
    h.w->Toolbar1_ButtonClick("Next");
    EXPECT_EQ(h.shown(), "Wood Duck");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 2 of 12");
    h.run(cmd::mnuViewLast);
    EXPECT_EQ(h.shown(), "Bay-breasted Warbler");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 12 of 12");
    h.w->Toolbar1_ButtonClick("Next");
    EXPECT_EQ(h.platform.beeps, 2);
    EXPECT_EQ(h.shown(), "Bay-breasted Warbler");
    h.w->Toolbar1_ButtonClick("Back");
    EXPECT_EQ(h.shown(), "Palm Warbler");
    h.run(cmd::mnuViewFirst);
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.platform.beeps, 2);
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
    EXPECT_TRUE(h.w->menuItem(cmd::mnuSortName)->isChecked());
    EXPECT_FALSE(h.w->menuItem(cmd::mnuSortList)->isChecked());
    EXPECT_EQ(h.page().status()->text(), "No Status");
}

TEST(MainWindow, MenusAndToolbarFollowTheDocumentedTable)
{
    Harness h;
    const MenuTable table = readMenuTable();
    ASSERT_FALSE(table.menus.isEmpty());
    EXPECT_EQ(menuLines(*h.w), table.menus);
    // Their state before a species is shown is the bird page's; these two it never enables.
    EXPECT_FALSE(h.enabled(cmd::mnuFileWeb)) << "never enabled";
    EXPECT_FALSE(h.enabled(cmd::mnuFilePlayCD)) << "the CD option is off";
    EXPECT_TRUE(h.enabled(cmd::mnuSearchRegion));

    // The toolbar: its buttons, their items, tooltips and pictures.
    ASSERT_FALSE(table.buttons.isEmpty());
    QStringList keys;
    for (QAction* a : h.page().toolbar()->actions())
        if (QWidget* button = h.page().toolbar()->widgetForAction(a); button && button->objectName() != "cmbNames")
            keys << button->objectName();
    QStringList documentedKeys;
    for (const MenuTable::Button& b : table.buttons) documentedKeys << b.key;
    EXPECT_EQ(keys, documentedKeys);

    for (const MenuTable::Button& b : table.buttons) {
        const auto id = cmd::byName(b.command);
        ASSERT_TRUE(id.has_value()) << qPrintable(b.command);
        QAction* item = h.w->menuItem(*id);
        EXPECT_EQ(h.w->toolButton(b.key), item) << qPrintable(b.key);
        auto* button = h.page().toolbar()->findChild<QToolButton*>(b.key);
        ASSERT_NE(button, nullptr) << qPrintable(b.key);
        EXPECT_EQ(button->defaultAction(), item) << qPrintable(b.key);
        EXPECT_EQ(button->toolTip(), b.tooltip) << qPrintable(b.key);
        EXPECT_EQ(button->accessibleName(), b.tooltip) << qPrintable(b.key);
        EXPECT_FALSE(button->icon().isNull()) << qPrintable(b.key) << " carries its picture";
    }
    for (int i = 0; i < 4; ++i) {
        const QToolButton* icon = h.page().icon(i);
        EXPECT_FALSE(icon->accessibleName().isEmpty());
        EXPECT_FALSE(icon->toolTip().isEmpty());
    }

    // The toolbar's keys run their items even when disabled; other keys run nothing.
    QStringList ran, documented;
    for (const MenuTable::Button& b : table.buttons) {
        const CommandId id = *cmd::byName(b.command);
        h.watchCommand(id, [&ran, id] { ran << id.name(); });
        h.w->commands().setEnabled(id, false);
        documented << b.command;
    }
    for (const MenuTable::Button& b : table.buttons) h.w->Toolbar1_ButtonClick(b.key);
    EXPECT_EQ(ran, documented) << "disabled menu items still run from their buttons";
    ran.clear();
    for (const char* key : {"back", "NEXT", "Bogus", "", "Next "}) h.w->Toolbar1_ButtonClick(key);
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.platform.beeps, 0);
}

TEST(MainWindow, OneRowResultAndFirstAndLastOnTheirOwnEntryDoNotShowAgain)
{
    Harness h([](test::TestFolder& f) {
        f.exec("DELETE FROM Checklists WHERE Reg_ID = 1 AND Bird_ID <> 5");
    });
    EXPECT_EQ(h.names(), QStringList{"Hermit Thrush"});
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 1");
    h.db().execute("UPDATE Birds SET Name = 'Renamed' WHERE ID = 5"); // the page would change if re-run
    h.run(cmd::mnuViewFirst);
    h.run(cmd::mnuViewLast);
    EXPECT_EQ(h.shown(), "Hermit Thrush");
    EXPECT_EQ(h.page().label(4)->text(), " (Catharus guttatus)");
    h.run(cmd::mnuViewNext);
    h.run(cmd::mnuViewPrevious);
    EXPECT_EQ(h.platform.beeps, 2);
    EXPECT_EQ(h.shown(), "Hermit Thrush");
}

TEST(MainWindow, EmptyResultClearsThePageAndTheNextSearchRestoresIt)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET Reg_ID = 4, regname = 'Point Pelee'"); });
    EXPECT_TRUE(h.names().isEmpty());
    EXPECT_EQ(h.panel("Hits"), "Search Results : 0 of 0");
    EXPECT_EQ(h.shown(), "");
    EXPECT_FALSE(h.enabled(cmd::mnuFileSighting));
    EXPECT_FALSE(h.buttonEnabled("Add"));
    EXPECT_FALSE(h.enabled(cmd::mnuFileImage));
    EXPECT_TRUE(h.page().description()->isReadOnly());
    h.run(cmd::mnuViewNext);
    h.run(cmd::mnuViewFirst);
    h.run(cmd::mnuViewLast);
    EXPECT_EQ(h.platform.beeps, 1) << "Next beeps on an empty list; First and Last do nothing";

    h.state.Reg_ID = 1;
    h.run(cmd::mnuSearchBird);
    EXPECT_EQ(h.names().size(), 12);
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_TRUE(h.enabled(cmd::mnuFileSighting));
    EXPECT_FALSE(h.page().description()->isReadOnly());
}

TEST(MainWindow, SortCommandsMoveTheMarkStoreTheClauseAndRebuild)
{
    Harness h;
    h.run(cmd::mnuMissingRare); // any other list first
    h.run(cmd::mnuSortName);
    EXPECT_TRUE(h.w->menuItem(cmd::mnuSortName)->isChecked());
    EXPECT_FALSE(h.w->menuItem(cmd::mnuSortList)->isChecked());
    EXPECT_EQ(h.scalar("SELECT qrySort FROM Options").toString(), " Order BY Birds.Name");
    EXPECT_EQ(h.names().first(), "American Robin");
    EXPECT_EQ(h.names().size(), 12);
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");
    h.run(cmd::mnuSortList);
    EXPECT_EQ(h.scalar("SELECT qrySort FROM Options").toString(), " Order By Birds.sortOrder");
    EXPECT_EQ(h.names(), kChecklistOrder);
    EXPECT_TRUE(h.w->menuItem(cmd::mnuSortList)->isChecked());
    EXPECT_EQ(h.platform.hourglassDepth, 0);
}

TEST(MainWindow, ResizeFollowsTheWindowAndMinimisingChangesNothing)
{
    Harness h;
    const int dpi = h.w->logicalDpiY();
    auto tw = [dpi](int t) { return twipsToPixels(t, dpi); };
    h.w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.w.get()));
    const int heightBefore = h.page().frame(0)->height();
    const int txtBefore = h.page().description()->height();
    // The window's outer size (with its frame) is what the layout follows.
    const QSize frame = h.w->frameGeometry().size() - h.w->size();
    auto resizeOuter = [&](int widthTwips, int heightTwips) {
        h.w->resize(tw(widthTwips) - frame.width(), tw(heightTwips) - frame.height());
        h.w->Form_Resize();
    };
    resizeOuter(10000, 4000);
    EXPECT_EQ(h.page().frame(0)->height(), heightBefore) << "heights stay below 5000 twips";
    EXPECT_EQ(h.page().description()->height(), txtBefore);
    EXPECT_NEAR(h.page().frame(1)->width(), tw(10000 - 4695 - 600), 2);
    EXPECT_NEAR(h.page().viewport()->width(), tw(10000 - 4695 - 600 - 200), 2);
    EXPECT_NEAR(h.page().frame(1)->x(), tw(4695 + 300), 2);
    EXPECT_NEAR(h.page().label(1)->x() + h.page().label(1)->width(), tw(10000 - 300), 2);

    resizeOuter(12000, 9000);
    const int inner = h.w->height() - h.w->menuBar()->height();
    EXPECT_NEAR(h.page().frame(0)->height(), inner - tw(1620) - tw(500), 2);
    EXPECT_EQ(h.page().frame(1)->height(), h.page().frame(0)->height());
    // The seasonal chart's band (600) sits above the description.
    EXPECT_NEAR(h.page().description()->height(), h.page().frame(0)->height() - tw(700 + 600), 2);

    const QRect before = h.page().frame(1)->geometry();
    h.w->showMinimized();
    h.w->Form_Resize();
    EXPECT_EQ(h.page().frame(1)->geometry(), before);
}

TEST(MainWindow, EveryCommandHasAHandlerOrIsDisabledOnPurpose)
{
    Harness h;
    CommandRegistry& commands = h.w->commands();
    const QList<CommandId> disabled(std::begin(cmd::kDisabledOnPurpose), std::end(cmd::kDisabledOnPurpose));
    for (CommandId id : cmd::kAll) {
        ASSERT_TRUE(commands.contains(id)) << qPrintable(id.name()) << " is not wired";
        if (disabled.contains(id)) {
            EXPECT_FALSE(commands.hasHandler(id)) << qPrintable(id.name()) << " is on the list of disabled commands";
            commands.setEnabled(id, true);
            EXPECT_FALSE(commands.isEnabled(id)) << qPrintable(id.name()) << ": asking cannot enable it";
        } else {
            EXPECT_TRUE(commands.hasHandler(id)) << qPrintable(id.name()) << " has no handler";
        }
    }
    // Every item of the menus is one of those commands; every command but the icons' is in a menu.
    QList<CommandId> inMenus;
    for (QMenu* menu : h.w->menuBar()->findChildren<QMenu*>())
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || a->menu()) continue;
            const auto id = cmd::byName(a->objectName());
            ASSERT_TRUE(id.has_value()) << qPrintable(a->objectName()) << " is not a command";
            EXPECT_EQ(commands.action(*id), a);
            inMenus << *id;
        }
    for (CommandId id : commands.ids())
        EXPECT_TRUE(inMenus.contains(id) || id == cmd::imgLinks || id == cmd::imgStatus) << qPrintable(id.name());
    EXPECT_EQ(commands.ids().size(), std::size(cmd::kAll));
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
}

TEST(MainWindow, AnAltLetterRunsItsItemFromTheOpenMenu)
{
    Harness h;
    QStringList ran;
    for (CommandId item : {cmd::mnuViewLast, cmd::mnuViewLog, cmd::mnuFileImage, cmd::mnuFileImport})
        h.watchCommand(item, [&ran, item] { ran << item.name(); });
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
