#include "lifelist/LifeList.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDate>
#include <random>
#include <gtest/gtest.h>

using namespace fl;

namespace {
QList<int> marks(db::Database& db)
{
    QList<int> m;
    auto rs = db.openRecordset("SELECT LifeList FROM Birds ORDER BY ID", db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext()) m << rs.field(0).toInt();
    return m;
}

struct Sighting {
    int id, bird;
    QDate date;
    int place[4]; // Region, country, state, district
};

// The life-list sighting of a species worked out plainly from the list of sightings.
int plainMark(const std::vector<Sighting>& all, int bird, int column, int regId)
{
    const Sighting* best = nullptr;
    for (const Sighting& s : all) {
        if (s.bird != bird) continue;
        if (regId != 0) {
            bool inside = false;
            for (int c = 0; c < 4; ++c)
                if ((column < 0 || c == column) && s.place[c] == regId) inside = true;
            if (!inside) continue;
        }
        if (!best || s.date < best->date || (s.date == best->date && s.id < best->id)) best = &s;
    }
    return best ? best->id : 0;
}

} // namespace

TEST(LifeListRebuild, MarksMatchAPlainRecomputationOnGeneratedData)
{
    const struct {
        int id;
        const char* type;
        int column;
    } regions[] = {{1, "Region", 0}, {5, "Region", 0}, {3, "Country", 1}, {6, "Country", 1},
                   {2, "State", 2},  {7, "State", 2},  {4, "District", 3}, {8, "District", 3}};
    for (unsigned seed = 1; seed <= 6; ++seed) {
        test::TestFolder folder;
        auto db = folder.open();
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> bird(1, 12), day(0, 6), coin(0, 2), pick(0, 1);
        db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (5, 'Europe', 'Region'), (6, 'Mexico', 'Country'), "
                    "(7, 'Quebec', 'State'), (8, 'Essex', 'District')");
        db->execute("DELETE FROM Checklists WHERE Reg_ID <> 1");
        for (const auto& r : regions) {
            if (r.id == 1) continue;
            for (int b = 1; b <= 12; ++b)
                if (coin(rng)) db->execute("INSERT INTO Checklists (Bird_ID, Reg_ID, Status) VALUES (?, ?, 'B')", {b, r.id});
        }
        db->execute("INSERT OR IGNORE INTO Checklists (Bird_ID, Reg_ID, Status) SELECT 1, Reg_ID, 'B' FROM Regions");
        std::vector<Sighting> all;
        const int count = 30 + int(seed) * 20;
        for (int i = 0; i < count; ++i) {
            Sighting s{0, bird(rng), QDate(2021, 6, 1).addDays(day(rng)), {}};
            // Each place: none, or one of the two regions of its kind.
            for (int c = 0; c < 4; ++c) s.place[c] = coin(rng) == 0 ? 0 : regions[2 * c + pick(rng)].id;
            db->execute("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, district) VALUES (?, ?, ?, ?, ?, ?)",
                        {s.bird, s.date, s.place[0], s.place[1], s.place[2], s.place[3]});
            s.id = int(db->scalar("SELECT max(Sight_ID) FROM Sightings").toInt());
            all.push_back(s);
        }
        for (const auto& r : regions) {
            db->execute("UPDATE Birds SET LifeList = ID * 1000"); // marks of some other region
            const auto list = rebuildLifeList(*db, r.id, " Order By Birds.sortOrder");
            ASSERT_TRUE(list.has_value()) << r.id;
            QList<int> expected;
            QStringList names;
            int sighted = 0;
            for (int b = 1; b <= 12; ++b) {
                const bool listed = db->scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ? AND Bird_ID = ?", {r.id, b}).toInt() > 0;
                const int m = listed ? plainMark(all, b, -1, r.id) : 0; // any of its places
                expected << m;
                if (m > 0) ++sighted;
            }
            auto order = db->openRecordset("SELECT Name FROM Birds INNER JOIN Checklists ON Birds.ID = Checklists.Bird_ID "
                                           "WHERE Reg_ID = ? ORDER BY sortOrder", db::RecordsetKind::Snapshot, {r.id});
            for (; !order.eof(); order.moveNext()) names << order.field(0).toString();
            EXPECT_EQ(marks(*db), expected) << "seed " << seed << ", region " << r.id;
            EXPECT_EQ(list->sighted, sighted) << "seed " << seed << ", region " << r.id;
            EXPECT_EQ(list->total, names.size());
            EXPECT_EQ(list->names, names);
        }
        // World, and a region matched in any of the four places, species by species.
        for (int b = 1; b <= 12; ++b) {
            EXPECT_EQ(earliestSightingInRegion(*db, b, 0), plainMark(all, b, -1, 0)) << "seed " << seed << " bird " << b;
            for (const auto& r : regions)
                EXPECT_EQ(earliestSightingInRegion(*db, b, r.id), plainMark(all, b, -1, r.id)) << "seed " << seed;
        }
    }
}

