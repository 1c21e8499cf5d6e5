// The upgrade that gives a database its outings, from a file of the version before, used:
// sightings in several places, life-list marks for the current region, its lifesum.

#include "FaultVfs.h"
#include "lifelist/LifeList.h"
#include "OlderFiles.h"
#include "outings/OutingStore.h"
#include "schema/OutingTables.h"
#include "state/AppState.h"
#include "state/Startup.h"

#include <QDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

struct FileBeforeOutings : OlderFolder {
    FileBeforeOutings() : OlderFolder(versionAfterStep(addOutingTables) - 1)
    {
        auto db = open();
        db::Transaction tx(*db);
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, state, site, notes) VALUES "
                    "(3, 3, '2019-03-04', 'Pair', 2, 'Marsh', 'x4, calling'), (4, 3, '2018-01-01', '', 0, 'Yard', ''), "
                    "(5, 4, '2020-06-01', 'Adult', 2, 'Park', NULL), (8, 9, '2021-05-05', '', 2, 'Park', 'off list')");
        db->execute("UPDATE Birds SET LifeList = 3 WHERE ID = 3");
        db->execute("UPDATE Birds SET LifeList = 5 WHERE ID = 4");
        db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 2, lifetotal = 6");
        tx.commit();
    }
};

// What the upgrade keeps, as one text, with the file's version first.
QString keptIn(const QString& path)
{
    auto db = db::Database::open(path, true, false, kConnect);
    const QString integrity = db->scalar("PRAGMA integrity_check").toString();
    if (integrity != "ok") return "damaged: " + integrity;
    auto all = [&db](const QString& sql) {
        return db->scalar("SELECT group_concat(x, '|') FROM (" + sql + ")").toString();
    };
    return QString::number(schemaVersion(*db)) + "#"
           + all("SELECT Sight_ID || ':' || Bird_ID || ':' || Date || ':' || coalesce(Type, '') || ':' || Region || "
                 "country || state || district || ':' || coalesce(site, '') || ':' || coalesce(notes, '') AS x "
                 "FROM Sightings ORDER BY Sight_ID")
           + "#" + all("SELECT ID || ':' || LifeList AS x FROM Birds ORDER BY ID") + "#"
           + all("SELECT regname || Reg_ID || regType || lifesum || '/' || lifetotal AS x FROM Options") + "#"
           + db->scalar("SELECT count(*) FROM sqlite_master WHERE name = 'Outings'").toString();
}

} // namespace

TEST(OutingsUpgrade, SightingsAndMarksAreKeptAndOutingsCanBeStored)
{
    FileBeforeOutings file;
    const QString before = keptIn(file.path());
    ASSERT_TRUE(before.endsWith("#0")) << "no outings before";

    {
        AppState first;
        first.dataFolder = file.dir.path();
        openAndLoadOptions(first);
        EXPECT_EQ(schemaVersion(first.db()), currentSchemaVersion());
        closeDatabase(first);
    }
    const QString after = keptIn(file.path());
    EXPECT_EQ(after.section('#', 1, 3), before.section('#', 1, 3)) << "sightings, marks and Options as they were";
    EXPECT_TRUE(after.endsWith("#1"));

    AppState s;
    s.dataFolder = file.dir.path();
    openAndLoadOptions(s);
    db::Database& db = s.db();
    // The sightings made before are sightings of no outing, present without a count.
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Sightings WHERE Outing_ID IS NULL AND Count IS NULL "
                        "AND BreedingCode IS NULL AND MediaNumbers IS NULL").toInt(), 4);

    // The life list goes on: an outing with the goose later keeps its mark, an earlier one takes it.
    LifeListScope ontario{kOntario, "State"};
    Outing o;
    o.date = QDate(2022, 4, 1);
    o.places[2] = kOntario;
    o.entries.push_back({3, 2, {}, {}, {}, 0});
    o.entries.push_back({5, 1, {}, {}, {}, 0});
    saveOuting(db, o, ontario, s.rsOptions);
    EXPECT_EQ(db.scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 3);
    EXPECT_EQ(db.scalar("SELECT LifeList FROM Birds WHERE ID = 5").toInt(), o.entries[1].sightId);
    EXPECT_EQ(db.scalar("SELECT lifesum FROM Options").toInt(), 3);
    o.date = QDate(2017, 4, 1);
    saveOuting(db, o, ontario, s.rsOptions);
    EXPECT_EQ(db.scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), o.entries[0].sightId);
    // A region switch after it finds the same marks.
    const QString marks = db.scalar("SELECT group_concat(LifeList) FROM (SELECT LifeList FROM Birds ORDER BY ID)").toString();
    rebuildLifeList(db, kOntario, " Order By Birds.sortOrder");
    EXPECT_EQ(db.scalar("SELECT group_concat(LifeList) FROM (SELECT LifeList FROM Birds ORDER BY ID)").toString(), marks);
    EXPECT_TRUE(db.openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
    closeDatabase(s);
}

TEST(OutingsUpgrade, AFailedUpgradeLeavesTheFileAsItWas)
{
    FileBeforeOutings original;
    const QString before = keptIn(original.path());
    const QString work = original.dir.filePath("work/bird.mdb");
    ASSERT_TRUE(QDir().mkpath(original.dir.filePath("work")));
    QString message;
    auto upgrade = [&] {
        AppState s;
        s.dataFolder = original.dir.filePath("work");
        try {
            openAndLoadOptions(s, FaultVfs::name());
        } catch (const std::exception& e) {
            message = QString::fromUtf8(e.what());
            EXPECT_FALSE(s.dbBirds) << "a failed opening closes the file again, while the disk still fails";
            return false;
        }
        closeDatabase(s);
        return true;
    };
    auto fresh = [&] {
        QFile::remove(work);
        ASSERT_TRUE(QFile::copy(original.path(), work));
    };

    fresh();
    FaultVfs::arm(FaultVfs::Kind::Write, 0);
    ASSERT_TRUE(upgrade());
    const int writes = FaultVfs::writes(), syncs = FaultVfs::syncs();
    FaultVfs::disarm();
    ASSERT_GT(writes, 2);
    const QString after = keptIn(work);
    ASSERT_NE(after, before);

    int failed = 0;
    for (FaultVfs::Kind kind : {FaultVfs::Kind::Write, FaultVfs::Kind::Sync}) {
        const int last = kind == FaultVfs::Kind::Write ? writes : syncs;
        // The first and last few, and some between: every one would take too long.
        QList<int> chosen = {1, 2, last / 3, last / 2, 2 * last / 3, last - 1, last};
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        for (int n : chosen) {
            if (n < 1) continue;
            for (bool sticky : {false, true}) {
                SCOPED_TRACE(QStringLiteral("%1 %2 failing%3")
                                 .arg(kind == FaultVfs::Kind::Write ? "write" : "sync")
                                 .arg(n)
                                 .arg(sticky ? " and after" : "")
                                 .toStdString());
                fresh();
                FaultVfs::arm(kind, n, sticky);
                const bool succeeded = upgrade();
                FaultVfs::disarm();
                const QString now = keptIn(work);
                // A fault after the upgrade was stored may still end the opening: the file is
                // then the upgraded one, never a mix.
                EXPECT_TRUE(now == before || now == after) << qPrintable(now);
                if (succeeded) {
                    EXPECT_EQ(now, after) << "reported success";
                }
                failed += now == before;
            }
        }
    }
    EXPECT_GT(failed, 0);
}
