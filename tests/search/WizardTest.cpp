#include "Harness.h"

#include "search/WizardQueries.h"
#include "search/WizardWidgets.h"
#include "search/frmWizard.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

constexpr int kSongbirds = 7;
constexpr int kBreeders = 4;
constexpr int kTransients = 5;
constexpr int kWinter = 6;

// The fixture's warblers in two subfamilies (the yellowthroat in none), one transient, and
// a duck that only winters (lower-case w).
void taxonomy(test::TestFolder& f)
{
    f.exec("INSERT INTO subFamilies VALUES (1, 3, 'Tree Warblers', 'Setophagini', 'Tree text.', 'Bright', 178)");
    f.exec("INSERT INTO subFamilies VALUES (2, 3, 'Ground Warblers', 'Seiurini', 'Ground text.', 'Walks', 0)");
    f.exec("UPDATE Birds SET subFam_ID = 1 WHERE ID IN (7, 10, 11, 12)");
    f.exec("UPDATE Birds SET subFam_ID = 2 WHERE ID = 8");
    // No subfamily is written as NULL or 0; one thrush has each.
    f.exec("UPDATE Birds SET subFam_ID = NULL WHERE ID IN (5, 9)");
    f.exec("UPDATE Checklists SET Status = 'T', scode = 'UT/' WHERE Reg_ID = 1 AND Bird_ID = 8");
    f.exec("UPDATE Checklists SET scode = 'Fw/' WHERE Reg_ID = 1 AND Bird_ID = 2");
}

WizardHolder* holder(Harness& h) { return h.w->findChild<WizardHolder*>(); }

// Opens the wizard by its menu command and makes it the active window.
frmWizard* open(Harness& h)
{
    h.run(cmd::mnuSearchWizard);
    frmWizard* w = holder(h) ? holder(h)->wizard() : nullptr;
    if (w) {
        QApplication::setActiveWindow(w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    }
    return w;
}

// Clicks an option button on its round indicator.
void clickOption(frmWizard& w, int criterion)
{
    QRadioButton* o = w.optType[criterion];
    QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(8, o->height() / 2));
}

void choose(frmWizard& w, int birdType, int criterion)
{
    clickOption(w, criterion);
    w.picBird[birdType]->setFocus(Qt::MouseFocusReason);
}

// The grid as text: "name|sub|fam" per row.
QStringList gridRows(frmWizard& w)
{
    QStringList rows;
    for (int r = 0; r < w.grid->rowCount(); ++r)
        rows << QStringLiteral("%1|%2|%3")
                    .arg(w.grid->cell(r, 3).toString(), w.grid->cell(r, 1).toString(), w.grid->cell(r, 2).toString());
    return rows;
}

void chooseRow(frmWizard& w, int row)
{
    w.msfg->scrollTo(w.grid->index(row, 3));
    QTest::mouseClick(w.msfg->viewport(), Qt::LeftButton, {}, w.msfg->visualRect(w.grid->index(row, 3)).center());
}

// Step 1 shows the pictures and Next; step 2 the grid, Back and Show All.
void expectStep(frmWizard& w, int step)
{
    const bool first = step == 1;
    EXPECT_EQ(w.lblStep->text(), first ? "Step 1: Select the search criteria and type of bird."
                                       : "Step 2: Choose the family that you wish to view.");
    EXPECT_EQ(w.pic1->isVisible(), first);
    EXPECT_EQ(w.msfg->isVisible(), !first);
    EXPECT_EQ(w.cmdNext->isVisible(), first);
    EXPECT_EQ(w.cmdBack->isVisible(), !first);
    EXPECT_EQ(w.cmdAll->isEnabled(), !first);
    EXPECT_TRUE(w.cmdCancel->isEnabled());
    if (first) {
        EXPECT_FALSE(w.cmdView->isEnabled());
    } else {
        EXPECT_TRUE(w.cmdBack->isEnabled());
    }
}

} // namespace

