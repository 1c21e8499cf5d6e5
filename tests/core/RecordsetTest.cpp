#include "TestDatabase.h"
#include "db/Database.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace fl;
using db::RecordsetKind;

class RecordsetTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    std::unique_ptr<db::Database> db = folder.open();
};

TEST_F(RecordsetTest, EmptySetFlagsAndCount)
{
    auto rs = db->openRecordset(QStringLiteral("Select * from Birds Where Name = \"Dodo\""), RecordsetKind::Snapshot);
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_THROW(rs.field("Name"), db::DbError);
    EXPECT_THROW(rs.moveNext(), db::DbError);
}

TEST_F(RecordsetTest, WalkingAndCounts)
{
    auto rs = db->openRecordset(QStringLiteral("SELECT Name FROM birds WHERE family_ID = 2 ORDER BY sortOrder"),
                                RecordsetKind::Snapshot);
    ASSERT_FALSE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_GT(rs.recordCount(), 0);
    EXPECT_EQ(rs.field("NAME").toString(), "Wood Thrush");
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.field("name").toString(), "American Robin");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_FALSE(rs.eof());
}

TEST_F(RecordsetTest, DialectInQueries)
{
    auto count = [&](const QString& sql) {
        return db->openRecordset(sql, RecordsetKind::Snapshot).recordCount();
    };
    EXPECT_EQ(count("SELECT Name FROM BIRDS WHERE name LIKE '*WARBLER*'"), 4);
    EXPECT_EQ(count("SELECT Name FROM Birds WHERE Name LIKE \"*wood*\""), 2);
    EXPECT_EQ(count("SELECT Name FROM Birds WHERE Name LIKE '?allard'"), 1);
    EXPECT_EQ(count("SELECT Name FROM Birds WHERE Name = 'mallard'"), 1);
    EXPECT_EQ(count("SELECT Name FROM Birds WHERE Name <> 'MALLARD'"), 11);
    EXPECT_EQ(count("SELECT Name FROM Birds WHERE Song >= 'A'"), 2) << "empty and null songs are not >= 'A'";
    EXPECT_EQ(count("SELECT ID, Name, LifeList from Birds Inner Join Checklists ON Birds.ID = Checklists.Bird_ID "
                    "Where Reg_ID = 2 Order By Birds.sortOrder"), 6);
    EXPECT_EQ(count("SELECT distinct Families.Family FROM Families, birds WHERE Birds.family_ID = Families.Fam_ID"), 3);
    EXPECT_EQ(count("SELECT Name from Birds, Checklists Where Birds.ID = Checklists.Bird_ID AND Reg_ID = 1 "
                    "AND Status <> 'r'"), 12);
    EXPECT_EQ(count("select status, scode from checklists where scode LIKE '*w*'"), 5);
    EXPECT_THROW(count("SELECT Name FROM Birds WHERE Name = ?"), db::DbError) << "a missing parameter is an error";
}

TEST_F(RecordsetTest, ParametersKeepQuotesSafe)
{
    db->execute("UPDATE Birds SET Name = ? WHERE ID = 1", {QStringLiteral("Say \"Quack\" O'Duck")});
    auto rs = db->openRecordset("Select * from Birds Where Name = ?", RecordsetKind::Dynaset,
                                {QStringLiteral("say \"quack\" o'duck")});
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.field("ID").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds").toInt(), 12) << "nothing injected";
}

TEST_F(RecordsetTest, OrderByTwoFieldsAndUpdateStatement)
{
    EXPECT_EQ(db->execute("UPDATE BIRDS SET Lifelist = 5 where family_ID = 2"), 3);
    auto rs = db->openRecordset("SELECT Name FROM Birds ORDER BY LifeList DESC, Name", RecordsetKind::Snapshot);
    EXPECT_EQ(rs.field("Name").toString(), "American Robin");
    EXPECT_EQ(db->execute("UPDATE BIRDS SET Lifelist = 0 where Lifelist <> 0"), 3);
}

TEST_F(RecordsetTest, FindFirstAndNoMatch)
{
    auto rs = db->openRecordset("GetClassName", RecordsetKind::Snapshot);
    rs.findFirst("Fam_ID = 3");
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.field("Family").toString(), "Wood-Warblers");
    EXPECT_EQ(rs.field("Name").toString(), "Perching Birds");
    rs.findFirst("Fam_ID =  2");
    EXPECT_EQ(rs.field("Family").toString(), "Thrushes");
    rs.findFirst("Fam_ID = 99");
    EXPECT_TRUE(rs.noMatch());
    EXPECT_EQ(rs.field("Family").toString(), "Thrushes") << "no match leaves the current row";
    rs.findFirst("Family = \"thrushes\"");
    EXPECT_FALSE(rs.noMatch());
    rs.findFirst("Fam_ID > 1");
    EXPECT_EQ(rs.field("Fam_ID").toInt(), 2);
    EXPECT_THROW(rs.findFirst("Fam_ID"), db::DbError);
}

