#include "Harness.h"

#include "checklists/ChecklistGrid.h"
#include "checklists/frmChecklist.h"
#include "ui/RowTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <memory>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// Grid rows of the fixture in checklist order: Canada Goose (3), Wood Duck (2), Mallard (1),
// Wood Thrush (6), Hermit Thrush (5), American Robin (4), then the warblers 7 to 12.
constexpr int kGooseRow = 0;

std::unique_ptr<frmChecklist> editor(Harness& h, int regId, const QString& name)
{
    h.state.selReg_ID = regId;
    h.state.selRegname = name;
    return std::make_unique<frmChecklist>(h.ctx, h.w.get());
}

QString entry(Harness& h, int regId, int bird)
{
    auto rs = h.db().openRecordset("SELECT Status, scode FROM Checklists WHERE Reg_ID = ? AND Bird_ID = ?",
                                   db::RecordsetKind::Snapshot, {regId, bird});
    if (rs.eof()) return "(none)";
    return rs.field(0).toString() + "|" + rs.field(1).toString();
}

void choose(QComboBox* box, const QString& word)
{
    const int i = box->findText(word);
    ASSERT_GE(i, 0) << word.toStdString();
    box->setCurrentIndex(i);
}

QStringList detail(const frmChecklist& e)
{
    QStringList v;
    for (int r = 0; r < 3; ++r)
        v << e.cmbNum[r]->currentText() + "," + e.cmbStatus[r]->currentText() + "," + e.cmbSpec[r]->currentText();
    return v;
}

} // namespace

TEST(ChecklistEditor, RegionWithoutEntriesOffersOnlyAddAndAnAddedEntryIsSaved)
{
    Harness h;
    auto e = editor(h, test::kEmptyRegion, "Point Pelee");
    EXPECT_EQ(e->windowTitle(), "Checklist Maintenance for Point Pelee");
    ASSERT_EQ(e->grid->rowCount(), 12);
    for (int r = 0; r < 12; ++r) EXPECT_EQ(e->cell(r, frmChecklist::ColStatus), "") << r;
    EXPECT_EQ(e->cell(0, frmChecklist::ColName), "Canada Goose");
    EXPECT_EQ(e->cell(0, frmChecklist::ColId), "3");
    EXPECT_EQ(e->cell(11, frmChecklist::ColName), "Bay-breasted Warbler");
    EXPECT_TRUE(e->Msfg1->isColumnHidden(frmChecklist::ColFixed));
    EXPECT_TRUE(e->Msfg1->isColumnHidden(frmChecklist::ColId));
    EXPECT_FALSE(e->Msfg1->isColumnHidden(frmChecklist::ColName));
    EXPECT_FALSE(e->Msfg1->isColumnHidden(frmChecklist::ColStatus));
    EXPECT_EQ(e->grid->headerData(frmChecklist::ColName, Qt::Horizontal).toString(), "Name  ");
    EXPECT_EQ(e->grid->headerData(frmChecklist::ColStatus, Qt::Horizontal).toString(), "Status ");

    EXPECT_EQ(e->currentRow(), kGooseRow);
    EXPECT_EQ(e->lbltitle[4]->text(), "Canada Goose");
    EXPECT_TRUE(e->cmdAdd->isEnabled());
    EXPECT_TRUE(e->cmdAdd->isDefault());
    EXPECT_FALSE(e->cmdDelete->isEnabled());
    EXPECT_FALSE(e->cmdSave->isEnabled());
    EXPECT_FALSE(e->cmbStat->isEnabled());
    for (int r = 0; r < 3; ++r) {
        EXPECT_FALSE(e->cmbNum[r]->isEnabled());
        EXPECT_FALSE(e->cmbStatus[r]->isEnabled());
        EXPECT_FALSE(e->cmbSpec[r]->isEnabled());
    }
    EXPECT_EQ(e->cmbStat->currentIndex(), -1);
    EXPECT_FALSE(e->loadingRow);
    EXPECT_GT(h.platform.hourglassShown, 0);
    EXPECT_EQ(h.platform.hourglassDepth, 0);

    e->cmdClear->click(); // the boxes are empty already: nothing to save
    EXPECT_FALSE(e->cmdSave->isEnabled());

    // Add, then Common, then Save: None and one letter.
    e->cmdAdd->click();
    EXPECT_EQ(entry(h, test::kEmptyRegion, 3), "N|") << "a new entry has no detail";
    EXPECT_EQ(e->cell(kGooseRow, frmChecklist::ColStatus), "N");
    EXPECT_EQ(e->cmbStat->currentText(), "None");
    EXPECT_FALSE(e->cmdAdd->isEnabled());
    EXPECT_FALSE(e->cmdAdd->isDefault());
    EXPECT_FALSE(e->cmdSave->isEnabled()) << "showing None is not an edit";
    EXPECT_TRUE(e->cmdDelete->isEnabled());
    EXPECT_TRUE(e->cmbNum[0]->isEnabled());

    choose(e->cmbNum[0], "Common");
    EXPECT_TRUE(e->cmdSave->isEnabled());
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kEmptyRegion, 3), "N|F////////");
    EXPECT_FALSE(e->cmdSave->isEnabled());

    // Delete right after Add works on the entry just added.
    e->cmdDelete->click(); // the platform answers Yes
    EXPECT_EQ(entry(h, test::kEmptyRegion, 3), "(none)");
    EXPECT_EQ(e->cell(kGooseRow, frmChecklist::ColStatus), "");
    EXPECT_TRUE(e->cmdAdd->isEnabled());
    EXPECT_TRUE(e->cmdAdd->isDefault());
}