TEST(WizardStep1, OpensWithNothingChosenAndNextWaitsForAPicture)
{
    Harness h;
    frmWizard* w = open(h);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Search Wizard");
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_FALSE(w->isModal());
    expectStep(*w, 1);
    EXPECT_FALSE(w->cmdNext->isEnabled());
    EXPECT_EQ(w->cmdNext->text(), "&Next");
    EXPECT_EQ(w->cmdBack->text(), "&Back");
    EXPECT_EQ(w->cmdView->text(), "&Show Selected");
    EXPECT_EQ(w->cmdAll->text(), "Show &All Families");
    EXPECT_EQ(w->cmdCancel->text(), "&Close");
    EXPECT_EQ(w->fraSearch->title(), "Search For");
    EXPECT_EQ(w->fraType->title(), "Bird Type");
    EXPECT_TRUE(w->optType[0]->isChecked());
    QStringList options;
    for (QRadioButton* o : w->optType) options << o->text();
    EXPECT_EQ(options, (QStringList{"All Birds", "Abundant Birds", "Abundant or Common", "All (Exclude Rarities)",
                                    "Breeders", "Transients", "Winter Birds"}));
    const QStringList captions{"Duck or Goose-like", "Gulls and Sea Birds", "Long-legged Waders", "Small Wading Birds",
                               "Fowl-like Birds",   "Birds of Prey",       "Other Land Birds",   "Songbirds"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(w->lblName[i]->text(), captions[i]);
        EXPECT_EQ(w->picBird[i]->accessibleName(), captions[i]);
        EXPECT_FALSE(w->picBird[i]->picture().isNull());
        EXPECT_FALSE(w->picBird[i]->hasBorder());
        // Two rows of four, each caption under its picture.
        EXPECT_LT(w->picBird[i]->geometry().bottom(), w->lblName[i]->geometry().top());
        if (i % 4) {
            EXPECT_GT(w->picBird[i]->x(), w->picBird[i - 1]->x());
        }
        if (i >= 4) {
            EXPECT_GT(w->picBird[i]->y(), w->lblName[i - 4]->y());
        }
    }
    EXPECT_TRUE(h.platform.messages.isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), w->optType[0]) << "no kind of bird is chosen on opening";

    // Next waits for a picture, and Tab is enough to reach one.
    int tabs = 0;
    while (!qobject_cast<BirdTypePicture*>(QApplication::focusWidget()) && tabs < 12) {
        EXPECT_FALSE(w->cmdNext->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ++tabs;
    }
    ASSERT_EQ(QApplication::focusWidget(), w->picBird[0]);
    EXPECT_TRUE(w->cmdNext->isEnabled());
    EXPECT_TRUE(w->picBird[0]->hasBorder());
    EXPECT_EQ(w->birdType, 0);
    // The next picture takes over the single border.
    QTest::keyClick(w->picBird[0], Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->picBird[1]);
    EXPECT_EQ(w->birdType, 1);
    int borders = 0;
    for (auto* p : w->picBird) borders += p->hasBorder() ? 1 : 0;
    EXPECT_EQ(borders, 1);
    EXPECT_TRUE(w->picBird[1]->hasBorder());
    // A click chooses as well.
    QTest::mouseClick(w->picBird[6], Qt::LeftButton);
    EXPECT_EQ(w->birdType, 6);
    EXPECT_TRUE(w->picBird[6]->hasBorder());
    EXPECT_FALSE(w->picBird[1]->hasBorder());

    // The criteria set their clauses.
    EXPECT_TRUE(w->qryCriteria.isEmpty());
    clickOption(*w, kWinter);
    EXPECT_EQ(w->qryCriteria, " AND (scode LIKE '*W*' OR Scode like '*P*') ");
    clickOption(*w, kBreeders);
    EXPECT_EQ(w->qryCriteria, " AND (Status = 'B') ");
    clickOption(*w, 0);
    EXPECT_EQ(w->qryCriteria, " ");
    EXPECT_EQ(wizardCriteria()[2].clause, " AND (scode LIKE '*C*' OR Scode like '*F*') ");
}

TEST(WizardStep1, APictureThatCannotBeLoadedIsReportedOnce)
{
    Harness h;
    frmWizard w(h.ctx, [](int n) { return n == 131 ? QPixmap() : QPixmap(20, 20); });
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "Error loading image");
    EXPECT_EQ(h.platform.messages[0].title, "Image load eror");
    EXPECT_EQ(h.platform.messages[0].buttons, Platform::Buttons::Ok);
    EXPECT_TRUE(w.picBird[2]->picture().isNull());
    EXPECT_FALSE(w.picBird[3]->picture().isNull()) << "loading goes on after a failure";
    EXPECT_EQ(w.lblStep->text(), "Step 1: Select the search criteria and type of bird.");
    EXPECT_EQ(h.platform.hourglassDepth, 0);
}