TEST_F(RecordsetTest, AddNewGivesAutomaticKeyThroughLastModified)
{
    auto rs = db->openRecordset("Sightings", RecordsetKind::Dynaset);
    EXPECT_TRUE(rs.eof());
    for (int i = 0; i < 2; ++i) {
        rs.addNew();
        rs.setField("bird_ID", 4);
        rs.setField("Date", QDate(2024, 5, 1 + i));
        rs.setField("site", QStringLiteral("Back \"yard\""));
        rs.update();
    }
    rs.setBookmark(rs.lastModified());
    const int id = rs.field("Sight_ID").toInt();
    EXPECT_EQ(id, db->scalar("SELECT max(Sight_ID) FROM Sightings").toInt());
    EXPECT_EQ(rs.field("Date").toDate(), QDate(2024, 5, 2));
    EXPECT_EQ(rs.field("Region").toInt(), 0) << "defaults are read back";
    EXPECT_EQ(rs.field("site").toString(), "Back \"yard\"");
    rs.addNew();
    rs.setField("bird_ID", 4);
    rs.cancelUpdate();
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Sightings").toInt(), 2) << "nothing stored without Update";
}

TEST_F(RecordsetTest, EditWritesOnlyOnUpdate)
{
    auto rs = db->openRecordset("Select * from Birds Where Name = \"Mallard\"", RecordsetKind::Dynaset);
    rs.edit();
    rs.setField("Data", QStringLiteral("Edited"));
    EXPECT_EQ(rs.field("Data").toString(), "Edited");
    EXPECT_EQ(db->scalar("SELECT Data FROM Birds WHERE ID = 1").toString(), "A common duck.");
    rs.update();
    EXPECT_EQ(db->scalar("SELECT Data FROM Birds WHERE ID = 1").toString(), "Edited");
    EXPECT_THROW(rs.setField("Data", 1), db::DbError) << "setting a field needs Edit or AddNew";
}

TEST_F(RecordsetTest, WriteThroughJoinChangesBirds)
{
    auto rs = db->openRecordset("SELECT ID, Name, LifeList from Birds Inner Join Checklists ON "
                                "Birds.ID = Checklists.Bird_ID Where Reg_ID = 2 Order By Birds.sortOrder",
                                RecordsetKind::Dynaset);
    ASSERT_EQ(rs.field("Name").toString(), "Canada Goose");
    rs.edit();
    rs.setField("lifelist", 77);
    rs.update();
    EXPECT_EQ(db->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 77);
    EXPECT_EQ(rs.field("LifeList").toInt(), 77);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds WHERE LifeList <> 0").toInt(), 1);
}

TEST_F(RecordsetTest, SnapshotsAndSavedQueriesAreReadOnly)
{
    auto snap = db->openRecordset("Birds", RecordsetKind::Snapshot);
    EXPECT_THROW(snap.edit(), db::DbError);
    auto view = db->openRecordset("GetStates", RecordsetKind::Dynaset);
    ASSERT_EQ(view.recordCount(), 1);
    EXPECT_EQ(view.field("Name").toString(), "Ontario");
    EXPECT_THROW(view.edit(), db::DbError);
}

