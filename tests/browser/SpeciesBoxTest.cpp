// The species box: completing typed names, and the keyboard stops of the page's icons.

#include "Harness.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTextCursor>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// The program shown and active, so that the box completes and takes the keyboard.
std::unique_ptr<Harness> shownProgram(const std::function<void(test::TestFolder&)>& prepare = {})
{
    auto h = std::make_unique<Harness>(prepare);
    h->w->show();
    QApplication::setActiveWindow(h->w.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(h->w.get()));
    h->page().list()->setFocus();
    return h;
}

// Types `text` into the species box and returns the names the completer offers.
QStringList offered(Harness& h, const QString& text)
{
    QLineEdit* edit = h.page().list()->lineEdit();
    edit->selectAll();
    QTest::keyClick(h.page().list(), Qt::Key_Backspace);
    for (const QChar c : text) {
        if (c.unicode() < 128) QTest::keyClick(h.page().list(), c.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, h.page().list(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QStringList names;
    QCompleter* c = h.page().list()->completer();
    for (int i = 0; i < c->completionCount(); ++i) {
        c->setCurrentRow(i);
        names << c->currentCompletion();
    }
    return names;
}

// Chooses the completion `name` from the completer's list with the keyboard.
void choose(Harness& h, const QString& name)
{
    QCompleter* c = h.page().list()->completer();
    QAbstractItemView* popup = c->popup();
    ASSERT_TRUE(popup->isVisible()) << "the completions are offered";
    for (int i = 0; i < c->completionCount() + 1; ++i) {
        QTest::keyClick(popup, Qt::Key_Down);
        if (popup->currentIndex().data().toString() == name) break;
    }
    ASSERT_EQ(popup->currentIndex().data().toString(), name);
    QTest::keyClick(popup, Qt::Key_Return);
}

} // namespace

TEST(SpeciesBox, KeysStepThroughTheListAndMultiWordNamesCompleteToTheChosenSpecies)
{
    auto h = shownProgram();
    ASSERT_EQ(h->shown(), "Canada Goose");
    // The arrow keys and the function keys still step through the list.
    QTest::keyClick(h->page().list(), Qt::Key_Down);
    EXPECT_EQ(h->shown(), "Wood Duck");
    QTest::keyClick(h->page().list(), Qt::Key_F8);
    EXPECT_EQ(h->shown(), "Bay-breasted Warbler");
    QTest::keyClick(h->page().list(), Qt::Key_Up);
    EXPECT_EQ(h->shown(), "Palm Warbler");
    QTest::keyClick(h->page().list(), Qt::Key_F5);
    EXPECT_EQ(h->shown(), "Canada Goose");
    EXPECT_EQ(h->page().list()->currentText(), "Canada Goose");

    EXPECT_EQ(offered(*h, "wood th"), QStringList{"Wood Thrush"}) << "a space is part of the name typed";
    choose(*h, "Wood Thrush");
    EXPECT_EQ(h->shown(), "Wood Thrush");
    EXPECT_EQ(h->page().list()->currentText(), "Wood Thrush");
    EXPECT_EQ(h->page().list()->currentIndex(), h->page().list()->findText("Wood Thrush"));
    EXPECT_EQ(h->names().size(), 12) << "nothing typed joins the list";

    // Leaving the box with no species named puts the shown name back.
    offered(*h, "no such bird");
    EXPECT_EQ(h->page().list()->completer()->completionCount(), 0);
    h->page().description()->setFocus();
    EXPECT_EQ(h->page().list()->currentText(), "Wood Thrush");
    EXPECT_EQ(h->shown(), "Wood Thrush");
}

TEST(SpeciesBox, ApostropheStylesScientificNamesAndBandingCodesMatch)
{
    auto h = shownProgram([](test::TestFolder& f) {
        // Made-up species without official codes: the rule gives Woodland Dunlin WODU, which
        // is Wood Duck's official code, and both of the others MADU.
        f.exec("INSERT INTO Birds VALUES (13, 'Woodland Dunlin', 'Calidris silvestris', 'Made up.', 1, 0, 25, '', 0, "
               "NULL, NULL)");
        f.exec("INSERT INTO Birds VALUES (14, 'Marsh Dunlin', 'Calidris paludis', 'Made up.', 1, 0, 26, '', 0, "
               "'mardun', NULL)");
        f.exec("INSERT INTO Birds VALUES (15, 'Mangrove Duck', 'Anas mangle', 'Made up.', 1, 0, 27, '', 0, NULL, NULL)");
        f.exec("INSERT INTO Checklists SELECT ID, 1, 'B', '' FROM Birds WHERE ID > 12");
    });
    EXPECT_EQ(offered(*h, QStringLiteral("kirtland\u2019s")), QStringList{"Kirtland's Warbler"});
    EXPECT_EQ(offered(*h, "KIRTLAND'S W"), QStringList{"Kirtland's Warbler"});
    choose(*h, "Kirtland's Warbler");
    EXPECT_EQ(h->shown(), "Kirtland's Warbler");

    EXPECT_EQ(offered(*h, "catharus"), QStringList{"Hermit Thrush"});
    EXPECT_EQ(offered(*h, "Setophaga").size(), 4);
    EXPECT_EQ(offered(*h, "heth"), QStringList{"Hermit Thrush"});
    choose(*h, "Hermit Thrush");
    EXPECT_EQ(h->shown(), "Hermit Thrush");

    EXPECT_EQ(offered(*h, "WODU"), QStringList{"Wood Duck"}) << "an official code belongs to its species alone";
    QStringList shared = offered(*h, "madu");
    shared.sort();
    EXPECT_EQ(shared, (QStringList{"Mangrove Duck", "Marsh Dunlin"})) << "a rule's code shared by two species offers both";
    choose(*h, "Marsh Dunlin");
    EXPECT_EQ(h->shown(), "Marsh Dunlin");
}

TEST(PageIcons, AnIconWithoutPictureIsNoKeyboardStop)
{
    auto h = std::make_unique<Harness>();
    h->w->show();
    QApplication::setActiveWindow(h->w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(h->w.get()));
    EXPECT_EQ(QApplication::focusWidget(), h->page().list()) << "the list has the keyboard at start";
    // Canada Goose: no web links, but a seasonal detail in North America.
    ASSERT_TRUE(h->page().icon(0)->icon().isNull());
    ASSERT_FALSE(h->page().icon(1)->icon().isNull());
    auto visited = [&] {
        QSet<QWidget*> seen;
        h->page().list()->setFocus();
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.insert(QApplication::focusWidget());
        }
        return seen;
    };
    QSet<QWidget*> stops = visited();
    EXPECT_FALSE(stops.contains(h->page().icon(0))) << "the empty links icon is skipped";
    EXPECT_TRUE(stops.contains(h->page().icon(1)));
    EXPECT_TRUE(stops.contains(h->page().description()));

    h->db().execute("INSERT INTO Links VALUES (3, 'Goose page', 'http://example.org/goose')");
    h->w->refreshSpecies();
    stops = visited();
    EXPECT_TRUE(stops.contains(h->page().icon(0))) << "with a picture the links icon is a stop";
}

namespace {

struct MenuShortcut {
    CommandId item;
    QKeySequence keys;
};

// Every menu item that carries a shortcut, as the menus show it.
QList<MenuShortcut> menuShortcuts(Harness& h)
{
    QList<MenuShortcut> found;
    for (QMenu* menu : h.w->menuBar()->findChildren<QMenu*>())
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->menu() && !a->shortcut().isEmpty()) found.append({*cmd::byName(a->objectName()), a->shortcut()});
    return found;
}

// A text box's key bindings come from the desktop: on X11 desktops the line edit and the text
// box claim Ctrl+E (end of line) and Ctrl+U (delete the line) before any menu shortcut; the
// offscreen platform of the tests claims none of them. This claims every key for the box, as
// the widest bindings would, and leaves the key event to go on to the box itself.
class ClaimsEveryKey : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) event->accept();
        return false;
    }
};