TEST(WizardGrid, OneRowPerFamilyAndSubfamilyPairEachSendingItsSpecies)
{
    Harness h(taxonomy);
    frmWizard* w = open(h);
    ASSERT_NE(w, nullptr);
    choose(*w, kSongbirds, 0);
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    expectStep(*w, 2);
    EXPECT_FALSE(w->cmdView->isEnabled());
    // Thrushes (no subfamily), the yellowthroat's family row, and the two subfamilies.
    EXPECT_EQ(gridRows(*w), (QStringList{"Thrushes|0|2", "Wood-Warblers|0|3", "Tree Warblers|1|3",
                                         "Ground Warblers|2|3"}));
    EXPECT_EQ(w->grid->cell(0, 5).toString(), "Round heads");
    EXPECT_EQ(w->grid->cell(2, 5).toString(), "Bright");
    // Pictures with the family's name for screen readers; none where the row has no picture.
    const auto picture = [w](int row) { return w->grid->index(row, 4).data(Qt::DecorationRole).value<QPixmap>(); };
    EXPECT_FALSE(picture(0).isNull());
    EXPECT_FALSE(picture(2).isNull());
    EXPECT_TRUE(picture(3).isNull());
    EXPECT_EQ(w->grid->index(0, 4).data(Qt::AccessibleTextRole).toString(), "Thrushes");
    EXPECT_EQ(w->grid->index(3, 4).data(Qt::AccessibleTextRole).toString(), "Ground Warblers");
    EXPECT_TRUE(w->grid->index(0, 4).data(Qt::DisplayRole).toString().isEmpty());

    // Layout: three hidden key columns, widths and row height in twips at the screen's dpi.
    // The header texts of the grid's format, trailing blanks included.
    QStringList headers;
    for (int c = 0; c < w->grid->columnCount(); ++c) headers << w->grid->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{"    ", "Sub_ID ", "Fam_ID", "Name  ", "Image ", "Description"}));
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(w->msfg->isColumnHidden(c)) << c;
    const int dpiX = w->msfg->logicalDpiX();
    EXPECT_EQ(w->msfg->columnWidth(3), twipsToPixels(1300, dpiX));
    EXPECT_EQ(w->msfg->columnWidth(4), twipsToPixels(4400, dpiX));
    EXPECT_EQ(w->msfg->columnWidth(5), twipsToPixels(3000, dpiX));
    EXPECT_EQ(w->msfg->rowHeight(2), twipsToPixels(1170, w->msfg->logicalDpiY()));
    EXPECT_TRUE(w->msfg->wordWrap());
    EXPECT_FALSE(w->msfg->verticalHeader()->isVisible());
    EXPECT_EQ(w->grid->index(0, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);

    // Clicking a row chooses it.
    chooseRow(*w, 1);
    EXPECT_TRUE(w->cmdView->isEnabled());
    EXPECT_EQ(h.platform.hourglassDepth, 0);

    // A subfamily row sends its own species, the family row the whole family.
    chooseRow(*w, 2); // Tree Warblers
    QTest::mouseClick(w->cmdView, Qt::LeftButton);
    EXPECT_EQ(h.names(), (QStringList{"Yellow Warbler", "Kirtland's Warbler", "Palm Warbler", "Bay-breasted Warbler"}));
    EXPECT_EQ(h.shown(), "Yellow Warbler");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 4");
    EXPECT_EQ(h.panel("Type"), "Find : By Wizard");
    EXPECT_EQ(h.state.searchType, "All Birds");
    // The wizard stays open at step 2.
    EXPECT_TRUE(w->isVisible());
    expectStep(*w, 2);
    EXPECT_TRUE(w->cmdView->isEnabled());

    chooseRow(*w, 3);
    w->cmdView_Click();
    EXPECT_EQ(h.names(), QStringList{"Ovenbird"});
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 1");

    chooseRow(*w, 1); // the family row: every warbler, in a subfamily or not
    w->cmdView_Click();
    EXPECT_EQ(h.names(), (QStringList{"Yellow Warbler", "Ovenbird", "Common Yellowthroat", "Kirtland's Warbler",
                                      "Palm Warbler", "Bay-breasted Warbler"}));
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 6");

    // All families, in the sort order chosen.
    h.state.qrySort = kSortByName;
    QTest::mouseClick(w->cmdAll, Qt::LeftButton);
    EXPECT_EQ(h.names().size(), 9);
    EXPECT_EQ(h.names().first(), "American Robin");
    EXPECT_EQ(h.shown(), "American Robin");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 9");
    expectStep(*w, 2);
    EXPECT_TRUE(h.platform.messages.isEmpty());
}

