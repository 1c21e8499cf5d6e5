// Which sightings count for a region, and the changes that keep a region's life list: a
// sighting stored, changed or deleted, the current region switched.

#include "regions/RegionRule.h"
#include "lifelist/RegionSwitch.h"
#include "lifelist/SightingChanges.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDate>
#include <random>
#include <gtest/gtest.h>

using namespace fl;
using test::kCanada;
using test::kEmptyRegion;
using test::kNorthAmerica;
using test::kOntario;

namespace {

constexpr int kGoose = 3;   // on every checklist but Point Pelee's
constexpr int kSpecies7 = 7; // on Canada's checklist, not on Ontario's
constexpr int kOttawa = 9;  // a district of the same name as a state, added by the fixture below

// Ontario current, nothing sighted yet; a district that shares its name with another region.
struct Log {
    test::TestFolder folder;
    std::unique_ptr<db::Database> db;
    db::Recordset options;
    Log()
    {
        db = folder.open();
        db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 0");
        db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (9, 'Ontario', 'District')");
        db->execute("INSERT INTO Checklists (Bird_ID, Reg_ID, Status) SELECT ID, 9, 'B' FROM Birds");
        options = db->openRecordset("Options", db::RecordsetKind::Dynaset);
    }
    int mark(int bird = kGoose) { return db->scalar("SELECT LifeList FROM Birds WHERE ID = ?", {bird}).toInt(); }
    int lifesum() { return db->scalar("SELECT lifesum FROM Options").toInt(); }
    int sightings() { return db->scalar("SELECT count(*) FROM Sightings").toInt(); }
};

Sighting sighting(int bird, const QDate& date, SightingPlaces places)
{
    Sighting s;
    s.birdId = bird;
    s.date = date;
    s.type = "Adult";
    s.places = places;
    s.site = "Marsh";
    s.notes = "x2";
    return s;
}

} // namespace

// The rule, in C++ and as SQL, on every combination of places: both agree, a region counts
// in whichever place it is given, "World" takes everything, names play no part.
TEST(RegionRule, TheSqlConditionAndTheFunctionAgreeOnEveryPlaceCombination)
{
    test::TestFolder folder;
    auto db = folder.open();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> place(0, 5); // 0: not given; 5: a region on no list
    std::vector<SightingPlaces> all;
    for (int i = 0; i < 300; ++i) {
        SightingPlaces p{place(rng), place(rng), place(rng), place(rng)};
        all.push_back(p);
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region, country, state, district) "
                    "VALUES (?, 1, '2024-05-01', ?, ?, ?, ?)",
                    {i + 1, p[0], p[1], p[2], p[3]});
    }
    for (int reg = 0; reg <= 6; ++reg) {
        QList<int> expected, found;
        for (int i = 0; i < int(all.size()); ++i)
            if (countsForRegion(all[size_t(i)], reg)) expected << i + 1;
        auto rs = db->openRecordset(QStringLiteral("SELECT Sight_ID FROM Sightings WHERE %1 ORDER BY Sight_ID")
                                        .arg(countsForRegionSql("?1", "Sightings")),
                                    db::RecordsetKind::Snapshot, {reg});
        for (; !rs.eof(); rs.moveNext()) found << rs.field(0).toInt();
        EXPECT_EQ(found, expected) << "region " << reg;
        if (reg == 0) {
            EXPECT_EQ(found.size(), 300);
        }
        if (reg == 6) {
            EXPECT_TRUE(found.isEmpty());
        }
    }
    EXPECT_TRUE(countsForRegion({0, 0, 0, kOntario}, kOntario)) << "a region counts in any place";
    EXPECT_TRUE(countsForRegion({kNorthAmerica, kCanada, kOntario, 0}, kCanada));
    EXPECT_FALSE(countsForRegion({0, 0, 0, 0}, kOntario));
    EXPECT_TRUE(countsForRegion({0, 0, 0, 0}, 0));
    EXPECT_FALSE(countsForRegion({0, 0, 0, kOttawa}, kOntario)) << "a district of the same name is another region";
}

TEST(SightingChanges, ASightingJoinsTheLifeListOnlyWhereItCountsAndTheSpeciesIsListed)
{
    Log f;
    // Elsewhere: stored, but the species stays off Ontario's life list.
    SightingChange c = addSighting(*f.db, f.options, sighting(kGoose, {2024, 5, 1}, {0, kCanada, 0, 0}), kOntario);
    EXPECT_GT(c.sightId, 0);
    EXPECT_EQ(c.mark, 0);
    EXPECT_FALSE(c.lifesumChanged);
    // In the district named "Ontario": not the state.
    addSighting(*f.db, f.options, sighting(kGoose, {2024, 5, 2}, {0, 0, 0, kOttawa}), kOntario);
    EXPECT_EQ(f.mark(), 0);
    // A species not on Ontario's checklist gets no mark there, even when seen there.
    addSighting(*f.db, f.options, sighting(kSpecies7, {2024, 5, 3}, {0, 0, kOntario, 0}), kOntario);
    EXPECT_EQ(f.mark(kSpecies7), 0);
    EXPECT_EQ(f.lifesum(), 0);

    c = addSighting(*f.db, f.options, sighting(kGoose, {2024, 6, 1}, {kNorthAmerica, 0, kOntario, 0}), kOntario);
    EXPECT_EQ(c.mark, c.sightId);
    EXPECT_TRUE(c.lifesumChanged);
    EXPECT_EQ(f.mark(), c.sightId);
    EXPECT_EQ(f.lifesum(), 1);
    EXPECT_EQ(f.options.field("lifesum").toInt(), 1) << "the open Options row shows the stored count";
    const Sighting stored = readSighting(*f.db, c.sightId);
    EXPECT_EQ(stored.places, (SightingPlaces{kNorthAmerica, 0, kOntario, 0}));
    EXPECT_EQ(stored.date, QDate(2024, 6, 1));
    EXPECT_EQ(stored.notes, "x2");

    // An earlier sighting takes the mark; the count stays.
    const SightingChange earlier = addSighting(*f.db, f.options, sighting(kGoose, {2020, 1, 1}, {0, 0, kOntario, 0}), kOntario);
    EXPECT_EQ(f.mark(), earlier.sightId);
    EXPECT_FALSE(earlier.lifesumChanged);
    EXPECT_EQ(f.lifesum(), 1);
    EXPECT_FALSE(f.db->inTransaction());
}

