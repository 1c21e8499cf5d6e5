// The region dialog; the kinds of region in the region windows, which act when their button
// becomes checked however that happens (mouse, arrow keys, an accessibility client's toggle);
// and region lists in alphabetical order as a reader expects it: capitals do not matter.

#include "Harness.h"

#include "checklists/frmEditReg.h"
#include "search/frmRegion.h"
#include "sightings/frmSight.h"

#include <QApplication>
#include <QComboBox>
#include "ui/RegionList.h"
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

QVariant mark(Harness& h, int bird) { return h.scalar("SELECT LifeList FROM Birds WHERE ID = ?", {bird}); }

int sight(Harness& h, int bird, const char* date, int region, int country, int state, int district)
{
    h.db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district) "
                   "VALUES (?, ?, 'Adult', ?, ?, ?, ?)",
                   {bird, QString(date), region, country, state, district});
    return h.scalar("SELECT max(Sight_ID) FROM Sightings").toInt();
}

QStringList optionsRow(Harness& h)
{
    auto rs = h.db().openRecordset("Options", db::RecordsetKind::Snapshot);
    QStringList v;
    for (const QString& f : rs.fieldNames()) v << f + "=" + rs.field(f).toString();
    return v;
}

QStringList listed(const RegionListView* list) { return list->texts(); }

// Districts whose names differ in their capitals, beside the fixture's Point Pelee.
void districts(test::TestFolder& f)
{
    int id = 20;
    for (const char* name : {"Monterey County", "aardvark marsh", "Zuma beach", "bolsa Chica", "Big Sur"})
        f.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, ?, 'District')", {id++, QString::fromLatin1(name)});
}

const QStringList kInOrder = {"aardvark marsh", "Big Sur", "bolsa Chica", "Monterey County", "Point Pelee",
                              "Zuma beach"};

} // namespace

TEST(RegionDialog, OpensWithNorthAmericaRefusesAnEmptyChecklistAndUsesADoubleClickedRegion)
{
    Harness h;
    const int s = sight(h, 1, "2020-01-01", 1, 0, 0, 0);
    h.db().execute("UPDATE Birds SET LifeList = ? WHERE ID = 1", {s});
    const QStringList before = optionsRow(h);
    frmRegion d(h.ctx, h.w.get());
    EXPECT_EQ(d.windowTitle(), "Select Search Region");
    EXPECT_TRUE(d.optRegion[1]->isChecked());
    QStringList captions;
    for (int i = 1; i <= 4; ++i) captions << d.optRegion[i]->text();
    EXPECT_EQ(captions, (QStringList{"Region", "Country", "Province/State", "District/County"}));
    ASSERT_EQ(d.lstRegion->count(), 1);
    EXPECT_EQ(d.lstRegion->text(0), "North America");
    EXPECT_EQ(h.state.selReg_ID, 1);
    EXPECT_EQ(d.cmdOK->text(), "Use");
    EXPECT_EQ(d.cmdCancel->text(), "Close");
    EXPECT_EQ(d.lblList->text(), "Available CheckLists:");

    // An empty checklist changes nothing.
    d.optRegion_Click(4);
    EXPECT_EQ(d.lstRegion->text(d.lstRegion->currentRow()), "Point Pelee");
    d.cmdOK_Click();
    EXPECT_NE(d.result(), QDialog::Accepted) << "the dialog stays for another choice";
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "There are no birds entered in the checklist for this region. Select "
                                           "another region, or enter birds into the checklist by selecting EDIT.");
    EXPECT_EQ(h.platform.messages[0].title, "Unsuccessful Search");
    EXPECT_EQ(optionsRow(h), before);
    EXPECT_EQ(mark(h, 1).toInt(), s) << "the marks still describe the current region";
    EXPECT_EQ(h.state.Reg_ID, 1);
    EXPECT_EQ(h.names().size(), 12);
    EXPECT_EQ(d.optRegion[4]->isChecked(), true);
    EXPECT_EQ(d.lstRegion->count(), 1);

    // A double click uses the region.
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.optRegion_Click(3);
    const QRect r = d.lstRegion->visualRowRect(0);
    QTest::mouseClick(d.lstRegion->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(d.lstRegion->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h.state.regname, "Ontario");
    EXPECT_EQ(h.names().size(), 6);
}