TEST(WizardGrid, KeyboardMovesTheRowAndEnterShowsItOnceARowIsChosen)
{
    Harness h(taxonomy);
    frmWizard* w = open(h);
    ASSERT_NE(w, nullptr);
    const QStringList before = h.names();
    choose(*w, kSongbirds, 0);
    w->cmdNext_Click();
    ASSERT_EQ(QApplication::focusWidget(), w->msfg) << "the keyboard goes on in the grid";
    ASSERT_FALSE(w->cmdView->isEnabled());
    // The grid has a current row as soon as it has the keyboard, but no row is chosen yet.
    QTest::keyClick(w->msfg, Qt::Key_Return);
    QTest::keyClick(w->msfg, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(h.names(), before) << "nothing is sent before a row is chosen";
    EXPECT_FALSE(w->cmdView->isEnabled());
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");

    // Moving chooses the row.
    QTest::keyClick(w->msfg, Qt::Key_Down);
    EXPECT_TRUE(w->cmdView->isEnabled());
    const int first = w->msfg->currentIndex().row();
    QTest::keyClick(w->msfg, Qt::Key_Down);
    EXPECT_EQ(w->msfg->currentIndex().row(), first + 1);
    // Down to the Ground Warblers row, then Enter.
    while (w->msfg->currentIndex().row() < 3) QTest::keyClick(w->msfg, Qt::Key_Down);
    QTest::keyClick(w->msfg, Qt::Key_Up);
    QTest::keyClick(w->msfg, Qt::Key_Down);
    QTest::keyClick(w->msfg, Qt::Key_Return);
    EXPECT_EQ(h.names(), QStringList{"Ovenbird"});
    EXPECT_EQ(h.panel("Type"), "Find : By Wizard");
    EXPECT_TRUE(w->isVisible());

    // Back and Next again: Space chooses the row the keyboard is on; Enter then shows it.
    w->cmdBack_Click();
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    w->msfg->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), w->msfg);
    ASSERT_FALSE(w->cmdView->isEnabled());
    ASSERT_EQ(w->msfg->currentIndex().row(), 0);
    QTest::keyClick(w->msfg, Qt::Key_Space);
    EXPECT_TRUE(w->cmdView->isEnabled());
    QTest::keyClick(w->msfg, Qt::Key_Return);
    EXPECT_EQ(h.names(), (QStringList{"Wood Thrush", "Hermit Thrush", "American Robin"})) << "the thrushes of row 0";
}

TEST(WizardCriteria, BackAnotherCriterionAndNextRebuildFromTheChecklist)
{
    Harness h(taxonomy);
    frmWizard* w = open(h);
    ASSERT_NE(w, nullptr);
    choose(*w, kSongbirds, kBreeders);
    w->cmdNext_Click();
    EXPECT_EQ(gridRows(*w), (QStringList{"Thrushes|0|2", "Wood-Warblers|0|3", "Tree Warblers|1|3"}));
    chooseRow(*w, 0);
    QTest::mouseClick(w->cmdBack, Qt::LeftButton);
    expectStep(*w, 1);
    EXPECT_TRUE(w->cmdNext->isEnabled()) << "the chosen type remains";
    EXPECT_TRUE(w->picBird[kSongbirds]->hasBorder());
    EXPECT_EQ(w->birdType, kSongbirds);
    EXPECT_EQ(QApplication::focusWidget(), w->picBird[kSongbirds]);
    EXPECT_TRUE(w->optType[kBreeders]->isChecked());
    clickOption(*w, kTransients);
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    expectStep(*w, 2);
    EXPECT_FALSE(w->cmdView->isEnabled());
    EXPECT_EQ(gridRows(*w), QStringList{"Ground Warblers|2|3"});
    chooseRow(*w, 0);
    w->cmdView_Click();
    EXPECT_EQ(h.names(), QStringList{"Ovenbird"});

    // The row's checklist emptied since Next: the list stays as it was.
    const QStringList before = h.names();
    const QString shown = h.shown();
    h.db().execute("DELETE FROM Checklists WHERE Bird_ID = 8");
    w->cmdView_Click();
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].title, "Unsuccessful search");
    EXPECT_EQ(h.names(), before);
    EXPECT_EQ(h.shown(), shown);
    EXPECT_NE(h.panel("Hits"), "Search Results : 1 of 0");
    expectStep(*w, 2);
}

