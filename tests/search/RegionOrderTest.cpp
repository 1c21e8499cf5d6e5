// Region lists are in alphabetical order as a reader expects it: capitals do not matter.

#include "Harness.h"

#include "checklists/frmEditReg.h"
#include "search/frmRegion.h"
#include "sightings/frmSight.h"

#include <QComboBox>
#include "ui/RegionList.h"
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// Districts whose names differ in their capitals, beside the fixture's Point Pelee.
void districts(test::TestFolder& f)
{
    int id = 20;
    for (const char* name : {"Monterey County", "aardvark marsh", "Zuma beach", "bolsa Chica", "Big Sur"})
        f.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, ?, 'District')", {id++, QString::fromLatin1(name)});
}

const QStringList kInOrder = {"aardvark marsh", "Big Sur", "bolsa Chica", "Monterey County", "Point Pelee",
                              "Zuma beach"};

QStringList listed(const RegionListView* list) { return list->texts(); }

} // namespace

TEST(RegionOrder, SearchRegionListsIgnoreCapitals)
{
    Harness h(districts);
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(4);
    EXPECT_EQ(listed(d.lstRegion), kInOrder);
    EXPECT_EQ(d.lstRegion->currentRow(), 0);
    EXPECT_EQ(h.state.selRegname, "aardvark marsh") << "the first in that order is chosen";
    EXPECT_EQ(h.state.selReg_ID, 21);
}

TEST(RegionOrder, ChecklistMaintenanceListsAndNewRegionsIgnoreCapitals)
{
    Harness h(districts);
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(4);
    EXPECT_EQ(listed(d.lstRegion), kInOrder);
    h.platform.inputs.push_back(QStringLiteral("cape May"));
    d.cmdNew_Click();
    QStringList expected = kInOrder;
    expected.insert(3, "cape May");
    EXPECT_EQ(listed(d.lstRegion), expected) << "a new region takes its place in that order";
    EXPECT_EQ(d.lstRegion->regionId(3),
              h.scalar("SELECT Reg_ID FROM Regions WHERE Name = 'cape May'").toInt());
}

TEST(RegionOrder, SightingPlaceBoxesIgnoreCapitals)
{
    Harness h(districts);
    frmSight d(h.ctx, h.w.get());
    QStringList names;
    for (int i = 0; i < d.cmbPlace[3]->count(); ++i) names << d.cmbPlace[3]->itemText(i);
    EXPECT_EQ(names, kInOrder);
    EXPECT_EQ(d.cmbPlace[3]->itemData(0).toInt(), 21);
}
