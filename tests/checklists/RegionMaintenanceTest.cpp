#include "../sightings/WindowSteps.h"

#include "checklists/frmChecklist.h"
#include "checklists/frmEditReg.h"
#include "ui/RowTableModel.h"

#include "ui/RegionList.h"
#include <functional>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

int sight(Harness& h, int bird, const char* date, int region, int country, int state, int district)
{
    h.db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site) "
                   "VALUES (?, ?, 'Adult', ?, ?, ?, ?, 'Marsh')",
                   {bird, QString(date), region, country, state, district});
    return h.scalar("SELECT max(Sight_ID) FROM Sightings").toInt();
}

QStringList listed(const frmEditReg& d) { return d.lstRegion->texts(); }

int count(Harness& h, const QString& sql, const QVariantList& params = {}) { return h.scalar(sql, params).toInt(); }

QString optionsRow(Harness& h)
{
    auto rs = h.db().openRecordset("SELECT Reg_ID, regname, regType, searchType, lifetotal, lifesum FROM Options",
                                   db::RecordsetKind::Snapshot);
    QStringList v;
    for (int i = 0; i < 6; ++i) v << rs.field(i).toString();
    return v.join('|');
}

// Starts the program with Ontario (the State of species 1 to 6) as the current region.
Harness ontarioCurrent()
{
    return Harness([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', "
               "searchType = ' Life Sightings ', lifetotal = 6, lifesum = 0");
    });
}

} // namespace

// The window opens with no kind chosen and only Close; a kind lists its regions with their ids.
TEST(RegionMaintenance, OpensWithNoKindAndOnlyCloseThenAKindListsItsRegions)
{
    Harness h;
    h.db().execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (7, 'Alberta', 'State')");
    EXPECT_TRUE(h.enabled(cmd::mnuEditList));
    test::inWindow<frmEditReg>([&] { h.run(cmd::mnuEditList); }, [&h](frmEditReg& window) {
        frmEditReg* d = &window;
        EXPECT_EQ(d->windowTitle(), "Checklist Maintenance");
        for (int i = 1; i <= 4; ++i) EXPECT_FALSE(d->optRegion[i]->isChecked());
        EXPECT_EQ(d->lstRegion->count(), 0);
        EXPECT_FALSE(d->cmdNew->isEnabled());
        EXPECT_FALSE(d->cmdEdit->isEnabled());
        EXPECT_FALSE(d->cmdDelete->isEnabled());
        EXPECT_TRUE(d->cmdClose->isEnabled());
        EXPECT_EQ(d->lblList->text(), "Available CheckLists:");

        d->optRegion[3]->click();
        EXPECT_EQ(d->selRegType, "State");
        EXPECT_EQ(listed(*d), (QStringList{"Alberta", "Ontario"}));
        EXPECT_EQ(d->lstRegion->regionId(1), 2);
        EXPECT_EQ(d->lstRegion->currentRow(), 0);
        EXPECT_EQ(h.state.selReg_ID, 7);
        EXPECT_EQ(h.state.selRegname, "Alberta");
        d->lstRegion->setCurrentRow(1);
        EXPECT_EQ(h.state.selReg_ID, 2);
        EXPECT_EQ(h.state.selRegname, "Ontario");
        EXPECT_TRUE(d->cmdNew->isEnabled());
        EXPECT_TRUE(d->cmdEdit->isEnabled());
        EXPECT_TRUE(d->cmdDelete->isEnabled());
        d->optRegion_Click(4);
        EXPECT_EQ(d->selRegType, "District");
        EXPECT_EQ(listed(*d), QStringList{"Point Pelee"});
        d->cmdClose->click();
    });
    EXPECT_EQ(h.names().size(), 12) << "closing it changes nothing in the main window";
}

