#include "LifeList.h"
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
} // namespace

TEST(LifeListRebuild, AgreesWithTheSetBasedStatementForEveryRegionType)
{
    test::TestFolder folder;
    auto db = folder.open();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> bird(1, 12), day(0, 30), place(0, 4);
    for (int i = 0; i < 200; ++i) // many same-day sightings, so ties are common
        db->execute("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, district) VALUES (?, ?, ?, ?, ?, ?)",
                    {bird(rng), QDate(2020, 1, 1).addDays(day(rng)), place(rng) ? 1 : 0, place(rng) ? 3 : 0,
                     place(rng) ? 2 : 0, place(rng) ? 4 : 0});
    const struct {
        int region;
        const char* type;
        int total;
    } cases[] = {{1, "Region", 12}, {3, "Country", 5}, {2, "State", 6}};
    for (const auto& c : cases) {
        db->execute("UPDATE Birds SET LifeList = ID * 1000");
        auto list = rebuildLifeList(*db, c.region, c.type, " Order By Birds.sortOrder");
        ASSERT_TRUE(list.has_value());
        EXPECT_EQ(list->total, c.total);
        EXPECT_EQ(list->names.size(), c.total);
        const QList<int> byRecordset = marks(*db);
        EXPECT_EQ(list->sighted, int(std::count_if(byRecordset.begin(), byRecordset.end(), [](int m) { return m > 0; })));
        db->execute("UPDATE Birds SET LifeList = ID * 1000");
        rebuildLifeListSetBased(*db, c.region, c.type);
        EXPECT_EQ(marks(*db), byRecordset) << c.type;
    }
}

TEST(LifeListRebuild, EmptyRegionAndUnknownTypeChangeNothing)
{
    test::TestFolder folder;
    auto db = folder.open();
    db->execute("UPDATE Birds SET LifeList = 5 WHERE ID = 2");
    EXPECT_FALSE(rebuildLifeList(*db, 4, "District", " Order By Birds.sortOrder").has_value());
    EXPECT_EQ(db->scalar("SELECT LifeList FROM Birds WHERE ID = 2").toInt(), 5);
    EXPECT_THROW(rebuildLifeList(*db, 1, "Region; DROP TABLE Birds", ""), db::DbError);
    EXPECT_EQ(db->scalar("SELECT LifeList FROM Birds WHERE ID = 2").toInt(), 5);
    EXPECT_FALSE(db->inTransaction());
}

TEST(WriteBatch, HeldEditsAreWrittenBeforeAnyOtherStatement)
{
    test::TestFolder folder;
    auto db = folder.open();
    auto rs = db->openRecordset("SELECT ID, Data, LifeList FROM Birds ORDER BY ID", db::RecordsetKind::Dynaset);
    {
        db::WriteBatch batch(*db);
        rs.edit();
        rs.setField("LifeList", 11);
        rs.setField("Data", QStringLiteral("held"));
        rs.update();
        rs.moveNext();
        rs.edit();
        rs.setField("LifeList", 12);
        rs.update();
        rs.moveFirst();
        rs.edit();
        rs.setField("LifeList", 13); // the later edit of the same row wins
        rs.setField("Data", QStringLiteral("held again"));
        rs.update();
        EXPECT_EQ(rs.field("LifeList").toInt(), 13);
        EXPECT_EQ(db->scalar("SELECT LifeList FROM Birds WHERE ID = 1").toInt(), 13) << "a query writes them first";
        EXPECT_EQ(db->scalar("SELECT Data FROM Birds WHERE ID = 1").toString(), "held again");
        EXPECT_EQ(db->scalar("SELECT LifeList FROM Birds WHERE ID = 2").toInt(), 12);
        rs.moveNext();
        rs.moveNext();
        rs.edit();
        rs.setField("LifeList", 14);
        rs.update();
        batch.flush();
        EXPECT_EQ(db->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 14);
    }
    rs.edit();
    rs.setField("LifeList", 15);
    rs.update();
    EXPECT_EQ(db->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 15) << "without a batch, at once";
}

TEST(WriteBatch, FailureInsideATransactionRollsEverythingBack)
{
    test::TestFolder folder;
    auto db = folder.open();
    auto rs = db->openRecordset("SELECT ID, Name FROM Birds ORDER BY ID", db::RecordsetKind::Dynaset);
    {
        db::Transaction tx(*db);
        db::WriteBatch batch(*db);
        rs.edit();
        rs.setField("Name", QStringLiteral("Renamed"));
        rs.update();
        rs.moveNext();
        rs.edit();
        rs.setField("Name", QStringLiteral("renamed")); // the same name: a unique-name violation
        rs.update();
        EXPECT_THROW(batch.flush(), db::DbError);
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds WHERE Name LIKE 'renamed'").toInt(), 0);
    EXPECT_FALSE(db->inTransaction());
}

TEST(Transactions, InnerTransactionJoinsTheOuter)
{
    test::TestFolder folder;
    auto db = folder.open();
    {
        db::Transaction outer(*db);
        {
            db::Transaction inner(*db);
            db->execute("UPDATE Birds SET LifeList = 3");
            inner.commit();
        }
        EXPECT_TRUE(db->inTransaction());
    } // the outer one was not committed
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds WHERE LifeList = 3").toInt(), 0);
}
