// The species box: completing typed names, and the keyboard stops of the page's icons.

#include "Harness.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLineEdit>
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
    h->w->cmbNames->setFocus();
    return h;
}

// Types `text` into the species box and returns the names the completer offers.
QStringList offered(Harness& h, const QString& text)
{
    QLineEdit* edit = h.w->cmbNames->lineEdit();
    edit->selectAll();
    QTest::keyClick(h.w->cmbNames, Qt::Key_Backspace);
    for (const QChar c : text) {
        if (c.unicode() < 128) QTest::keyClick(h.w->cmbNames, c.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, h.w->cmbNames, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QStringList names;
    QCompleter* c = h.w->cmbNames->completer();
    for (int i = 0; i < c->completionCount(); ++i) {
        c->setCurrentRow(i);
        names << c->currentCompletion();
    }
    return names;
}

// Chooses the completion `name` from the completer's list with the keyboard.
void choose(Harness& h, const QString& name)
{
    QCompleter* c = h.w->cmbNames->completer();
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

TEST(SpeciesBox, MultiWordNamesCompleteAndShowTheChosenSpecies)
{
    auto h = shownProgram();
    ASSERT_EQ(h->shown(), "Canada Goose");
    EXPECT_EQ(offered(*h, "wood th"), QStringList{"Wood Thrush"}) << "a space is part of the name typed";
    choose(*h, "Wood Thrush");
    EXPECT_EQ(h->shown(), "Wood Thrush");
    EXPECT_EQ(h->w->cmbNames->currentText(), "Wood Thrush");
    EXPECT_EQ(h->w->cmbNames->currentIndex(), h->w->cmbNames->findText("Wood Thrush"));
    EXPECT_EQ(h->names().size(), 12) << "nothing typed joins the list";
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

TEST(SpeciesBox, LeavingTheBoxWithNoSpeciesNamedPutsTheShownNameBack)
{
    auto h = shownProgram();
    offered(*h, "no such bird");
    EXPECT_EQ(h->w->cmbNames->completer()->completionCount(), 0);
    h->w->txtData->setFocus();
    EXPECT_EQ(h->w->cmbNames->currentText(), "Canada Goose");
    EXPECT_EQ(h->shown(), "Canada Goose");
}

TEST(SpeciesBox, ArrowKeysAndFunctionKeysStillStepThroughTheList)
{
    auto h = shownProgram();
    QTest::keyClick(h->w->cmbNames, Qt::Key_Down);
    EXPECT_EQ(h->shown(), "Wood Duck");
    QTest::keyClick(h->w->cmbNames, Qt::Key_F8);
    EXPECT_EQ(h->shown(), "Bay-breasted Warbler");
    QTest::keyClick(h->w->cmbNames, Qt::Key_Up);
    EXPECT_EQ(h->shown(), "Palm Warbler");
    QTest::keyClick(h->w->cmbNames, Qt::Key_F5);
    EXPECT_EQ(h->shown(), "Canada Goose");
    EXPECT_EQ(h->w->cmbNames->currentText(), "Canada Goose");
}

TEST(PageIcons, AnIconWithoutPictureIsNoKeyboardStop)
{
    auto h = std::make_unique<Harness>();
    h->w->show();
    QApplication::setActiveWindow(h->w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(h->w.get()));
    EXPECT_EQ(QApplication::focusWidget(), h->w->cmbNames) << "the list has the keyboard at start";
    // Canada Goose: no web links, but a seasonal detail in North America.
    ASSERT_TRUE(h->w->img[0]->icon().isNull());
    ASSERT_FALSE(h->w->img[1]->icon().isNull());
    auto visited = [&] {
        QSet<QWidget*> seen;
        h->w->cmbNames->setFocus();
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.insert(QApplication::focusWidget());
        }
        return seen;
    };
    QSet<QWidget*> stops = visited();
    EXPECT_FALSE(stops.contains(h->w->img[0])) << "the empty links icon is skipped";
    EXPECT_TRUE(stops.contains(h->w->img[1]));
    EXPECT_TRUE(stops.contains(h->w->txtData));

    h->db().execute("INSERT INTO Links VALUES (3, 'Goose page', 'http://example.org/goose')");
    h->w->refreshSpecies();
    stops = visited();
    EXPECT_TRUE(stops.contains(h->w->img[0])) << "with a picture the links icon is a stop";
}