TEST(SightingChanges, DeletingTheLifeListSightingHandsTheMarkOnOrTakesTheSpeciesOff)
{
    Log f;
    const int first = addSighting(*f.db, f.options, sighting(kGoose, {2021, 1, 1}, {0, 0, kOntario, 0}), kOntario).sightId;
    const int second = addSighting(*f.db, f.options, sighting(kGoose, {2022, 1, 1}, {0, 0, kOntario, 0}), kOntario).sightId;
    ASSERT_EQ(f.mark(), first);
    ASSERT_EQ(f.lifesum(), 1);

    SightingChange c = deleteSighting(*f.db, f.options, first, kOntario);
    EXPECT_EQ(f.sightings(), 1);
    EXPECT_EQ(c.mark, second);
    EXPECT_FALSE(c.lifesumChanged);
    EXPECT_EQ(f.mark(), second);
    EXPECT_EQ(f.lifesum(), 1);

    c = deleteSighting(*f.db, f.options, second, kOntario);
    EXPECT_EQ(f.sightings(), 0);
    EXPECT_EQ(c.mark, 0);
    EXPECT_TRUE(c.lifesumChanged);
    EXPECT_EQ(f.mark(), 0);
    EXPECT_EQ(f.lifesum(), 0);

    // A sighting that is gone: an error, and nothing changes.
    EXPECT_THROW(deleteSighting(*f.db, f.options, second, kOntario), db::DbError);
    EXPECT_THROW(readSighting(*f.db, second), db::DbError);
    EXPECT_EQ(f.lifesum(), 0);
    EXPECT_FALSE(f.db->inTransaction());
}

TEST(SightingChanges, ChangingASightingMovesTheMarksOfBothSpecies)
{
    Log f;
    const int id = addSighting(*f.db, f.options, sighting(kGoose, {2021, 1, 1}, {0, 0, kOntario, 0}), kOntario).sightId;
    ASSERT_EQ(f.lifesum(), 1);
    // Another species and another place in one change: the goose leaves, species 1 joins.
    SightingChange c = changeSighting(*f.db, f.options, id, sighting(1, {2021, 1, 1}, {0, 0, kOntario, 0}), kOntario);
    EXPECT_EQ(f.mark(kGoose), 0);
    EXPECT_EQ(f.mark(1), id);
    EXPECT_EQ(c.mark, id);
    EXPECT_EQ(f.lifesum(), 1) << "one left, one joined";
    c = changeSighting(*f.db, f.options, id, sighting(1, {2021, 1, 1}, {0, kCanada, 0, 0}), kOntario);
    EXPECT_EQ(c.mark, 0);
    EXPECT_TRUE(c.lifesumChanged);
    EXPECT_EQ(f.lifesum(), 0);
    EXPECT_EQ(readSighting(*f.db, id).places, (SightingPlaces{0, kCanada, 0, 0}));
    EXPECT_THROW(changeSighting(*f.db, f.options, id + 1, sighting(1, {2021, 1, 1}, {}), kOntario), db::DbError);
    EXPECT_EQ(f.sightings(), 1);
}

TEST(RegionSwitch, WritesTheRegionAndItsCountsOrNothingForAnEmptyChecklist)
{
    Log f;
    addSighting(*f.db, f.options, sighting(kGoose, {2021, 1, 1}, {0, kCanada, kOntario, 0}), kOntario);
    addSighting(*f.db, f.options, sighting(kSpecies7, {2021, 1, 2}, {0, kCanada, 0, 0}), kOntario);

    auto list = switchRegion(*f.db, f.options, {kCanada, "Canada", "Country"}, " Order By Birds.sortOrder", "All Birds");
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->total, 5);
    EXPECT_EQ(list->sighted, 2);
    EXPECT_EQ(f.db->scalar("SELECT Reg_ID || '|' || regname || '|' || regType || '|' || lifetotal || '|' || lifesum "
                           "FROM Options").toString(),
              "3|Canada|Country|5|2");
    EXPECT_GT(f.mark(kSpecies7), 0);

    EXPECT_FALSE(switchRegion(*f.db, f.options, {kEmptyRegion, "Point Pelee", "District"}, "", "All Birds").has_value());
    EXPECT_EQ(f.db->scalar("SELECT Reg_ID FROM Options").toInt(), kCanada) << "an empty checklist changes nothing";
    EXPECT_GT(f.mark(kSpecies7), 0);

    list = switchRegion(*f.db, f.options, worldRegion(), " Order By Birds.sortOrder", "All Birds");
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->total, 12);
    EXPECT_EQ(list->sighted, 2);
    EXPECT_EQ(f.db->scalar("SELECT regname FROM Options").toString(), "World");
    EXPECT_FALSE(f.db->inTransaction());
}