TEST(ChecklistEditor, EntryOfTheRegionIsShownInTheBoxesAndDeletedAfterAQuestion)
{
    Harness h;
    h.db().execute("UPDATE Checklists SET scode = 'CP/UsLXVI' WHERE Reg_ID = 2 AND Bird_ID = 3");
    auto e = editor(h, test::kOntario, "Ontario");
    for (int r = 0; r < 6; ++r) EXPECT_EQ(e->cell(r, frmChecklist::ColStatus), "B") << r;
    for (int r = 6; r < 12; ++r) EXPECT_EQ(e->cell(r, frmChecklist::ColStatus), "") << r;
    EXPECT_EQ(e->cmbStat->currentText(), "Breeder");
    EXPECT_EQ(detail(*e), (QStringList{"Abundant,Permanent Breeder,", "Uncommon,Summer Non-breeder,(Limited Range)",
                                       "Very Rare,Vagrant,(Irregular)"}));
    EXPECT_FALSE(e->cmdAdd->isEnabled());
    EXPECT_FALSE(e->cmdAdd->isDefault());
    EXPECT_TRUE(e->cmdDelete->isEnabled());
    EXPECT_FALSE(e->cmdSave->isEnabled()) << "nothing changed yet";
    EXPECT_TRUE(e->cmbStat->isEnabled());
    EXPECT_TRUE(e->cmbSpec[2]->isEnabled());

    e->setCurrentCell(6, frmChecklist::ColName); // Yellow Warbler, not in Ontario
    EXPECT_EQ(e->lbltitle[4]->text(), "Yellow Warbler");
    EXPECT_EQ(e->cmbStat->currentIndex(), -1);
    EXPECT_EQ(detail(*e), (QStringList{",,", ",,", ",,"}));
    EXPECT_TRUE(e->cmdAdd->isDefault());

    // Delete asks; No changes nothing.
    e->setCurrentCell(kGooseRow, frmChecklist::ColName);
    h.platform.answers = {Platform::Answer::No};
    e->cmdDelete->click();
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "Do you really want to remove this bird from the checklist?");
    EXPECT_EQ(h.platform.messages[0].title, "Delete Checklist Entry");
    EXPECT_EQ(h.platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(entry(h, test::kOntario, 3), "B|CP/UsLXVI");
    EXPECT_EQ(e->cell(kGooseRow, frmChecklist::ColStatus), "B");
    EXPECT_EQ(e->cmbStat->currentText(), "Breeder");
    EXPECT_TRUE(e->cmdDelete->isEnabled());
    EXPECT_FALSE(e->cmdAdd->isEnabled());

    h.platform.answers = {Platform::Answer::Yes};
    e->cmdDelete->click();
    EXPECT_EQ(entry(h, test::kOntario, 3), "(none)");
    EXPECT_EQ(e->cell(kGooseRow, frmChecklist::ColStatus), "");
    EXPECT_EQ(e->cmbStat->currentIndex(), -1);
    EXPECT_FALSE(e->cmbStat->isEnabled());
    EXPECT_EQ(detail(*e), (QStringList{",,", ",,", ",,"}));
    EXPECT_FALSE(e->cmbNum[0]->isEnabled());
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = 2").toInt(), 5);
}