// Presses each menu shortcut with the keyboard in `box` (given the focus first) and checks that
// exactly its item ran and nothing was typed into the box.
void expectShortcutsWinIn(Harness& h, QWidget* box, const std::function<QString()>& boxText)
{
    ClaimsEveryKey claim;
    box->installEventFilter(&claim);
    const QList<MenuShortcut> shortcuts = menuShortcuts(h);
    ASSERT_GE(shortcuts.size(), 17) << "the menus carry their shortcuts";
    QStringList ran;
    for (const MenuShortcut& s : shortcuts) {
        // A recorder in place of each command, enabled, so that every shortcut can be seen to act.
        h.watchCommand(s.item, [&ran, item = s.item] { ran << item.name(); });
        h.w->commands().setEnabled(s.item, true);
    }
    const QString before = boxText();
    for (const MenuShortcut& s : shortcuts) {
        box->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), box);
        ran.clear();
        const QKeyCombination key = s.keys[0];
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(ran, QStringList{s.item.name()}) << qPrintable(s.keys.toString()) << " in " << qPrintable(box->objectName());
        EXPECT_EQ(boxText(), before) << qPrintable(s.keys.toString()) << " changed the box";
    }
}

} // namespace

TEST(SpeciesBox, EveryMenuShortcutWinsOverTheTypingInTheBoxAndTheDescription)
{
    auto h = shownProgram();
    QLineEdit* edit = h->page().list()->lineEdit();
    // The caret inside the name, so that keys that move or delete would show.
    edit->setCursorPosition(3);
    expectShortcutsWinIn(*h, h->page().list(), [&] {
        return h->page().list()->currentText() + u'|' + QString::number(edit->cursorPosition());
    });

    QTextCursor caret = h->page().description()->textCursor();
    caret.setPosition(3);
    h->page().description()->setTextCursor(caret);
    expectShortcutsWinIn(*h, h->page().description(), [&] {
        return h->page().description()->toPlainText() + u'|' + QString::number(h->page().description()->textCursor().position());
    });
}
