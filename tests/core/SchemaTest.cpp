// The version of the tables: what a new file holds, the upgrade steps on files of the versions
// before, the backup made before them, and what is refused.

#include "OlderFiles.h"
#include "records/Backup.h"
#include "records/UpgradeBackup.h"
#include "regions/CodedRegions.h"
#include "schema/TaxonomyTables.h"
#include "state/AppState.h"
#include "state/Startup.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace fl;
using namespace fl::test;

namespace {

QStringList backups(const QString& folder)
{
    return QDir(folder + "/Backups").entryList(QDir::Files, QDir::Name);
}

// Opens the database of `state` as the program does, with the backup before an upgrade.
void openAsTheProgram(AppState& state)
{
    openAndLoadOptions(state, {}, [&state](db::Database& db, int fromVersion) {
        backupBeforeUpgrade(db, state.dataFolder, fromVersion);
    });
}

} // namespace

TEST(SchemaVersion, NewDatabaseHasTheCurrentVersionAndItsChecks)
{
    TestFolder folder;
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

// A file of version 0 is backed up as it was, then brought up to date; the next start has
// nothing to do, writes nothing and makes no further copy.
TEST(SchemaVersion, StartupBacksUpAndUpgradesAFileOfVersionZero)
{
    OlderFolder old(0);
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
    s.dataFolder = old.folder();
    openAsTheProgram(s);
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

    const QStringList made = backups(old.folder());
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith("bird-v0-before-upgrade-")) << qPrintable(made[0]);
    const QString copy = old.folder() + "/Backups/" + made[0];
    EXPECT_EQ(checkBackupFile(copy, kConnect), "");
    {
        auto backup = db::Database::open(copy, true, true, kConnect);
        EXPECT_EQ(schemaVersion(*backup), 0) << "the copy is the file as the older program left it";
        EXPECT_EQ(backup->scalar("SELECT Date || '|' || site FROM Sightings WHERE Sight_ID = 5").toString(),
                  "2019-03-04T00:00:00|Marsh");
    }

    const QByteArray upgraded = bytesOf(old.path());
    AppState again;
    again.dataFolder = old.folder();
    openAsTheProgram(again);
    closeDatabase(again);
    EXPECT_EQ(bytesOf(old.path()), upgraded);
    EXPECT_EQ(backups(old.folder()), made);
}

// Each upgrade step, on a file of the version before it: the file gets every table, index,
// trigger and saved query of a new file and keeps its sighting; the next start has nothing to do.
TEST(SchemaVersion, EveryStepBringsAFileOfTheVersionBeforeToTheLayoutOfANewFile)
{
    const QString layout = "SELECT group_concat(type || ' ' || name, ', ') FROM (SELECT type, name FROM sqlite_master "
                           "ORDER BY type, name)";
    const std::string fresh = TestFolder().open()->scalar(layout).toString().toStdString();
    for (int version = 0; version < currentSchemaVersion(); ++version) {
        SCOPED_TRACE(version);
        OlderFolder old(version);
        old.open()->execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) "
                            "VALUES (3, '2019-01-01', 'Adult', 'Lake', 'cold')");
        AppState s;
        s.dataFolder = old.folder();
        openAndLoadOptions(s);
        EXPECT_EQ(s.db().scalar(layout).toString().toStdString(), fresh);
        EXPECT_EQ(s.db().scalar("SELECT Bird_ID || Date || site || notes FROM Sightings").toString(),
                  "32019-01-01Lakecold");
        closeDatabase(s);
        const QByteArray upgraded = bytesOf(old.path());
        openAndLoadOptions(s);
        closeDatabase(s);
        EXPECT_EQ(bytesOf(old.path()), upgraded);
    }
}

// An upgrade that cannot be made, or not safely, leaves the file as it was and closed, and
// the older program still opens it.
TEST(SchemaVersion, AFailedUpgradeLeavesTheFileAsItWas)
{
    const struct {
        const char* what;
        bool dateThatIsNoDate; // else a file where the Backups folder belongs
        const char* says;
    } cases[] = {
        {"a date that is no date", true, "Sighting 2 has no valid date"},
        {"no backup can be made", false, "is from an older version of Featherlog. It was left as it was"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OlderFolder old(0);
        {
            auto db = old.open();
            db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (3, '2019-03-04')");
            if (c.dateThatIsNoDate) db->execute("INSERT INTO Sightings (Bird_ID, Date) VALUES (4, 'last spring')");
        }
        if (!c.dateThatIsNoDate) {
            QFile blocker(old.folder() + "/Backups");
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }
        const QByteArray before = bytesOf(old.path());
        AppState s;
        s.dataFolder = old.folder();
        try {
            openAsTheProgram(s);
            ADD_FAILURE() << "brought the file up to date";
        } catch (const std::runtime_error& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(c.says)) << e.what();
        }
        if (!c.dateThatIsNoDate) {
            EXPECT_FALSE(s.dbBirds) << "the file is closed again";
        }
        s.dbBirds.reset();
        EXPECT_EQ(bytesOf(old.path()), before);
        auto db = old.open();
        EXPECT_EQ(schemaVersion(*db), 0);
        EXPECT_EQ(db->scalar("SELECT count(*) FROM Sightings").toInt(), c.dateThatIsNoDate ? 2 : 1);
    }
}

TEST(SchemaVersion, ANewerFileIsRefusedWithoutACopy)
{
    TestFolder newer;
    newer.exec(QStringLiteral("PRAGMA user_version = %1").arg(currentSchemaVersion() + 1));
    const QByteArray before = bytesOf(newer.databasePath());
    AppState s;
    s.dataFolder = newer.path();
    try {
        openAsTheProgram(s);
        FAIL() << "opened a file of a newer version";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains("newer version of Featherlog")) << qPrintable(e.message());
    }
    EXPECT_FALSE(s.dbBirds) << "the file is closed again";
    EXPECT_FALSE(QFileInfo::exists(newer.path() + "/Backups"));
    EXPECT_EQ(bytesOf(newer.databasePath()), before);
}

TEST(UpgradeBackup, TheNameSaysTheVersionAndTheTimeAndATakenOneGetsANumber)
{
    EXPECT_EQ(upgradeBackupName(0, QDateTime(QDate(2026, 3, 9), QTime(7, 5, 2))),
              "bird-v0-before-upgrade-20260309-070502.mdb");
    EXPECT_EQ(upgradeBackupName(12, QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59))),
              "bird-v12-before-upgrade-20311231-235959.mdb");
    OlderFolder old(0);
    auto db = old.open();
    const QString first = backupBeforeUpgrade(*db, old.folder(), 0);
    const QString second = backupBeforeUpgrade(*db, old.folder(), 0);
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo(first).isFile());
    EXPECT_TRUE(QFileInfo(second).isFile());
    // Within the same second the second copy is numbered.
    if (QFileInfo(first).fileName().chopped(4) == QFileInfo(second).fileName().chopped(6)) {
        EXPECT_TRUE(second.endsWith("-2.mdb")) << qPrintable(second);
    }
}

TEST(SchemaVersion, UpgradeGivesSpeciesTheirCodesAndKeepsEverySighting)
{
    const int withoutCodes = versionAfterStep(addTaxonomyTables) - 1;
    OlderFolder old(withoutCodes);
    {
        auto db = old.open();
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
        ASSERT_EQ(schemaVersion(*db), withoutCodes);
    }
    AppState s;
    s.dataFolder = old.folder();
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