TEST(RegionMaintenance, NewStoresTheNameAsTypedAndIgnoresBlankAnswers)
{
    Harness h;
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(2);
    const int before = count(h, "SELECT count(*) FROM Regions");

    h.platform.inputs = {"   ", QString()}; // blanks only, then Cancel
    d.cmdNew->click();
    d.cmdNew->click();
    EXPECT_EQ(count(h, "SELECT count(*) FROM Regions"), before);
    EXPECT_EQ(listed(d), QStringList{"Canada"});
    EXPECT_EQ(h.platform.prompts.size(), 2);
    EXPECT_TRUE(h.platform.messages.isEmpty()) << "no message for a blank name";

    const QString odd = QString::fromUtf8("  Côte d'Ivoire \"*%\" ");
    h.platform.inputs = {odd, "Brazil"};
    d.cmdNew->click();
    d.cmdNew->click();
    EXPECT_EQ(h.platform.prompts.last(), "Enter a name for the new checklist region.");
    auto rs = h.db().openRecordset("SELECT Name, Type FROM Regions WHERE Reg_ID > 4 ORDER BY Reg_ID",
                                   db::RecordsetKind::Snapshot);
    ASSERT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.field(0).toString(), odd) << "stored exactly, blanks, quotes and wildcards included";
    EXPECT_EQ(rs.field(1).toString(), "Country");
    EXPECT_EQ(listed(d), (QStringList{odd, "Brazil", "Canada"})) << "kept in name order";
    EXPECT_EQ(d.lstRegion->text(d.lstRegion->currentRow()), "Canada") << "a new entry is not selected";
    EXPECT_EQ(h.state.selRegname, "Canada");
    const int brazil = count(h, "SELECT Reg_ID FROM Regions WHERE Name = 'Brazil'");
    EXPECT_EQ(d.lstRegion->regionId(1), brazil);
}

// The current region cannot be deleted; another one can, and the rest of its list stays chosen.
TEST(RegionMaintenance, DeleteRefusesTheCurrentRegionAndKeepsTheRestOfTheListSelected)
{
    Harness h;
    h.db().execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (8, 'Manitoba', 'State')");
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(1);
    ASSERT_EQ(h.state.selReg_ID, h.state.Reg_ID);
    d.cmdDelete->click();
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "This region is currently being used. It can not be deleted.");
    EXPECT_EQ(h.platform.messages[0].title, "Cannot Delete Checklist");
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Exclamation);
    EXPECT_EQ(count(h, "SELECT count(*) FROM Regions WHERE Reg_ID = 1"), 1);
    EXPECT_EQ(count(h, "SELECT count(*) FROM Checklists WHERE Reg_ID = 1"), 12);
    EXPECT_EQ(listed(d), QStringList{"North America"});

    d.optRegion_Click(3);
    d.lstRegion->setCurrentRow(1); // Ontario
    ASSERT_EQ(h.state.selReg_ID, 2);
    d.cmdDelete->click();
    EXPECT_EQ(listed(d), QStringList{"Manitoba"});
    EXPECT_EQ(d.lstRegion->currentRow(), 0);
    EXPECT_EQ(h.state.selReg_ID, 8);
    EXPECT_TRUE(d.cmdEdit->isEnabled());
}