namespace {

// Ontario (2) current with lifesum 4; the goose (3) on the life list through sighting 7.
struct GooseFixture {
    test::TestFolder folder;
    std::unique_ptr<db::Database> db;
    db::Recordset options;
    GooseFixture()
    {
        db = folder.open();
        db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 4");
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, state) VALUES (7, 3, '2019-03-04', 2)");
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, country) VALUES (8, 3, '2018-01-01', 3)");
        db->execute("UPDATE Birds SET LifeList = 7 WHERE ID = 3");
        open();
    }
    void open()
    {
        options = db->openRecordset("Options", db::RecordsetKind::Dynaset);
    }
    int mark() { return db->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(); }
    int lifesum() { return db->scalar("SELECT lifesum FROM Options").toInt(); }
};

} // namespace

TEST(SpeciesMark, AnEarlierSightingOrATieTakesOver)
{
    GooseFixture f;
    f.db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region) VALUES (9, 3, '2020-01-01', 2)");
    f.db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, district) VALUES (5, 3, '2020-01-01', 2)");
    // The life-list sighting's date moves past the others: the earliest one, lower number on the tie.
    f.db->execute("UPDATE Sightings SET Date = '2023-01-01' WHERE Sight_ID = 7");
    SpeciesMark m = recomputeSpeciesMark(*f.db, f.options, 3, 2);
    EXPECT_EQ(m.mark, 5);
    EXPECT_FALSE(m.lifesumChanged);
    EXPECT_EQ(f.mark(), 5);
    EXPECT_EQ(f.lifesum(), 4);
    // Nothing to change: nothing written.
    m = recomputeSpeciesMark(*f.db, f.options, 3, 2);
    EXPECT_EQ(m.mark, 5);
    EXPECT_FALSE(m.lifesumChanged);
    EXPECT_EQ(f.lifesum(), 4);
}

TEST(SpeciesMark, WorldCountsEverySightingAndLifesumStaysAtLeastZero)
{
    GooseFixture f;
    f.db->execute("UPDATE Options SET lifesum = 0");
    f.open();
    EXPECT_EQ(recomputeSpeciesMark(*f.db, f.options, 3, 0).mark, 8) << "the Canada sighting is earlier";
    EXPECT_EQ(f.lifesum(), 0);
    f.db->execute("DELETE FROM Sightings");
    const SpeciesMark m = recomputeSpeciesMark(*f.db, f.options, 3, 0);
    EXPECT_EQ(m.mark, 0);
    EXPECT_TRUE(m.lifesumChanged);
    EXPECT_EQ(f.lifesum(), 0) << "never below 0";
    // A species that was off the list and now has a sighting joins it.
    f.db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, state) VALUES (20, 3, '2024-01-01', 2)");
    const SpeciesMark joined = recomputeSpeciesMark(*f.db, f.options, 3, 2);
    EXPECT_EQ(joined.mark, 20);
    EXPECT_TRUE(joined.lifesumChanged);
    EXPECT_EQ(f.lifesum(), 1);
}
