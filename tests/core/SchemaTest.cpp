#include "state/AppState.h"
#include "regions/CodedRegions.h"
#include "schema/Schema.h"
#include "state/Startup.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;

namespace {

const QString kConnect = QString::fromLatin1(kConnectString);

// An application folder whose database has the tables of version 0 (user_version 0), as the
// program wrote them before the file carried a version.
struct OldFolder {
    QTemporaryDir dir;
    QString path() const { return dir.filePath("bird.mdb"); }
    OldFolder()
    {
        auto db = db::Database::create(path(), db::passwordFromConnect(kConnect));
        createSchema(*db, 0);
        test::insertFixture(*db);
    }
    std::unique_ptr<db::Database> open() const { return db::Database::open(path(), true, false, kConnect); }
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(SchemaVersion, NewDatabaseHasTheCurrentVersionAndItsChecks)
{
    test::TestFolder folder;
    auto db = folder.open();
    EXPECT_EQ(schemaVersion(*db), currentSchemaVersion());
    EXPECT_GE(currentSchemaVersion(), 1);
    EXPECT_NO_THROW(db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (1, '2024-02-29')"));
    EXPECT_NO_THROW(db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (1, ?)", {QDate(1930, 5, 17)}));
    for (const char* bad : {"2023-02-29", "2024-13-01", "17/05/2024", "yesterday", "", "2024-5-17", "2024-05-17 10:00"})
        EXPECT_THROW(db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (1, ?)", {QString::fromLatin1(bad)}),
                     db::DbError) << bad;
    EXPECT_THROW(db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (1, NULL)"), db::DbError);
    EXPECT_THROW(db->execute("UPDATE Sightings SET Date = '2024-04-31'"), db::DbError);
    for (const char* field : {"regname", "Reg_ID", "searchType", "qrySort", "qryResult", "wincolor", "SongCD"})
        EXPECT_THROW(db->execute(QStringLiteral("UPDATE Options SET %1 = NULL").arg(field)), db::DbError) << field;
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Sightings").toInt(), 2);
}

TEST(SchemaVersion, StartupUpgradesAFileOfVersionZero)
{
    OldFolder old;
    {
        auto db = old.open();
        ASSERT_EQ(schemaVersion(*db), 0);
        // What such a file may hold: ISO dates with a time, missing options, deleted sightings.
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, state, site, notes) "
                    "VALUES (5, 3, '2019-03-04T00:00:00', 'Pair', 2, 'Marsh', 'n')");
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region) VALUES (9, 4, '2020-01-02', 1)");
        db->execute("DELETE FROM Sightings WHERE Sight_ID = 9");
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region) VALUES (6, 4, '2020-01-02', 1)");
        db->execute("UPDATE Birds SET LifeList = 5 WHERE ID = 3");
        db->execute("UPDATE Options SET qryResult = NULL, SongCD = NULL, lifesum = 1, wincolor = 1");
        EXPECT_NO_THROW(db->execute("UPDATE Sightings SET Date = '2019-03-04T00:00:00' WHERE Sight_ID = 5"))
            << "version 0 takes any date";
    }
    AppState s;
    s.dataFolder = old.dir.path();
    openAndLoadOptions(s);
    db::Database& db = s.db();
    EXPECT_EQ(schemaVersion(db), currentSchemaVersion());
    EXPECT_EQ(s.qryResult, "") << "a missing option gets the value of a new database";
    EXPECT_FALSE(s.SongCD);
    EXPECT_TRUE(s.wincolor);
    EXPECT_EQ(s.regname, "North America");
    EXPECT_EQ(s.rsOptions.field("lifesum").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Options").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT Date FROM Sightings WHERE Sight_ID = 5").toDate(), QDate(2019, 3, 4));
    EXPECT_EQ(db.scalar("SELECT site || notes || Type || state FROM Sightings WHERE Sight_ID = 5").toString(), "MarshnPair2");
    EXPECT_EQ(db.scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 5);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Birds").toInt(), 12);
    // The checks hold from now on, and the one-row rule of Options still does.
    EXPECT_THROW(db.execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (1, 'soon')"), db::DbError);
    EXPECT_THROW(db.execute("UPDATE Options SET regname = NULL"), db::DbError);
    EXPECT_THROW(db.execute("INSERT INTO Options SELECT * FROM Options"), db::DbError);
    EXPECT_THROW(db.execute("DELETE FROM Options"), db::DbError);
    // Indexes are back, and numbers of deleted sightings are not given out again.
    EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Sightings'").toInt(), 8);
    db.execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (1, '2024-01-01')");
    EXPECT_EQ(db.scalar("SELECT max(Sight_ID) FROM Sightings").toInt(), 10);
    EXPECT_EQ(db.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(db.openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
    closeDatabase(s);

    // The next start finds nothing to do and writes nothing.
    const QByteArray upgraded = bytesOf(old.path());
    AppState again;
    again.dataFolder = old.dir.path();
    openAndLoadOptions(again);
    closeDatabase(again);
    EXPECT_EQ(bytesOf(old.path()), upgraded);
}

TEST(SchemaVersion, FailedUpgradeLeavesTheFileAsItWas)
{
    OldFolder old;
    {
        auto db = old.open();
        db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (3, '2019-03-04')");
        db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (4, 'last spring')");
    }
    const QByteArray before = bytesOf(old.path());
    AppState s;
    s.dataFolder = old.dir.path();
    try {
        openAndLoadOptions(s);
        FAIL() << "upgraded a file with a date that is no date";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains("Sighting 2")) << qPrintable(e.message());
    }
    s.dbBirds.reset();
    auto db = old.open();
    EXPECT_EQ(schemaVersion(*db), 0);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Sightings").toInt(), 2);
    db.reset();
    EXPECT_EQ(bytesOf(old.path()), before);
}

TEST(SchemaVersion, FileOfALaterVersionIsRefused)
{
    test::TestFolder folder;
    folder.exec(QStringLiteral("PRAGMA user_version = %1").arg(currentSchemaVersion() + 1));
    AppState s;
    s.dataFolder = folder.path();
    try {
        openAndLoadOptions(s);
        FAIL();
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains("newer version")) << qPrintable(e.message());
    }
}

namespace {
// The schema version that gave species their codes; the tests below upgrade from the one before.
constexpr int kCodesVersion = 4;
} // namespace

TEST(SchemaVersion, UpgradeGivesSpeciesTheirCodesAndKeepsEverySighting)
{
    ASSERT_GE(currentSchemaVersion(), kCodesVersion);
    QTemporaryDir dir;
    {
        auto db = db::Database::create(dir.filePath("bird.mdb"), db::passwordFromConnect(kConnect));
        createSchema(*db, kCodesVersion - 1);
        test::insertFixture(*db);
        // A species the list of codes does not know, one whose names the list has in other
        // letter case, and sightings with their life-list mark.
        db->execute("INSERT INTO Birds (ID, Name, sci_name, Data, family_ID, sortOrder) "
                    "VALUES (13, 'Made-up Warbler', 'Setophaga imaginaria', 'x', 3, 130)");
        db->execute("UPDATE Birds SET Name = 'OVENBIRD' WHERE ID = 8");
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region, notes) VALUES (4, 7, '2019-06-01', 1, 'a')");
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region, notes) VALUES (9, 1, '2020-06-01', 1, 'b')");
        db->execute("UPDATE Birds SET LifeList = 4 WHERE ID = 7");
        // The regions as the version before left them: eBird's codes and every county, and a
        // checklist copied from another region's.
        db::Transaction tx(*db);
        db->execute("UPDATE Regions SET Code = 'CA-ON' WHERE Reg_ID = 2");
        db->execute("UPDATE Regions SET Code = 'CA' WHERE Reg_ID = 3");
        ASSERT_GT(addEbirdRegions(*db), 5000);
        db->execute("UPDATE Regions SET CopiedFrom = 2 WHERE Reg_ID = 4");
        tx.commit();
        ASSERT_EQ(schemaVersion(*db), kCodesVersion - 1);
    }
    AppState s;
    s.dataFolder = dir.path();
    openAndLoadOptions(s);
    db::Database& db = s.db();
    EXPECT_EQ(schemaVersion(db), currentSchemaVersion());
    auto codes = [&](int id) {
        return db.scalar("SELECT coalesce(SpeciesCode, '-') || ' ' || coalesce(AlphaCode, '-') FROM Birds WHERE ID = ?",
                         {id}).toString();
    };
    EXPECT_EQ(codes(1), "mallar3 MALL");
    EXPECT_EQ(codes(3), "cangoo CANG");
    EXPECT_EQ(codes(7), "yelwar1 YEWA") << "the North American bird of the sample data";
    EXPECT_EQ(codes(8), "ovenbi1 OVEN") << "names compare in any letter case";
    EXPECT_EQ(codes(13), "- -") << "a species the list does not know keeps none";
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Birds WHERE SpeciesCode IS NOT NULL").toInt(), 12);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Sightings").toInt(), 2);
    EXPECT_EQ(db.scalar("SELECT notes FROM Sightings WHERE Sight_ID = 4").toString(), "a");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Sightings WHERE NeedsReview <> 0").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT LifeList FROM Birds WHERE ID = 7").toInt(), 4);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TaxonForms").toInt(), 0);
    // The regions' work is kept: codes, counties, the copied checklist and its triggers.
    EXPECT_EQ(db.scalar("SELECT Code FROM Regions WHERE Reg_ID = 2").toString(), "CA-ON");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Regions WHERE Type = 'District' AND Code IS NOT NULL").toInt(), 5359);
    EXPECT_EQ(db.scalar("SELECT CopiedFrom FROM Regions WHERE Reg_ID = 4").toInt(), 2);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'Checklists'").toInt(),
              3);
    // The new rules hold: unique codes, forms of existing species, a review mark of 0 or 1.
    EXPECT_THROW(db.execute("UPDATE Birds SET SpeciesCode = 'MALLAR3' WHERE ID = 2"), db::DbError);
    EXPECT_THROW(db.execute("INSERT INTO TaxonForms VALUES ('x1', 'issf', 'X', 'X x', 99)"), db::DbError);
    EXPECT_THROW(db.execute("INSERT INTO TaxonForms VALUES ('x1', 'slash', 'X', 'X x', 1)"), db::DbError);
    EXPECT_THROW(db.execute("UPDATE Sightings SET NeedsReview = 2"), db::DbError);
    EXPECT_NO_THROW(db.execute("INSERT INTO TaxonForms VALUES ('mallar2', 'issf', 'Mallard (Northern)', 'A p p', 1)"));
    EXPECT_NO_THROW(db.execute("UPDATE Birds SET AlphaCode = NULL WHERE ID = 2"));
    EXPECT_EQ(db.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(db.openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
    closeDatabase(s);
}