TEST(RegionMaintenance, DeleteUnlinksSightingsAndRemovesTheChecklist)
{
    Harness h;
    const int inOntario = sight(h, 1, "2020-05-01", 1, 3, 2, 4);
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(3);
    ASSERT_EQ(h.state.selReg_ID, test::kOntario);

    h.platform.answers = {Platform::Answer::No};
    d.cmdDelete->click();
    EXPECT_EQ(h.platform.messages.last().title, "Delete Region");
    EXPECT_EQ(h.platform.messages.last().buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h.platform.messages.last().icon, Platform::Icon::Question);
    EXPECT_EQ(count(h, "SELECT count(*) FROM Regions WHERE Reg_ID = 2"), 1) << "No changes nothing";
    EXPECT_EQ(count(h, "SELECT state FROM Sightings WHERE Sight_ID = ?", {inOntario}), 2);
    EXPECT_EQ(listed(d), QStringList{"Ontario"});

    h.platform.answers = {Platform::Answer::Yes};
    d.cmdDelete->click();
    EXPECT_EQ(h.platform.messages.last().text, "Do you really want to delete this region? This will delete all "
                                                "checklists and sightings based on this region.");
    EXPECT_EQ(count(h, "SELECT count(*) FROM Regions WHERE Reg_ID = 2"), 0);
    EXPECT_EQ(count(h, "SELECT count(*) FROM Checklists WHERE Reg_ID = 2"), 0);
    EXPECT_EQ(count(h, "SELECT count(*) FROM Checklists"), 12 + 5) << "other checklists stay";
    // The sightings are kept, unlinked from it (RegionDeleteUnlinksOnlyItsOwn checks every column).
    EXPECT_EQ(
        count(h, "SELECT count(*) FROM Sightings WHERE Sight_ID = ? AND state = 0", {inOntario}),
        1);

    EXPECT_EQ(d.lstRegion->count(), 0);
    EXPECT_FALSE(d.cmdEdit->isEnabled()) << "the last region of its kind is gone";
    EXPECT_FALSE(d.cmdDelete->isEnabled());
    EXPECT_TRUE(d.cmdNew->isEnabled());

    // A new State region gets a fresh id and an empty checklist, and can be edited and deleted.
    h.platform.inputs = {"Quebec"};
    d.cmdNew->click();
    EXPECT_GT(h.state.selReg_ID, 4);
    EXPECT_EQ(h.state.selRegname, "Quebec");
    EXPECT_TRUE(d.cmdEdit->isEnabled());
    EXPECT_TRUE(d.cmdDelete->isEnabled());
    EXPECT_EQ(count(h, "SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {h.state.selReg_ID}), 0);
}

TEST(RegionMaintenance, EditOfAnotherRegionLeavesTheMainWindowAlone)
{
    Harness h;
    const QStringList names = h.names();
    const QString shown = h.shown();
    const QString options = optionsRow(h);
    const QString life = h.panel("Life"), hits = h.panel("Hits"), type = h.panel("Type");
    h.db().execute("UPDATE Birds SET LifeList = 77 WHERE ID = 9");
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(3); // Ontario
    test::inWindow<frmChecklist>([&] { d.cmdEdit->click(); }, [](frmChecklist& e) {
        EXPECT_EQ(e.windowTitle(), "Checklist Maintenance for Ontario");
        e.setCurrentCell(7, frmChecklist::ColName); // Ovenbird, not on the checklist
        e.cmdAdd->click();
        e.cmdClose->click();
    });
    EXPECT_EQ(count(h, "SELECT count(*) FROM Checklists WHERE Reg_ID = 2 AND Bird_ID = 8"), 1);
    EXPECT_EQ(h.names(), names);
    EXPECT_EQ(h.shown(), shown);
    EXPECT_EQ(optionsRow(h), options);
    EXPECT_EQ(h.panel("Life"), life);
    EXPECT_EQ(h.panel("Hits"), hits);
    EXPECT_EQ(h.panel("Type"), type);
    EXPECT_EQ(count(h, "SELECT LifeList FROM Birds WHERE ID = 9"), 77) << "no rebuild";
    EXPECT_TRUE(h.platform.messages.isEmpty());
}

TEST(RegionMaintenance, EditOfTheCurrentRegionRebuildsListMarksAndCounts)
{
    Harness h = ontarioCurrent();
    const int early = sight(h, 8, "2019-04-01", 0, 0, 2, 0);
    sight(h, 8, "2020-04-01", 0, 0, 2, 0);
    sight(h, 1, "2018-01-01", 1, 0, 0, 0); // not in Ontario
    h.db().execute("UPDATE Birds SET LifeList = 55 WHERE ID IN (1, 12)"); // marks of another region
    ASSERT_EQ(h.names().size(), 6);
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(3);
    test::inWindow<frmChecklist>([&] { d.cmdEdit->click(); }, [](frmChecklist& e) {
        e.setCurrentCell(7, frmChecklist::ColName); // Ovenbird
        e.cmdAdd->click();
        e.cmdClose->click();
    });
    EXPECT_TRUE(h.platform.messages.isEmpty());
    EXPECT_EQ(h.names(), (QStringList{"Canada Goose", "Wood Duck", "Mallard", "Wood Thrush", "Hermit Thrush",
                                      "American Robin", "Ovenbird"}));
    EXPECT_EQ(h.shown(), h.names().first()) << "the first species is shown";
    EXPECT_EQ(count(h, "SELECT LifeList FROM Birds WHERE ID = 8"), early);
    EXPECT_EQ(count(h, "SELECT LifeList FROM Birds WHERE ID = 1"), 0) << "stale marks are cleared first";
    EXPECT_EQ(count(h, "SELECT LifeList FROM Birds WHERE ID = 12"), 0);
    EXPECT_EQ(optionsRow(h), "2|Ontario|State|Life Sightings|7|1") << "the title before the rebuild, trimmed";
    EXPECT_EQ(h.state.Reg_ID, 2);
    EXPECT_EQ(h.state.searchType, "All Birds");
    EXPECT_EQ(h.panel("Hits"), "Search Results: 7");
    EXPECT_EQ(h.panel("Region"), "Region : Ontario");
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");
    EXPECT_EQ(h.panel("Life"), "Sighted 1 of 7 Birds");
}

TEST(RegionMaintenance, EmptyingTheCurrentRegionFallsBackToWorld)
{
    Harness h = ontarioCurrent();
    const int anywhere = sight(h, 10, "2017-03-03", 1, 0, 0, 0);
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(3);
    test::inWindow<frmChecklist>([&] { d.cmdEdit->click(); }, [](frmChecklist& e) {
        for (int r = 0; r < e.grid->rowCount(); ++r) {
            e.setCurrentCell(r, frmChecklist::ColName);
            if (e.cmdDelete->isEnabled()) e.cmdDelete->click(); // the platform answers Yes
        }
        e.cmdClose->click();
    });
    EXPECT_EQ(count(h, "SELECT count(*) FROM Checklists WHERE Reg_ID = 2"), 0);
    ASSERT_FALSE(h.platform.messages.isEmpty());
    EXPECT_EQ(h.platform.messages.last().text,
              "There are no birds entered in the checklist for this region. Loading World list.");
    EXPECT_EQ(h.platform.messages.last().title, "Unsuccessful Search");
    EXPECT_EQ(h.platform.messages.last().buttons, Platform::Buttons::Ok);
    EXPECT_EQ(h.names().size(), 12) << "every species";
    EXPECT_EQ(h.panel("Region"), "Region : World");
    EXPECT_EQ(h.panel("Type"), "Find : All Birds");
    EXPECT_EQ(h.panel("Hits"), "Search Results: 12");
    EXPECT_EQ(h.panel("Life"), "Sighted 1 of 12 Birds");
    EXPECT_EQ(optionsRow(h), "0|World|World|All Birds|12|1");
    EXPECT_EQ(h.state.Reg_ID, 0);
    EXPECT_EQ(h.state.regname, "World");
    EXPECT_EQ(h.state.regType, "World");
    EXPECT_EQ(count(h, "SELECT LifeList FROM Birds WHERE ID = 10"), anywhere);

    // The window still works on the region it shows: it is no longer the current one.
    EXPECT_EQ(h.state.selReg_ID, 2);
    EXPECT_EQ(d.selRegType, "State");
    d.cmdDelete->click();
    EXPECT_EQ(count(h, "SELECT count(*) FROM Regions WHERE Reg_ID = 2"), 0);
}

TEST(RegionMaintenance, FailedRebuildKeepsTheOldListMarksAndOptions)
{
    Harness h = ontarioCurrent();
    const int seen = sight(h, 1, "2019-04-01", 0, 0, 2, 0);
    h.db().execute("UPDATE Birds SET LifeList = ? WHERE ID = 1", {seen});
    h.db().execute("UPDATE Birds SET LifeList = 55 WHERE ID = 12");
    const QStringList names = h.names();
    const QString options = optionsRow(h);
    const QString life = h.panel("Life");
    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(3);
    h.db().execute("ALTER TABLE Sightings RENAME TO SightingsAway"); // the rebuild cannot read them
    test::inWindow<frmChecklist>([&] { d.cmdEdit->click(); }, [](frmChecklist& e) {
        e.setCurrentCell(7, frmChecklist::ColName);
        e.cmdAdd->click();
        e.cmdClose->click();
    });
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_TRUE(h.platform.messages[0].text.startsWith("The checklist could not be edited."));
    EXPECT_EQ(h.names(), names);
    EXPECT_EQ(h.panel("Life"), life);
    EXPECT_EQ(optionsRow(h), options);
    EXPECT_EQ(count(h, "SELECT LifeList FROM Birds WHERE ID = 1"), seen);
    EXPECT_EQ(count(h, "SELECT LifeList FROM Birds WHERE ID = 12"), 55) << "the marks are not cleared";
    EXPECT_EQ(h.state.Reg_ID, 2);
    EXPECT_EQ(count(h, "SELECT count(*) FROM Checklists WHERE Reg_ID = 2 AND Bird_ID = 8"), 1)
        << "the editor's own change is kept";
}

// Deleting a region of one kind unlinks the sightings that point at it in that kind's column,
// and no others: a sighting in another region of the same kind keeps it, and the other place
// columns of every sighting stay as they were.
class RegionDeleteUnlinksOnlyItsOwn : public ::testing::TestWithParam<int> {};

TEST_P(RegionDeleteUnlinksOnlyItsOwn, SightingsElsewhereKeepTheirPlaces)
{
    const int kind = GetParam(); // 1 Region, 2 Country, 3 Province/State, 4 District/County
    Harness h([](test::TestFolder& f) {
        // A second region of every kind; the current region stays North America.
        f.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (10, 'Great Lakes Basin', 'Region'), "
               "(11, 'United States', 'Country'), (12, 'Michigan', 'State'), (13, 'Long Point', 'District')");
    });
    // The region deleted of each kind, and the other one of that kind.
    const int victims[] = {10, test::kCanada, test::kOntario, 4};
    const int keepers[] = {1, 11, 12, 13};
    const int victim = victims[kind - 1];
    // One sighting in each region of each kind, so that every column holds both ids.
    const int inVictims = sight(h, 1, "2021-05-01", victims[0], victims[1], victims[2], victims[3]);
    const int inKeepers = sight(h, 2, "2021-05-02", keepers[0], keepers[1], keepers[2], keepers[3]);
    const int mixed = sight(h, 3, "2021-05-03", kind == 1 ? victim : keepers[0], kind == 2 ? victim : keepers[1],
                            kind == 3 ? victim : keepers[2], kind == 4 ? victim : keepers[3]);
    const int nowhere = sight(h, 4, "2021-05-04", 0, 0, 0, 0);

    frmEditReg d(h.ctx, h.w.get());
    d.optRegion_Click(kind);
    const QString victimName = h.scalar("SELECT Name FROM Regions WHERE Reg_ID = ?", {victim}).toString();
    ASSERT_EQ(d.lstRegion->texts().count(victimName), 1) << qPrintable(victimName);
    d.lstRegion->setCurrentRow(int(d.lstRegion->texts().indexOf(victimName)));
    ASSERT_EQ(h.state.selReg_ID, victim);
    h.platform.answers = {Platform::Answer::Yes};
    d.cmdDelete->click();
    ASSERT_EQ(count(h, "SELECT count(*) FROM Regions WHERE Reg_ID = ?", {victim}), 0);

    auto places = [&](int sighting) {
        auto rs = h.db().openRecordset("SELECT Region, country, state, district FROM Sightings WHERE Sight_ID = ?",
                                       db::RecordsetKind::Snapshot, {sighting});
        QList<int> v;
        for (int i = 0; i < 4; ++i) v << rs.field(i).toInt();
        return v;
    };
    QList<int> expectVictims{victims[0], victims[1], victims[2], victims[3]};
    expectVictims[kind - 1] = 0;
    EXPECT_EQ(places(inVictims), expectVictims) << "only the deleted region's column is cleared";
    EXPECT_EQ(places(inKeepers), (QList<int>{keepers[0], keepers[1], keepers[2], keepers[3]}))
        << "a sighting in another region of the kind keeps it";
    QList<int> expectMixed{keepers[0], keepers[1], keepers[2], keepers[3]};
    expectMixed[kind - 1] = 0;
    EXPECT_EQ(places(mixed), expectMixed);
    EXPECT_EQ(places(nowhere), (QList<int>{0, 0, 0, 0}));
    EXPECT_EQ(count(h, "SELECT count(*) FROM Sightings"), 4) << "no sighting is deleted";
}

std::string kindName(const ::testing::TestParamInfo<int>& info)
{
    static const char* const kinds[] = {"Region", "Country", "State", "District"};
    return kinds[info.param - 1];
}

INSTANTIATE_TEST_SUITE_P(EveryKind, RegionDeleteUnlinksOnlyItsOwn, ::testing::Values(1, 2, 3, 4), kindName);