TEST(ChecklistEditor, SaveWritesStatusAndNineCharacters)
{
    Harness h;
    auto e = editor(h, test::kOntario, "Ontario");
    choose(e->cmbStat, "Visitor");
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kOntario, 3), "V|CP///////");
    EXPECT_EQ(e->cell(kGooseRow, frmChecklist::ColStatus), "V");

    e->cmdClear->click();
    EXPECT_EQ(detail(*e), (QStringList{",,", ",,", ",,"}));
    EXPECT_TRUE(e->cmdSave->isEnabled()) << "clearing a selection is an edit";
    EXPECT_EQ(entry(h, test::kOntario, 3), "V|CP///////") << "nothing is stored before Save";
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kOntario, 3), "V|/////////");

    // Clear Status and then Close stores nothing.
    e->setCurrentCell(1, frmChecklist::ColName); // Wood Duck
    e->cmdClear->click();
    e->cmdClose->click();
    EXPECT_EQ(entry(h, test::kOntario, 2), "B|CP/");
}

// An unknown or missing status letter and a code of the wrong length: the entry is still on
// the checklist, shown as nothing, and rewritten whole when saved.
TEST(ChecklistEditor, UnknownOrMissingStatusAndOddCodeAreShownAsNothingAndRewritten)
{
    Harness h;
    h.db().execute("UPDATE Checklists SET Status = 'Z', scode = 'FS/U' WHERE Reg_ID = 2 AND Bird_ID = 3");
    h.db().execute("UPDATE Checklists SET Status = 'b' WHERE Reg_ID = 2 AND Bird_ID = 2");
    h.db().execute("UPDATE Checklists SET Status = NULL WHERE Reg_ID = 2 AND Bird_ID = 1");
    auto e = editor(h, test::kOntario, "Ontario");
    EXPECT_EQ(e->cell(kGooseRow, frmChecklist::ColStatus), "Z");
    EXPECT_EQ(e->cmbStat->currentText(), "None");
    EXPECT_EQ(detail(*e), (QStringList{",,", ",,", ",,"})) << "a code of length 4 shows nothing";
    EXPECT_TRUE(e->cmdDelete->isEnabled());
    choose(e->cmbNum[1], "Rare");
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kOntario, 3), "N|///R/////");
    EXPECT_EQ(e->cell(kGooseRow, frmChecklist::ColStatus), "N");

    e->setCurrentCell(1, frmChecklist::ColName);
    EXPECT_EQ(e->cmbStat->currentText(), "None") << "status letters are compared with case";

    e->setCurrentCell(2, frmChecklist::ColName); // Mallard, without a status letter
    EXPECT_EQ(e->cell(2, frmChecklist::ColStatus), "");
    EXPECT_FALSE(e->cmdAdd->isEnabled()) << "adding it again would make a second entry";
    EXPECT_TRUE(e->cmdDelete->isEnabled());
    EXPECT_EQ(e->cmbStat->currentText(), "None");
    choose(e->cmbNum[0], "Uncommon");
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kOntario, 1), "N|UP///////");
    EXPECT_EQ(e->cell(2, frmChecklist::ColStatus), "N");
}

