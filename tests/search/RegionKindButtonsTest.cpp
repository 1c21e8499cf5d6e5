// The kinds of region in the region windows act when their button becomes checked, however
// that happens (mouse, arrow keys, an accessibility client's toggle).

#include "Harness.h"

#include "checklists/frmEditReg.h"
#include "search/frmRegion.h"

#include <QApplication>
#include "ui/RegionList.h"
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {
QStringList listed(const RegionListView* list) { return list->texts(); }
} // namespace

TEST(RegionKindButtons, SearchRegionListsAKindCheckedFromCode)
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
    d.cmdOK_Click();
    EXPECT_EQ(h.state.regType, "Country");
    EXPECT_EQ(h.state.regname, "Canada");
}

TEST(RegionKindButtons, SearchRegionFollowsTheArrowKeysAndTheMouse)
{
    Harness h;
    h.db().execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (5, 'Europe', 'Region')");
    frmRegion d(h.ctx, h.w.get());
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.optRegion[1]->setFocus();
    QTest::keyClick(d.optRegion[1], Qt::Key_Down);
    EXPECT_TRUE(d.optRegion[2]->isChecked());
    EXPECT_EQ(listed(d.lstRegion), QStringList{"Canada"});
    QTest::mouseClick(d.optRegion[1], Qt::LeftButton);
    EXPECT_EQ(listed(d.lstRegion), (QStringList{"Europe", "North America"}));
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