TEST_F(RecordsetTest, TransactionRollsBackUnlessCommitted)
{
    {
        db::Transaction tx(*db);
        db->execute("UPDATE Birds SET LifeList = 9");
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds WHERE LifeList = 9").toInt(), 0);
    {
        db::Transaction tx(*db);
        db->execute("UPDATE Birds SET LifeList = 9");
        tx.commit();
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds WHERE LifeList = 9").toInt(), 12);
    // An inner transaction joins the outer one: its commit keeps nothing once the outer one
    // is not committed.
    {
        db::Transaction outer(*db);
        {
            db::Transaction inner(*db);
            db->execute("UPDATE Birds SET LifeList = 3");
            inner.commit();
        }
        EXPECT_TRUE(db->inTransaction());
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds WHERE LifeList = 3").toInt(), 0);
}

TEST_F(RecordsetTest, SchemaKeepsReferencesAndOneOptionsRow)
{
    EXPECT_THROW(db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (999, '2020-01-01')"), db::DbError);
    EXPECT_THROW(db->execute("INSERT INTO Checklists VALUES (1, 1, 'B', '')"), db::DbError) << "one row per species and region";
    EXPECT_THROW(db->execute("INSERT INTO Options (regname) VALUES ('x')"), db::DbError);
    EXPECT_THROW(db->execute("DELETE FROM Options"), db::DbError);
    EXPECT_THROW(db->execute("INSERT INTO Birds (ID, Name) VALUES (50, 'MALLARD')"), db::DbError) << "names are unique";
}

TEST_F(RecordsetTest, RemoveThenMoveOnOrStartAgainAtTheTop)
{
    auto rs = db->openRecordset("SELECT * FROM Checklists WHERE Reg_ID = 3 ORDER BY Bird_ID", RecordsetKind::Dynaset);
    rs.moveNext(); // bird 2
    rs.remove();
    EXPECT_THROW(rs.field("Bird_ID"), db::DbError);
    rs.moveNext();
    EXPECT_EQ(rs.field("Bird_ID").toInt(), 3);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = 3").toInt(), 4);
    rs.moveFirst();
    EXPECT_EQ(rs.field("Bird_ID").toInt(), 1);
    rs.moveNext();
    EXPECT_EQ(rs.field("Bird_ID").toInt(), 3) << "moving on after MoveFirst leaves the removed row behind";
    EXPECT_EQ(rs.recordCount(), 4);

    rs.moveFirst();
    rs.remove(); // the first row itself
    rs.moveFirst();
    EXPECT_EQ(rs.field("Bird_ID").toInt(), 3);
    EXPECT_FALSE(rs.bof());
    rs.moveLast();
    EXPECT_EQ(rs.field("Bird_ID").toInt(), 7);
    EXPECT_EQ(db->scalar("SELECT group_concat(Bird_ID) FROM Checklists WHERE Reg_ID = 3").toString(), "3,4,7");
    rs.remove(); // the last row
    rs.moveNext();
    EXPECT_TRUE(rs.eof());

    while (rs.recordCount() > 0) {
        rs.moveFirst();
        rs.remove();
    }
    EXPECT_THROW(rs.moveFirst(), db::DbError);
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
}

TEST_F(RecordsetTest, FindAfterAnEditSeesTheNewValue)
{
    auto rs = db->openRecordset("SELECT ID, Name, family_ID FROM Birds ORDER BY ID", RecordsetKind::Dynaset);
    rs.findFirst("family_ID = 2"); // builds the search index of the column
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.field("ID").toInt(), 4);
    rs.findFirst("Name = 'Ovenbird'");
    ASSERT_FALSE(rs.noMatch());

    // Move the ovenbird (8) into family 2 and rename it; searches follow at once.
    rs.edit();
    rs.setField("family_ID", 2);
    rs.setField("Name", QStringLiteral("Oven Bird"));
    rs.update();
    rs.moveFirst();
    rs.findFirst("Name = 'Ovenbird'");
    EXPECT_TRUE(rs.noMatch()) << "the old value is gone";
    rs.findFirst("Name = \"oven bird\"");
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.field("ID").toInt(), 8);
    rs.findFirst("family_ID = 2");
    rs.findNext("family_ID = 2");
    rs.findNext("family_ID = 2");
    rs.findNext("family_ID = 2");
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.field("ID").toInt(), 8);
    rs.findFirst("family_ID", 3);
    EXPECT_EQ(rs.field("ID").toInt(), 7);

    // Moving the first of family 3 (7) out: the search starts at the next one.
    rs.edit();
    rs.setField("family_ID", 1);
    rs.update();
    rs.findFirst("family_ID", 3);
    ASSERT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.field("ID").toInt(), 9);
    // The same inside a write batch, where the row is written later.
    {
        db::WriteBatch batch(*db);
        rs.edit();
        rs.setField("family_ID", 5);
        rs.update();
        rs.findFirst("family_ID", 5);
        ASSERT_FALSE(rs.noMatch());
        EXPECT_EQ(rs.field("ID").toInt(), 9);
        batch.flush();
    }
    EXPECT_EQ(db->scalar("SELECT family_ID FROM Birds WHERE ID = 9").toInt(), 5);
}

TEST_F(RecordsetTest, OpeningTheSameSourceAgainFollowsChangesOfTheTable)
{
    auto first = db->openRecordset("Links1", RecordsetKind::Dynaset);
    EXPECT_EQ(first.fieldNames().size(), 3);
    db->execute("INSERT INTO Links1 VALUES ('Optics', 'Binoculars', 'http://example.org')");
    db->execute("ALTER TABLE Links1 ADD COLUMN Added TEXT");
    auto again = db->openRecordset("Links1", RecordsetKind::Dynaset);
    ASSERT_EQ(again.fieldNames().size(), 4) << "the new column shows";
    EXPECT_EQ(again.recordCount(), 1);
    again.edit();
    again.setField("Added", QStringLiteral("yes"));
    again.setField("Title", QStringLiteral("Scopes"));
    again.update();
    EXPECT_EQ(db->scalar("SELECT Title || Added FROM Links1").toString(), "Scopesyes");
    // A second open of the same text reads the rows as they are now, not as they were.
    db->execute("DELETE FROM Links1");
    EXPECT_EQ(db->openRecordset("Links1", RecordsetKind::Dynaset).recordCount(), 0);
}

TEST_F(RecordsetTest, WriteBatchHoldsEditsUntilAnyOtherStatement)
{
    auto rs = db->openRecordset("SELECT ID, Data, LifeList FROM Birds ORDER BY ID", RecordsetKind::Dynaset);
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

TEST_F(RecordsetTest, WriteBatchFailureInsideATransactionRollsEverythingBack)
{
    auto rs = db->openRecordset("SELECT ID, Name FROM Birds ORDER BY ID", RecordsetKind::Dynaset);
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
