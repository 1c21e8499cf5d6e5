// Checklist Maintenance with every region of eBird's list: the filter box, and the checklist
// editor on a region whose list is copied from its nearest ancestor on first use.

#include "../sightings/WindowSteps.h"

#include "checklists/frmChecklist.h"
#include "checklists/frmEditReg.h"
#include "ui/RowTableModel.h"
#include "regions/CodedRegions.h"
#include "ui/RegionList.h"

#include <gtest/gtest.h>

using namespace fl;
using test::Harness;
using test::regionOf;

namespace {

Harness everyRegion()
{
    return Harness([](test::TestFolder& f) { addEbirdRegions(*f.open()); });
}

std::unique_ptr<frmChecklist> editor(Harness& h, int regId, const QString& name)
{
    h.state.selReg_ID = regId;
    h.state.selRegname = name;
    return std::make_unique<frmChecklist>(h.ctx, h.w.get());
}

int listed(Harness& h, int regId)
{
    return h.scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {regId}).toInt();
}

// The editor's rows that are on the checklist.
int listedRows(const frmChecklist& e)
{
    int n = 0;
    for (int r = 0; r < e.grid->rowCount(); ++r) n += e.grid->cell(r, frmChecklist::ColListed).toBool();
    return n;
}

} // namespace

TEST(CopiedChecklist, MaintenanceFiltersItsListAndEditsTheRegionChosenThere)
{
    Harness h = everyRegion();
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(4);
    EXPECT_EQ(d.lstRegion->count(), 5360);
    d.txtFilter->setText("frank");
    const QStringList shown = d.lstRegion->texts();
    ASSERT_GE(shown.size(), 24);
    for (const QString& name : shown) EXPECT_TRUE(name.startsWith("Frank")) << qPrintable(name);
    d.txtFilter->setText("franklin, ohio");
    ASSERT_EQ(d.lstRegion->texts(), QStringList{"Franklin, Ohio"});
    EXPECT_EQ(h.state.selReg_ID, regionOf(h, "US-OH-049"));
    EXPECT_TRUE(d.cmdEdit->isEnabled());
    EXPECT_TRUE(d.cmdDelete->isEnabled());

    QString note;
    int rows = -1;
    test::inWindow<frmChecklist>([&] { d.cmdEdit->click(); }, [&](frmChecklist& e) {
        note = e.lblCopied->isVisible() ? e.lblCopied->text() : QString();
        rows = listedRows(e);
        e.cmdClose->click();
    });
    EXPECT_EQ(note, "Copied from the checklist of North America. Save a change to make it this region's own list.");
    EXPECT_EQ(rows, 12);
    EXPECT_EQ(listed(h, regionOf(h, "US-OH-049")), 12);

    // Nothing shown: Edit and Delete have nothing to act on; New still works.
    d.txtFilter->setText("nowhere at all");
    EXPECT_FALSE(d.cmdEdit->isEnabled());
    EXPECT_FALSE(d.cmdDelete->isEnabled());
    EXPECT_TRUE(d.cmdNew->isEnabled());
    d.txtFilter->clear();
    EXPECT_TRUE(d.cmdEdit->isEnabled());

    // A region made here has no code and starts with an empty list, as before.
    h.platform.inputs.push_back(QStringLiteral("Pelee Island"));
    d.cmdNew->click();
    const int island = h.scalar("SELECT Reg_ID FROM Regions WHERE Name = 'Pelee Island'").toInt();
    ASSERT_GT(island, 0);
    EXPECT_TRUE(h.scalar("SELECT Code FROM Regions WHERE Reg_ID = ?", {island}).isNull());
    auto e = editor(h, island, "Pelee Island");
    EXPECT_FALSE(e->lblCopied->isVisibleTo(e.get()));
    EXPECT_EQ(listedRows(*e), 0);
    EXPECT_TRUE(e->cmdAdd->isEnabled());
}

TEST(CopiedChecklist, TheEditorSaysSoUntilAChangeIsSavedOrABirdAddedOrDeleted)
{
    Harness h = everyRegion();
    const int quebec = regionOf(h, "CA-QC");
    {
        auto e = editor(h, quebec, "Quebec");
        EXPECT_EQ(e->windowTitle(), "Checklist Maintenance for Quebec");
        EXPECT_TRUE(e->lblCopied->isVisibleTo(e.get()));
        EXPECT_TRUE(e->lblCopied->text().startsWith("Copied from the checklist of Canada.")) << qPrintable(e->lblCopied->text());
        EXPECT_EQ(listedRows(*e), 5) << "Canada's species";
        EXPECT_EQ(e->cell(0, frmChecklist::ColStatus), "V") << "with Canada's statuses";
    }
    {
        // Opened again without a change: still the copy, made once.
        auto e = editor(h, quebec, "Quebec");
        EXPECT_TRUE(e->lblCopied->isVisibleTo(e.get()));
        EXPECT_EQ(listed(h, quebec), 5);
        e->setCurrentCell(0, frmChecklist::ColName); // Canada Goose, on the list
        e->cmbStat->setCurrentIndex(e->cmbStat->findText("Breeder"));
        EXPECT_TRUE(e->lblCopied->isVisibleTo(e.get())) << "nothing is stored before Save";
        e->cmdSave->click();
        EXPECT_FALSE(e->lblCopied->isVisibleTo(e.get())) << "the list is Quebec's own now";
    }
    auto own = editor(h, quebec, "Quebec");
    EXPECT_FALSE(own->lblCopied->isVisibleTo(own.get()));
    EXPECT_EQ(own->cell(0, frmChecklist::ColStatus), "B");
    EXPECT_EQ(h.scalar("SELECT Status FROM Checklists WHERE Reg_ID = ? AND Bird_ID = 3", {regionOf(h, "CA")}).toString(),
              "V")
        << "Canada's list is left as it was";

    // Adding or deleting a bird makes it the region's own too.
    const int essex = regionOf(h, "CA-ON-ES"), elgin = regionOf(h, "CA-ON-EL");
    {
        auto e = editor(h, essex, "Essex, Ontario");
        EXPECT_TRUE(e->lblCopied->text().contains("Ontario"));
        EXPECT_EQ(listedRows(*e), 6);
        e->setCurrentCell(6, frmChecklist::ColName); // Yellow Warbler, not in Ontario
        e->cmdAdd->click();
        EXPECT_FALSE(e->lblCopied->isVisibleTo(e.get()));
    }
    EXPECT_EQ(listed(h, essex), 7);
    {
        auto e = editor(h, elgin, "Elgin, Ontario");
        EXPECT_TRUE(e->lblCopied->isVisibleTo(e.get()));
        e->setCurrentCell(0, frmChecklist::ColName);
        e->cmdDelete->click(); // the platform answers Yes
        EXPECT_FALSE(e->lblCopied->isVisibleTo(e.get()));
    }
    EXPECT_EQ(listed(h, elgin), 5);
}