TEST(RegionDialog, UseRightAwayMakesNorthAmericaCurrent)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', searchType = 'Life Sightings', "
               "lifetotal = 6, lifesum = 3");
    });
    frmRegion d(h.ctx, h.w.get());
    d.cmdOK_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h.state.Reg_ID, 1);
    EXPECT_EQ(h.state.regname, "North America");
    EXPECT_EQ(h.state.regType, "Region");
    EXPECT_EQ(h.state.searchType, "All Birds");
    EXPECT_EQ(h.names().size(), 12);
    EXPECT_EQ(h.panel("Life"), "Sighted 0 of 12 Birds");
    EXPECT_EQ(h.panel("Hits"), "Search Results: 12");
    EXPECT_EQ(h.panel("Region"), "Region : North America");
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");
    EXPECT_EQ(optionsRow(h), (QStringList{"regname=North America", "Reg_ID=1", "regType=Region", "searchType=All Birds",
                                          "qrySort= Order By Birds.sortOrder", "qryResult=", "wincolor=false",
                                          "SongCD=false", "lifetotal=12", "lifesum=0"}));
}

TEST(RegionDialog, EachKindStoresItsWordAndReadsItsSightingsColumn)
{
    Harness h;
    const int inOntario = sight(h, 1, "2020-05-01", 0, 0, 2, 0);
    sight(h, 2, "2020-05-02", 0, 3, 0, 0); // Canada, not Ontario
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(3);
    ASSERT_EQ(d.lstRegion->count(), 1);
    EXPECT_EQ(d.lstRegion->text(d.lstRegion->currentRow()), "Ontario");
    EXPECT_EQ(h.state.selReg_ID, 2);
    d.cmdOK_Click();
    EXPECT_EQ(h.state.regType, "State");
    EXPECT_EQ(h.scalar("SELECT regType FROM Options").toString(), "State");
    EXPECT_EQ(mark(h, 1).toInt(), inOntario);
    EXPECT_EQ(mark(h, 2).toInt(), 0);
    EXPECT_EQ(h.names().size(), 6);
    EXPECT_EQ(h.panel("Life"), "Sighted 1 of 6 Birds");
    EXPECT_EQ(h.scalar("SELECT lifesum FROM Options").toInt(), 1);

    frmRegion c(h.ctx, h.w.get());
    c.optRegion_Click(2);
    c.cmdOK_Click();
    EXPECT_EQ(h.state.regType, "Country");
    EXPECT_EQ(h.state.regname, "Canada");
    EXPECT_EQ(mark(h, 1).toInt(), 0) << "the Ontario sighting names no country";
    EXPECT_GT(mark(h, 2).toInt(), 0);
}

TEST(RegionDialog, KindWithoutRegionsDisablesUse)
{
    Harness h([](test::TestFolder& f) { f.exec("DELETE FROM Regions WHERE Type = 'Country'"); });
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(2);
    EXPECT_EQ(d.lstRegion->count(), 0);
    EXPECT_FALSE(d.cmdOK->isEnabled());
    d.optRegion_Click(3);
    EXPECT_TRUE(d.cmdOK->isEnabled());
}

TEST(RegionDialog, ListFollowsTheSortOrder)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET qrySort = ' Order BY Birds.Name'"); });
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(3);
    d.cmdOK_Click();
    EXPECT_EQ(h.names(), (QStringList{"American Robin", "Canada Goose", "Hermit Thrush", "Mallard", "Wood Duck",
                                      "Wood Thrush"}));
}