TEST(ChecklistEditor, MovingToAnotherCellDropsUnsavedSelections)
{
    Harness h;
    auto e = editor(h, test::kOntario, "Ontario");
    choose(e->cmbNum[0], "Rare");
    choose(e->cmbStat, "Extinct");
    ASSERT_TRUE(e->cmdSave->isEnabled());
    e->setCurrentCell(kGooseRow, frmChecklist::ColStatus); // the same row, another cell
    EXPECT_EQ(e->cmbNum[0]->currentText(), "Abundant");
    EXPECT_EQ(e->cmbStat->currentText(), "Breeder");
    EXPECT_FALSE(e->cmdSave->isEnabled());
    EXPECT_EQ(entry(h, test::kOntario, 3), "B|CP/");

    choose(e->cmbSpec[2], "(Irregular)");
    e->setCurrentCell(2, frmChecklist::ColName);
    e->setCurrentCell(kGooseRow, frmChecklist::ColName);
    EXPECT_EQ(e->cmbSpec[2]->currentIndex(), -1);
    EXPECT_EQ(entry(h, test::kOntario, 3), "B|CP/");
}

TEST(ChecklistEditor, SeasonalLetterRIsKeptUntilItsBoxIsChanged)
{
    Harness h;
    h.db().execute("UPDATE Checklists SET scode = 'FR/UWL' WHERE Reg_ID = 2 AND Bird_ID = 3");
    auto e = editor(h, test::kOntario, "Ontario");
    EXPECT_EQ(detail(*e), (QStringList{"Common,,", "Uncommon,Winter Visitor,(Limited Range)", ",,"}))
        << "the seasonal box has no word for R and shows no selection";
    choose(e->cmbSpec[1], "(Irregular)");
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kOntario, 3), "B|FR/UWI///") << "R written back, the code now nine characters";
    choose(e->cmbStatus[0], "Vagrant");
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kOntario, 3), "B|FV/UWI///");

    h.db().execute("UPDATE Checklists SET scode = '/R/' WHERE Reg_ID = 2 AND Bird_ID = 2");
    e->setCurrentCell(1, frmChecklist::ColName);
    EXPECT_FALSE(e->cmdSave->isEnabled());
    e->cmdClear->click();
    EXPECT_TRUE(e->cmdSave->isEnabled()) << "clearing drops the R, a change to save";
    e->cmdSave->click();
    EXPECT_EQ(entry(h, test::kOntario, 2), "B|/////////");
}

TEST(ChecklistEditor, TypingJumpsToTheFirstNameWithTheLettersAndEnterAddsTheRowClicked)
{
    Harness h;
    auto e = editor(h, test::kOntario, "Ontario");
    e->show();
    e->Msfg1->setFocus();
    QTest::keyClicks(e->Msfg1, "wood");
    EXPECT_EQ(e->currentRow(), 1);
    QTest::keyClicks(e->Msfg1, " t");
    EXPECT_EQ(e->currentRow(), 3);
    EXPECT_EQ(e->lbltitle[4]->text(), "Wood Thrush") << "the row selection runs";
    QTest::qWait(QApplication::keyboardInputInterval() + 20); // the next letters start afresh
    QTest::keyClicks(e->Msfg1, "OV");
    EXPECT_EQ(e->currentRow(), 7);
    EXPECT_TRUE(e->cmdAdd->isEnabled());
    QTest::qWait(QApplication::keyboardInputInterval() + 20); // the next letters start afresh
    QTest::keyClicks(e->Msfg1, "zz");
    EXPECT_EQ(e->currentRow(), 7) << "no name starts with zz";

    // A click on a row and Enter add it.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(e.get()));
    e->setCurrentCell(0, frmChecklist::ColName);
    const QRect cell = e->Msfg1->visualRect(e->grid->index(7, frmChecklist::ColName));
    QTest::mouseClick(e->Msfg1->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(e->currentRow(), 7);
    EXPECT_EQ(e->lbltitle[4]->text(), "Ovenbird");
    ASSERT_TRUE(e->cmdAdd->isDefault());
    QTest::keyClick(e->Msfg1, Qt::Key_Return);
    EXPECT_EQ(entry(h, test::kOntario, 8), "N|");
    EXPECT_EQ(e->cell(7, frmChecklist::ColStatus), "N");
    EXPECT_TRUE(e->isVisible());
}