TEST(WizardCriteria, NothingFoundStaysAtStepOneAndWinterFindsALowerCaseW)
{
    Harness h(taxonomy);
    frmWizard* w = open(h);
    ASSERT_NE(w, nullptr);
    const QStringList before = h.names();
    choose(*w, 3, 0); // no small waders in the fixture
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "No birds found in search. Note that the checklist for this region must "
                                           "contain status information for the wizard to work.");
    EXPECT_EQ(h.platform.messages[0].title, "Unsuccessful search");
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Exclamation);
    expectStep(*w, 1);
    EXPECT_TRUE(w->cmdNext->isEnabled());
    EXPECT_EQ(h.names(), before);
    EXPECT_EQ(h.platform.hourglassDepth, 0);

    // Winter birds find a lower-case w.
    choose(*w, 0, kWinter);
    w->cmdNext_Click();
    EXPECT_EQ(gridRows(*w), QStringList{"Ducks, Geese, and Waterfowl|0|1"});
    w->cmdAll_Click();
    EXPECT_EQ(h.names(), QStringList{"Wood Duck"}) << "only the entry with 'w' in its code";
}

TEST(WizardCriteria, WorldFindsNothingAndChangesNothing)
{
    Harness h([](test::TestFolder& f) {
        taxonomy(f);
        f.exec("UPDATE Options SET Reg_ID = 0, regname = 'World', regType = 'World'");
    });
    ASSERT_EQ(h.state.Reg_ID, 0);
    const QStringList before = h.names();
    const QString shown = h.shown();
    const QString hits = h.panel("Hits");
    const QString type = h.panel("Type");
    frmWizard* w = open(h);
    ASSERT_NE(w, nullptr);
    choose(*w, kSongbirds, 0);
    w->cmdNext_Click();
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].title, "Unsuccessful search");
    EXPECT_TRUE(h.platform.messages[0].text.startsWith("No birds found in search."));
    expectStep(*w, 1);
    EXPECT_EQ(w->grid->rowCount(), 0);
    EXPECT_EQ(h.names(), before);
    EXPECT_EQ(h.shown(), shown);
    EXPECT_EQ(h.panel("Hits"), hits);
    EXPECT_EQ(h.panel("Type"), type);
    EXPECT_EQ(h.state.Reg_ID, 0);
}

// The command's shortcut and toolbar button are the documented table's (MainWindow tests).
TEST(WizardWindow, OneInstanceKeptUntilClosedOrTheMainWindowCloses)
{
    Harness h(taxonomy);
    h.run(cmd::mnuSearchWizard);
    QPointer<frmWizard> w = holder(h)->wizard();
    ASSERT_FALSE(w.isNull());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(h.w->isEnabled()) << "the main window stays usable";
    choose(*w, kSongbirds, kBreeders);
    w->cmdNext_Click();
    // Opening again only brings the same window forward, at the same step.
    h.run(cmd::mnuSearchWizard);
    EXPECT_EQ(holder(h)->wizard(), w.data());
    expectStep(*w, 2);

    // Close unloads it; the next opening starts afresh.
    QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    frmWizard* again = open(h);
    ASSERT_NE(again, nullptr);
    expectStep(*again, 1);
    EXPECT_FALSE(again->cmdNext->isEnabled());
    EXPECT_TRUE(again->optType[0]->isChecked());
    EXPECT_EQ(again->birdType, 0);

    // Esc closes it too.
    QPointer<frmWizard> esc = again;
    QTest::keyClick(again, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(esc.isNull());

    // A double click on a picture runs Next; closing the main window closes the wizard.
    frmWizard* third = open(h);
    ASSERT_NE(third, nullptr);
    QTest::mouseDClick(third->picBird[kSongbirds], Qt::LeftButton);
    expectStep(*third, 2);
    EXPECT_EQ(third->birdType, kSongbirds);
    EXPECT_EQ(third->grid->rowCount(), 4);
    QPointer<frmWizard> alive = third;
    h.w->close();
    EXPECT_TRUE(alive.isNull() || !alive->isVisible());
}