TEST(RegionDialog, MenuCommandShowsTheFirstSpeciesAfterwards)
{
    Harness h;
    h.run(cmd::mnuViewLast);
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<frmRegion*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->optRegion_Click(3);
        d->cmdOK->click();
    });
    h.run(cmd::mnuSearchRegion);
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 6");
    EXPECT_EQ(h.page().status()->text(), "Status: Breeder");
    EXPECT_EQ(h.w->species().statusCode(), "CP/") << "the page reads the new region's checklist";

    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<frmRegion*>(QApplication::activeModalWidget())) d->cmdCancel->click();
    });
    h.run(cmd::mnuViewNext);
    h.run(cmd::mnuSearchRegion);
    EXPECT_EQ(h.shown(), "Canada Goose") << "Close also shows the first species";
    EXPECT_EQ(h.state.regname, "Ontario");
}

TEST(RegionKindButtons, SearchRegionListsAKindCheckedFromCodeTheArrowKeysOrTheMouse)
{
    Harness h;
    h.db().execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (5, 'Europe', 'Region')");
    frmRegion d(h.ctx, h.w.get());
    EXPECT_TRUE(d.optRegion[1]->isChecked());
    EXPECT_EQ(listed(d.lstRegion), QStringList{"North America"}) << "opening loads no list";

    d.optRegion[3]->setChecked(true); // what a screen reader's toggle action does
    EXPECT_EQ(listed(d.lstRegion), QStringList{"Ontario"});
    EXPECT_EQ(h.state.selReg_ID, 2);

    d.optRegion[2]->toggle();
    EXPECT_EQ(listed(d.lstRegion), QStringList{"Canada"});

    // The arrow keys and the mouse.
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.optRegion[1]->setChecked(true);
    d.optRegion[1]->setFocus();
    QTest::keyClick(d.optRegion[1], Qt::Key_Down);
    EXPECT_TRUE(d.optRegion[2]->isChecked());
    EXPECT_EQ(listed(d.lstRegion), QStringList{"Canada"});
    QTest::mouseClick(d.optRegion[1], Qt::LeftButton);
    EXPECT_EQ(listed(d.lstRegion), (QStringList{"Europe", "North America"}));
    QTest::mouseClick(d.optRegion[2], Qt::LeftButton);
    d.cmdOK_Click();
    EXPECT_EQ(h.state.regType, "Country");
    EXPECT_EQ(h.state.regname, "Canada");
}

TEST(RegionKindButtons, ChecklistMaintenanceListsAKindCheckedFromCode)
{
    Harness h;
    frmEditReg d(h.ctx, h.w.get());
    EXPECT_EQ(d.lstRegion->count(), 0);
    d.optRegion[4]->setChecked(true);
    EXPECT_EQ(listed(d.lstRegion), QStringList{"Point Pelee"});
    EXPECT_TRUE(d.cmdNew->isEnabled());
    d.optRegion[3]->setChecked(true);
    EXPECT_EQ(listed(d.lstRegion), QStringList{"Ontario"});
}

TEST(RegionOrder, SearchRegionMaintenanceAndPlaceBoxesIgnoreCapitals)
{
    Harness h(districts);
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(4);
    EXPECT_EQ(listed(d.lstRegion), kInOrder);
    EXPECT_EQ(d.lstRegion->currentRow(), 0);
    EXPECT_EQ(h.state.selRegname, "aardvark marsh") << "the first in that order is chosen";
    EXPECT_EQ(h.state.selReg_ID, 21);

    frmSight sight(h.ctx, frmSight::Mode::NewSighting, h.w.get());
    QStringList names;
    for (int i = 0; i < sight.cmbPlace[3]->count(); ++i) names << sight.cmbPlace[3]->itemText(i);
    EXPECT_EQ(names, kInOrder);
    EXPECT_EQ(sight.cmbPlace[3]->itemData(0).toInt(), 21);

    frmEditReg edit(h.ctx, h.w.get());
    edit.optRegion_Click(4);
    EXPECT_EQ(listed(edit.lstRegion), kInOrder);
    h.platform.inputs.push_back(QStringLiteral("cape May"));
    edit.cmdNew_Click();
    QStringList expected = kInOrder;
    expected.insert(3, "cape May");
    EXPECT_EQ(listed(edit.lstRegion), expected) << "a new region takes its place in that order";
    EXPECT_EQ(edit.lstRegion->regionId(3),
              h.scalar("SELECT Reg_ID FROM Regions WHERE Name = 'cape May'").toInt());
}
